#include "app/keys_file.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace kst {
namespace {

// Each case: the file's lines, the commands whose keys then differ from the defaults (with their
// keys), and the lines ignored. Every result is also written back and read again unchanged.
TEST(KeysFileTest, LinesInBindingsOut) {
    using TChanges = std::vector<std::pair<TCommandId, std::string>>;
    struct TCase {
        std::vector<std::string> Lines;
        TChanges Changed;
        std::vector<std::string> Ignored;
    };
    const std::vector<TCase> cases = {
        {{}, {}, {}},
        {{"[Keys]", "Find=Ctrl+Shift+F"}, {{cmFind, "Shift+Ctrl+F"}}, {}},
        {{"[keys]", "  Find = F4 ", "Replace=Ctrl+H"}, {{cmFind, "F4"}, {cmReplace, "Ctrl+H"}}, {}},
        {{"[Keys]", "Find="}, {{cmFind, ""}}, {}},
        {{"[Keys]", "Find=Ctrl+N"}, {{cmNewFile, ""}, {cmFind, "Ctrl+N"}}, {}},
        {{"[Other]", "Find=F4", "[Keys]", "; Find=F4", "", "Stop=F4"}, {{cmStop, "F4"}}, {}},
        {{"[Keys]", "Nope=F4", "Find=Hyper+Q", "Find", "=F4", "Find=F13", "Find=A", "Find=Del",
          "Copy=Ctrl+C"},
         {},
         {"Nope=F4", "Find=Hyper+Q", "Find", "=F4", "Find=F13", "Find=A", "Find=Del"}},
    };
    for (const TCase& test : cases) {
        SCOPED_TRACE(test.Lines.empty() ? "no lines" : test.Lines.back());
        const TKeysFile file = ReadKeysFile(test.Lines);
        TChanges changed;
        for (const TCommandRow& row : MainCommands()) {
            if (!file.Bindings.IsDefault(row.Id)) {
                changed.emplace_back(row.Id, ShortCutToText(file.Bindings.KeyOf(row.Id)));
            }
        }
        EXPECT_EQ(changed, test.Changed);
        EXPECT_EQ(file.IgnoredLines, test.Ignored);
        const std::vector<std::string> written = KeysFileLines(file.Bindings);
        EXPECT_EQ(written.empty(), test.Changed.empty()) << "no file when nothing differs";
        EXPECT_EQ(ReadKeysFile(written).Bindings, file.Bindings);
    }
}

} // namespace
} // namespace kst
