#include "document/search_engine.h"
#include "input/editor.h"
#include "support/recording_host.h"

#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace kst {
namespace {

using THit = std::optional<std::pair<int, int>>; // start offset and length

class EditorSearchTest : public ::testing::Test {
protected:
    void SetUp() override { Editor->SetHost(&Host); }
    void Open(const std::string& Text, bool WordWrap = false) {
        Editor->GetWrapOption().SetWrapByte(20);
        Editor->SetWordWrap(WordWrap);
        Editor->GetLines().SetTextStr(Text);
    }
    // SearchText's hit as the selection shows it.
    THit Search(std::string_view Pattern, TSearchOptions Options) {
        if (!Editor->SearchText(Pattern, Options)) {
            return std::nullopt;
        }
        return std::make_pair(Editor->GetSelStart(), Editor->GetSelLength());
    }
    // What one search of the whole text from Offset finds.
    THit WholeTextHit(int Offset, std::string_view Pattern, TSearchOptions Options) {
        const TEditorScreenStrings& rows = *Editor->GetScreenStringsPtr();
        const std::string text = rows.RowsText(0, rows.GetCount()).Text;
        int start = Offset;
        int length = 0;
        if (!SearchBuffer(text, start, length, Pattern, Options)) {
            return std::nullopt;
        }
        return std::make_pair(start, length);
    }
    void CaretToTextEnd() { Editor->SetSelStart(static_cast<int>(Editor->TextLength())); }

