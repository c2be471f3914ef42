#include "core/errors.h"
#include "lists/row_text_io.h"
#include "support/unicode_files.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace kst {
namespace {

using namespace std::string_literals;

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

// A copy made in parts of a bounded size is the whole text, cut anywhere, even inside a row: one
// long row, long rows, many empty rows, a missing final line break.
TEST(RowTextIo, TextCopiedInPartsIsTheWholeTextAndNoPartExceedsItsBudget) {
    constexpr std::size_t kBudget = 100;
    const std::string texts[] = {
        std::string(1000, 'a'),
        std::string(250, 'b') + "\r\n" + std::string(99, 'c') + "\r\n" + std::string(101, 'd') +
            "\r\n",
        std::string(400, '\n'),
        "x\r\ny",
    };
    for (const std::string& text : texts) {
        TRowAttributeStringList rows;
        LoadRowsFromText(rows, text);
        std::string copy;
        TRowTextPlace at;
        std::size_t parts = 0;
        for (bool done = false; !done; ++parts) {
            const std::size_t before = copy.size();
            done = AppendRowsTextPart(rows, at, kBudget, copy);
            // A part may end with the line break of its last row.
            EXPECT_LE(copy.size() - before, kBudget + 2) << text.substr(0, 10);
        }
        EXPECT_EQ(copy, RowsTextStr(rows)) << text.substr(0, 10);
        EXPECT_LE(parts, 1 + (rows.GetCount() * kRowCopyCost + copy.size()) / kBudget)
            << "every part but the last takes its whole budget";
    }
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
    WriteRows(rows, TTextEncoding::Sjis, [&](std::string_view piece) {
        written += piece;
        ++pieces;
    });
    EXPECT_EQ(written, "head\r\n" + longRow + "\r\ntail");
    EXPECT_LE(pieces, 4);
}

struct Decoded {
    std::string Text;
    TFileFormat Format;
};

Decoded LoadInto(TRowAttributeStringList& Rows, std::string_view File) {
    const TFileFormat format = LoadRowsFromFileBytes(Rows, BytesOf(File));
    return {RowsTextStr(Rows), format};
}

std::string Saved(const TRowAttributeStringList& Rows, TTextEncoding Encoding) {
    std::string saved;
    WriteRows(Rows, Encoding, [&saved](std::string_view Piece) { saved += Piece; });
    return saved;
}

std::u16string Repeated(std::u16string_view Text, int Count) {
    std::u16string repeated;
    for (int i = 0; i < Count; ++i) {
        repeated += Text;
    }
    return repeated;
}

TEST(RowTextIo, MarkedFilesAreEditedAsCp932AndComeBackByteForByte) {
    struct Case {
        std::u16string Text;
        std::string Cp932;
    };
    const std::string japanese =
        "' \x90\xDD\x92\xE8\x83\x74\x83\x40\x83\x43\x83\x8B\r\n"
        "Dim \xB6\xC5 = \"\x87\x40\x87\x54\x81\xCA\xFA\x5C\x81\x60\x81\x7C\"";
    const std::vector<Case> cases = {
        {u"", ""},
        {u"MsgBox 1\r\n", "MsgBox 1\r\n"},
        {u"WScript.Echo \"Hello, world\" ' no final line break",
         "WScript.Echo \"Hello, world\" ' no final line break"},
        {u"' 設定ファイル\r\nDim ｶﾅ = \"①Ⅰ￢纊～－\"", japanese},
        {u"' 設定ファイル\r\nDim ｶﾅ = \"①Ⅰ￢纊～－\"\r\n", japanese + "\r\n"},
        {u"nul \0 and a final Ctrl-Z\x1A"s, "nul \0 and a final Ctrl-Z\x1A"s},
        {Repeated(u"Dim あ = 1 ' ｶﾅ and some ASCII between\r\n", 40),
         [] {
             std::string text;
             for (int i = 0; i < 40; ++i) {
                 text += "Dim \x82\xA0 = 1 ' \xB6\xC5 and some ASCII between\r\n";
             }
             return text;
         }()},
    };
    for (const Case& c : cases) {
        for (const auto& [encoding, file] : {std::pair{TTextEncoding::Utf16Le, Utf16LeFile(c.Text)},
                                             std::pair{TTextEncoding::Utf16Be, Utf16BeFile(c.Text)},
                                             std::pair{TTextEncoding::Utf8, Utf8File(c.Text)}}) {
            TRowAttributeStringList rows;
            const Decoded loaded = LoadInto(rows, file);
            EXPECT_EQ(loaded.Text, c.Cp932) << EncodingName(encoding) << " " << c.Cp932;
            EXPECT_EQ(loaded.Format, (TFileFormat{encoding, false})) << c.Cp932;
            EXPECT_EQ(Saved(rows, encoding), file) << EncodingName(encoding) << " " << c.Cp932;
        }
    }
}

TEST(RowTextIo, MarksOrAPlainlyUtf16StartDecideAndWhatCp932LacksMakesTheFileLossy) {
    struct Case {
        std::string File;
        std::string Text;
        TFileFormat Format;
    };
    constexpr TFileFormat kSjis{TTextEncoding::Sjis, false};
    constexpr TFileFormat kLossyUtf16{TTextEncoding::Utf16Le, true};
    constexpr TFileFormat kLossyUtf8{TTextEncoding::Utf8, true};
    constexpr TFileFormat kLossyUtf16Be{TTextEncoding::Utf16Be, true};
    constexpr TFileFormat kUnmarkedLe{TTextEncoding::Utf16Le, true, true};
    constexpr TFileFormat kUnmarkedBe{TTextEncoding::Utf16Be, true, true};
    const std::vector<Case> cases = {
        {"\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9", kSjis},
        // Plainly UTF-16 without a mark: decoded, but never written.
        {"a\0b\0"s, "ab", kUnmarkedLe},
        {"\0a\0b\0\r\0\n"s, "ab\r\n", kUnmarkedBe},
        {"a\0\0\0"s, "a\0\0\0"s, kSjis},
        {"a\0\x82\xA0"s, "a\0\x82\xA0"s, kSjis},
        {"\xFE\xFF\0a"s, "a", {TTextEncoding::Utf16Be, false}},
        {Utf16BeFile(u"a가b"), "a?b", kLossyUtf16Be},
        {"\xEF\xBB", "\xEF\xBB", kSjis},
        {Utf16LeFile(u"a가b"), "a?b", kLossyUtf16},
        {Utf16LeFile(u"a😀b"), "a?b", kLossyUtf16},
        {Utf16LeFile(u"\xD800"
                     u"a"),
         "?a", kLossyUtf16},
        {Utf16LeFile(u"a\xDC00"), "a?", kLossyUtf16},
        {Utf16LeFile(u"ab") + "c", "ab?", kLossyUtf16},
        {Utf8File(u"a가b"), "a?b", kLossyUtf8},
        {"\xEF\xBB\xBF"
         "a\xF0\x9F\x98\x80"
         "b",
         "a?b", kLossyUtf8},
        {"\xEF\xBB\xBF"
         "\xC0\xAF",
         "??", kLossyUtf8},
        {"\xEF\xBB\xBF"
         "\xED\xA0\x80",
         "???", kLossyUtf8},
        {"\xEF\xBB\xBF"
         "\x80"
         "a\xE6\x97",
         "?a??", kLossyUtf8},
    };
    for (const Case& c : cases) {
        TRowAttributeStringList rows;
        const Decoded loaded = LoadInto(rows, c.File);
        EXPECT_EQ(loaded.Text, c.Text) << c.File;
        EXPECT_EQ(loaded.Format, c.Format) << c.File;
    }
    EXPECT_THROW(CheckWritable(kLossyUtf8), EFileError);
    EXPECT_NO_THROW(CheckWritable(kSjis));
}

// A file is read a piece at a time: characters cut by the pieces' ends come out as when the whole
// file is decoded at once.
TEST(RowTextIo, AFileReadInPiecesDecodesAsAWholeOne) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("kst_row_text_io_" + std::to_string(std::random_device()()) + ".txt");
    // Cycles of 12 to 14 bytes: the ends of the pieces fall inside every kind of character.
    const auto cycles = [](std::u16string_view Cycle) {
        std::u16string text;
        for (int i = 0; i < 70'000; ++i) {
            text += Cycle;
        }
        return text;
    };
    const std::string narrow = Utf8File(cycles(u"a\u3042bc\uFF76\r\u3044"));
    for (const std::string& file :
         {Utf16LeFile(cycles(u"a\u3042b\uFF76\r\u3044")),
          Utf16LeFile(cycles(u"a\u3042b\U0001F600\uFF76\r")) + "x",
          Utf8File(cycles(u"a\u3042bc\U0001F600\uFF76\r")), narrow.substr(0, narrow.size() - 1)}) {
        std::ofstream(path, std::ios::binary) << file;
        const TDecodedFile read = ReadTextFile(path.string());
        const TDecodedFile whole = DecodeFileBytes(BytesOf(file));
        EXPECT_EQ(read.Format, whole.Format);
        EXPECT_EQ(std::string_view(read.Text.Data.get(), read.Text.Size),
                  std::string_view(whole.Text.Data.get(), whole.Text.Size));
    }
    std::filesystem::remove(path);
}

TEST(RowTextIo, BytesThatNameNoCharacterAreNotWrittenInUnicode) {
    for (const std::string_view row :
         {"a\x80", "\xA0", "x\xFD", "\x81\x20", "\xEF\x40", "end\x81"}) {
        TRowAttributeStringList rows;
        rows.Add(row);
        EXPECT_EQ(Saved(rows, TTextEncoding::Sjis), std::string(row) + "\r\n");
        EXPECT_THROW(Saved(rows, TTextEncoding::Utf16Le), EFileError) << row;
        EXPECT_THROW(Saved(rows, TTextEncoding::Utf8), EFileError) << row;
    }
}

} // namespace
} // namespace kst
