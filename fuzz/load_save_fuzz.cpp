// Arbitrary bytes loaded as a file and saved again: the saved bytes are the loaded text's
// normalisation (every CR LF, lone CR and lone LF becomes CR LF; a final Ctrl-Z is dropped), the
// rows hold no line break, and nothing is read outside the file's bytes.
#include "fuzz_check.h"
#include "lists/row_text_io.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace {

using kst::fuzz::Check;

std::string Normalised(std::string_view File) {
    if (!File.empty() && File.back() == '\x1A') {
        File.remove_suffix(1);
    }
    std::string text;
    for (std::size_t i = 0; i < File.size(); ++i) {
        if (File[i] == '\r' || File[i] == '\n') {
            text += "\r\n";
            i += File[i] == '\r' && i + 1 < File.size() && File[i + 1] == '\n' ? 1 : 0;
        } else {
            text += File[i];
        }
    }
    return text;
}

void CheckRows(const kst::TRowAttributeStringList& Rows) {
    for (int row = 0; row < Rows.GetCount(); ++row) {
        const std::string_view text = Rows.GetView(row);
        Check(text.find_first_of("\r\n") == std::string_view::npos, "a row holds a line break");
        const bool last = row + 1 == Rows.GetCount();
        const int attribute = Rows.GetRowAttribute(row);
        Check(attribute == kst::raLineBreak || (last && attribute == kst::raEndOfText),
              "row attribute");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string_view file(reinterpret_cast<const char*>(Data), Size);
    // A buffer of exactly the file's size, as ReadWholeFile's may be, so a read past it shows.
    kst::FileBytes bytes{std::make_unique<char[]>(Size), Size};
    std::memcpy(bytes.Data.get(), Data, Size);
    kst::TRowAttributeStringList rows;
    kst::LoadRowsFromFileBytes(rows, std::move(bytes));
    CheckRows(rows);
    std::string saved;
    kst::WriteRows(rows, [&saved](std::string_view Piece) { saved += Piece; });
    Check(saved == Normalised(file), "saved bytes differ from the normalised file");
    Check(kst::RowsTextStr(rows) == saved, "the whole text differs from the saved bytes");
    return 0;
}