    RecordingHost Host{{400, 300}};
    std::unique_ptr<TEditor> Editor = CreateComponent<TEditor>(nullptr);
};

TEST_F(EditorSearchTest, SearchesOnFromEachHitInBothDirections) {
    Open("one two one\r\none\r\n");
    for (const int expected : {0, 8, 13}) {
        EXPECT_EQ(Search("ONE", sxForward), std::make_pair(expected, 3));
    }
    EXPECT_EQ(Search("one", sxForward), std::nullopt);
    EXPECT_EQ(Editor->GetSelStart(), 13) << "a failed search leaves the hit";

    CaretToTextEnd();
    EXPECT_EQ(Editor->GetRow(), 2);
    for (const int expected : {13, 8, 0}) {
        EXPECT_EQ(Search("one", sxMatchCase), std::make_pair(expected, 3));
    }
    EXPECT_EQ(Search("one", 0), std::nullopt);
}

TEST_F(EditorSearchTest, ASearchFromAShownHitFindsTheNextOne) {
    for (const TEditorHitStyle style : {hsDraw, hsCaret}) {
        Open("abab\r\n");
        Editor->SetHitStyle(style);
        ASSERT_TRUE(Editor->SearchText("ab", sxForward));
        EXPECT_EQ(Editor->GetSelectionState(), kSelectionHit);
        EXPECT_EQ(Editor->GetHitLength(), 2);
        ASSERT_TRUE(Editor->SearchText("ab", sxForward));
        EXPECT_EQ(Editor->GetSelStart(), 2) << style;
        if (style == hsCaret) {
            EXPECT_EQ(Editor->GetCol(), 2) << "the caret stands on the hit";
        }
        ASSERT_TRUE(Editor->SearchText("ab", 0));
        EXPECT_EQ(Editor->GetSelStart(), 0) << style;
    }
}

TEST_F(EditorSearchTest, FindsNothingWithoutRowsPatternOrText) {
    EXPECT_FALSE(Editor->SearchText("a", sxForward));
    Open("abc\r\n");
    EXPECT_FALSE(Editor->SearchText("", sxForward));
    CaretToTextEnd();
    EXPECT_FALSE(Editor->SearchText("abc", sxForward)) << "nothing follows the last line break";
}

// The caret cannot stand between CR and LF: a hit there is passed over for the next one it can
// show, in both directions. Hits far into a long row are shown.
TEST_F(EditorSearchTest, HitsTheCaretCannotReachArePassedOver) {
    const std::string wide = std::string(1100, 'a') + "x\r\n";
    Open("a\r\nb\r\n" + wide + "x\r\n" + wide);
    EXPECT_EQ(Search("\nb", sxForward), std::nullopt);
    EXPECT_EQ(Editor->GetSelStart(), 0) << "nothing found, nothing moved";
    const int wideX = 6 + 1100;
    const int lastX = wideX + static_cast<int>(wide.size()) + 3;
    EXPECT_EQ(Search("x", sxForward), std::make_pair(wideX, 1));
    EXPECT_EQ(Search("x", sxForward), std::make_pair(wideX + 3, 1));
    EXPECT_EQ(Search("x", sxForward), std::make_pair(lastX, 1));
    EXPECT_EQ(Search("x", sxForward), std::nullopt);
    CaretToTextEnd();
    EXPECT_EQ(Search("\nb", 0), std::nullopt);
    EXPECT_EQ(Search("x", 0), std::make_pair(lastX, 1));
}

// A hit that ends with a line break ends at the start of the next row, the empty line after the
// text or the first row after a search window included.
TEST_F(EditorSearchTest, HitsThatEndWithALineBreakAreFound) {
    Open("abc\r\n");
    EXPECT_EQ(Search("c\r\n", sxForward), std::make_pair(2, 3));
    CaretToTextEnd();
    EXPECT_EQ(Search("c\r\n", 0), std::make_pair(2, 3));

    constexpr int kLines = 600;
    std::string text;
    for (int line = 0; line < kLines; ++line) {
        const std::string number = std::to_string(1000 + line);
        text += std::string(36, 'x') + number + "\r\n";
    }
    for (const bool wrap : {false, true}) {
        Open(text, wrap);
        for (int line = 0; line < kLines; ++line) {
            const std::string pattern = std::to_string(1000 + line) + "\r\n";
            const THit expected = std::make_pair(line * 42 + 36, 6);
            Editor->SetSelStart(0);
            EXPECT_EQ(Search(pattern, sxForward), expected) << line << " wrap " << wrap;
            CaretToTextEnd();
            EXPECT_EQ(Search(pattern, 0), expected) << line << " wrap " << wrap;
        }
    }
}

// Lines of 40 bytes and a line break; line Hit ends with " a" and the next line starts with "b".
std::string LinesWithHitAfter(int Hit, int Lines) {
    std::string text;
    for (int line = 0; line < Lines; ++line) {
        text += line == Hit ? std::string(38, 'x') + " a\r\n"
                            : (line == Hit + 1 ? "b" : "x") + std::string(39, 'x') + "\r\n";
    }
    return text;
}

TEST_F(EditorSearchTest, HitsAcrossTheEndOfASearchWindowAreFound) {
    // About 8 KB hold 195 lines; the hits lie around the first window's end, from either end of
    // the text.
    constexpr int kLines = 600;
    const struct {
        std::string_view Pattern;
        TSearchOptions Options;
        bool Hits;
    } searches[] = {
        {"ab", sxForward | sxAcrossLines, true},
        {"ab", sxAcrossLines, true},
        {"a\r\nb", sxForward, true},
        {"a\r\nb", 0, true},
        {"a\r\n", sxForward | sxWholeWord, false}, // a word character follows
        {"a\r\n", sxWholeWord, false},
    };
    for (const bool wrap : {false, true}) {
        for (int hit = 192; hit < 201; ++hit) {
            for (const auto& search : searches) {
                const bool forward = (search.Options & sxForward) != 0;
                const int line = forward ? hit : kLines - hit;
                Open(LinesWithHitAfter(line, kLines), wrap);
                if (forward) {
                    Editor->SetSelStart(0);
                } else {
                    CaretToTextEnd();
                }
                const THit expected =
                    WholeTextHit(Editor->GetSelStart(), search.Pattern, search.Options);
                ASSERT_EQ(expected.has_value(), search.Hits);
                if (expected) {
                    EXPECT_EQ(expected->first, line * 42 + 39);
                }
                EXPECT_EQ(Search(search.Pattern, search.Options), expected)
                    << line << " wrap " << wrap;
            }
        }
    }
}

TEST_F(EditorSearchTest, AMatchOverManyBlankLinesIsFound) {
    std::string text = "x a\r\n";
    for (int line = 0; line < 3000; ++line) {
        text += "  \t \r\n";
    }
    text += "b. z\r\n";
    Open(text);
    const TSearchOptions skipAll = sxAcrossLines | sxIgnoreBlanks | sxWholeWord;
    const auto expected = std::make_pair(2, static_cast<int>(text.size()) - 2 - 5);
    EXPECT_EQ(Search("ab", sxForward | skipAll), expected);
    CaretToTextEnd();
    EXPECT_EQ(Search("ab", skipAll), expected);
}

} // namespace
} // namespace kst
