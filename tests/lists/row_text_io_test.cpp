#include "lists/row_text_io.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace kst {
namespace {

FileBytes BytesOf(std::string_view text) {
    FileBytes bytes;
    bytes.Data = std::make_unique<char[]>(text.size());
    std::memcpy(bytes.Data.get(), text.data(), text.size());
    bytes.Size = text.size();
    return bytes;
}

struct Loaded {
    std::vector<std::string> Rows;
    std::vector<int> Attributes;
    std::string Saved;
};

Loaded Load(std::string_view file) {
    TRowAttributeStringList rows;
    rows.Add("stale row");
    LoadRowsFromFileBytes(rows, BytesOf(file));
    Loaded result;
    for (int i = 0; i < rows.GetCount(); ++i) {
        result.Rows.push_back(rows.Get(i));
        result.Attributes.push_back(rows.GetRowAttribute(i));
    }
    result.Saved = RowsTextStr(rows);
    return result;
}

TEST(RowTextIo, LineBreaksAndTheFinalBreakSurviveARoundTrip) {
    struct Case {
        std::string File;
        std::vector<std::string> Rows;
        std::vector<int> Attributes;
        std::string Saved;
    };
    const std::vector<Case> cases = {
        {"", {}, {}, ""},
        {"a\r\nb\r\n", {"a", "b"}, {raLineBreak, raLineBreak}, "a\r\nb\r\n"},
        {"a\r\nb", {"a", "b"}, {raLineBreak, raEndOfText}, "a\r\nb"},
        {"a\nb\rc", {"a", "b", "c"}, {raLineBreak, raLineBreak, raEndOfText}, "a\r\nb\r\nc"},
        {"\n\r\r\n", {"", "", ""}, {raLineBreak, raLineBreak, raLineBreak}, "\r\n\r\n\r\n"},
        {"x\r", {"x"}, {raLineBreak}, "x\r\n"},
        {"abc\x1a"
         "def\r\n",
         {"abc\x1a"
          "def"},
         {raLineBreak},
         "abc\x1a"
         "def\r\n"},
        {"\x1a"
         "abc",
         {"\x1a"
          "abc"},
         {raEndOfText},
         "\x1a"
         "abc"},
        {"abc\r\n\x1a", {"abc"}, {raLineBreak}, "abc\r\n"},
        {"abc\x1a", {"abc"}, {raEndOfText}, "abc"},
        {"\x1a\x1a", {"\x1a"}, {raEndOfText}, "\x1a"},
        {std::string("a\0b\r\n\0", 6),
         {std::string("a\0b", 3), std::string("\0", 1)},
         {raLineBreak, raEndOfText},
         std::string("a\0b\r\n\0", 6)},
    };
    for (const Case& c : cases) {
        Loaded loaded = Load(c.File);
        EXPECT_EQ(loaded.Rows, c.Rows) << c.File;
        EXPECT_EQ(loaded.Attributes, c.Attributes) << c.File;
        EXPECT_EQ(loaded.Saved, c.Saved) << c.File;
    }
}

TEST(RowTextIo, ABreakAcrossTheOldBlockBoundaryIsOneBreak) {
    std::string file(8191, 'a');
    file += "\r\n";
    file += std::string(9000, 'b'); // a line that crosses the next boundary
    file += "\r\n";
    Loaded loaded = Load(file);
    ASSERT_EQ(loaded.Rows.size(), 2u);
    EXPECT_EQ(loaded.Rows[0].size(), 8191u);
    EXPECT_EQ(loaded.Rows[1].size(), 9000u);
    EXPECT_EQ(loaded.Saved, file);
}

TEST(RowTextIo, TextLoadingKeepsCtrlZAndSplitsLikeFiles) {
    TRowAttributeStringList rows;
    LoadRowsFromText(rows, "p\x1aq\rr");
    ASSERT_EQ(rows.GetCount(), 2);
    EXPECT_EQ(rows.Get(0), "p\x1aq");
    EXPECT_EQ(rows.GetRowAttribute(1), raEndOfText);
}

TEST(RowTextIo, WritingHandsOverLongRowsWhole) {
    TRowAttributeStringList rows;
    const std::string longRow(3 << 20, 'w');
    rows.Add("head");
    rows.Add(longRow);
    rows.Add("tail");
    rows.SetRowAttribute(2, raEndOfText);
    std::string written;
    int pieces = 0;
    WriteRows(rows, [&](std::string_view piece) {
        written += piece;
        ++pieces;
    });
    EXPECT_EQ(written, "head\r\n" + longRow + "\r\ntail");
    EXPECT_LE(pieces, 4);
}

} // namespace
} // namespace kst
