// The generated scripts the benchmarks of the script language read.
#pragma once

#include <string>
#include <vector>

namespace kst {

// A script of nested blocks with careless indentation; its lines take 40 bytes on average.
inline std::string MessyScript(int LineCount) {
    static const std::vector<std::string> kBlock = {
        "Sub ComputeTotals(argument1, argument2, argument3)   ",
        "  Dim counter, total, message, resultValue, limitValue",
        "For counter = 1 To 100 Step 1 ' every value in the range",
        "        If counter Mod 3 = 0 And total < limitValue Then",
        "  total = total + counter * argument1 + argument3",
        "   ElseIf counter > argument2 Or total = 0 Then",
        "total = total - 1  ' keeps the sum above zero",
        "      Else   ",
        "  message = \"value \" & CStr(counter) & \" is fine\"",
        "    End If",
        "    ' the loop ends here, as it always should do  ",
        " Next",
        "",
        "End Sub ' ComputeTotals ends here, with a total",
    };
    std::string text;
    text.reserve(static_cast<std::size_t>(LineCount) * 41);
    for (int line = 0; line < LineCount; ++line) {
        text += kBlock[static_cast<std::size_t>(line) % kBlock.size()];
        text += "\r\n";
    }
    return text;
}

} // namespace kst
