#include "document/search_engine.h"
#include "keystroke_script.h"
#include "lists/text_encoding.h"
#include "script/script_parser.h"
#include "support/text_code_page.h"

#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace kst {
namespace {

const TCodePage& J = TCodePage::Japanese();
const TCodePage& W = TCodePage::Western();

// Typed, stepped over and deleted: "é" (0xE9) of code page 1252 is one character there, and in
// Japanese text a lead byte that waits for its second byte.
TEST(TextCodePage, TypingAndCaretFollowTheTextsCodePage) {
    const struct {
        const TCodePage& Page;
        const char* Script;
    } tests[] = {
        {W, R"(text: "caf|\n"
               keys: "\xE9"
               expect: "caf\xE9|\n"
               keys: "\x80"
               expect: "caf\xE9\x80|\n")"},
        {J, R"(text: "caf|\n"
               keys: Raw"\xE9"
               expect: "caf|\n")"},
        {W, R"(text: "|\xE9\x41b\n"
               keys: Right Del
               expect: "\xE9|b\n")"},
    };
    for (const auto& test : tests) {
        const ScopedTextCodePage codePage(test.Page);
        EXPECT_TRUE(RunKeystrokeScript(test.Script)) << test.Page.Number() << test.Script;
    }
}

FileBytes BytesOf(std::string_view Text) {
    FileBytes bytes{std::make_unique<char[]>(Text.size()), Text.size()};
    std::memcpy(bytes.Data.get(), Text.data(), Text.size());
    return bytes;
}

std::string FoundAt(std::string_view Text, std::string_view Pattern, TSearchOptions Options) {
    int start = 0;
    int length = 0;
    return SearchBuffer(Text, start, length, Pattern, Options | sxForward)
               ? std::to_string(start) + "+" + std::to_string(length)
               : "none";
}

std::string ProblemCount(std::string_view Line) {
    const std::string_view lines[] = {Line};
    return std::to_string(ParseScript(lines).Problems.size());
}

std::string Decoded(std::string_view File) {
    const TDecodedFile decoded = DecodeFileBytes(BytesOf(File));
    return std::string(decoded.Text.Data.get(), decoded.Text.Size) +
           (decoded.Format.Lossy ? " lossy" : "") + " " +
           std::string(EncodingName(decoded.Format.Encoding));
}

TEST(TextCodePage, SearchScriptsAndFilesFollowTheTextsCodePage) {
    const struct {
        const char* What;
        std::function<std::string()> Result;
        std::string Japanese;
        std::string Western;
    } tests[] = {
        {"a letter after 0xE9", [] { return FoundAt("\xE9\x41", "A", sxMatchCase); }, "none",
         "1+1"},
        {"full-width letters", [] { return FoundAt("\x82\x60", "A", sxIgnoreWidth); }, "0+2",
         "none"},
        {"full-width small letters", [] { return FoundAt("\x82\x81", "\x82\x60", 0); }, "0+2",
         "none"},
        {"a string ending in 0xE9", [] { return ProblemCount("s = \"caf\xE9\""); }, "1", "0"},
        {"UTF-8 with a mark",
         [] {
             return Decoded("\xEF\xBB\xBF"
                            "caf\xC3\xA9");
         },
         "caf? lossy UTF-8", "caf\xE9 UTF-8"},
        {"a file without a mark", [] { return Decoded("caf\xE9"); }, "caf\xE9 SJIS",
         "caf\xE9 ANSI"},
    };
    for (const auto& test : tests) {
        for (const auto& [page, expected] : {std::pair{&J, &test.Japanese}, {&W, &test.Western}}) {
            const ScopedTextCodePage codePage(*page);
            EXPECT_EQ(test.Result(), *expected) << test.What << " in " << page->Number();
        }
    }
}

} // namespace
} // namespace kst
