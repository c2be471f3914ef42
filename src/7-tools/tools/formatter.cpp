#include "tools/formatter.h"

#include "core/cp932.h"
#include "tools/script_text.h"

#include <algorithm>
#include <array>

namespace kst {

namespace {

struct TBlockPair {
    std::string_view Opener;
    std::string_view Closer;
};

constexpr std::array<TBlockPair, 6> kBlockPairs = {{{"sub", "end sub"},
                                                    {"function", "end function"},
                                                    {"if", "end if"},
                                                    {"do", "loop"},
                                                    {"select", "end select"},
                                                    {"for", "next"}}};
constexpr const TBlockPair* kIfBlock = &kBlockPairs[2];
constexpr const TBlockPair* kSelectBlock = &kBlockPairs[4];

constexpr std::string_view kThen = "then";
constexpr std::string_view kCase = "case";
constexpr std::string_view kElse = "else";
constexpr std::string_view kElseIf = "elseif";
constexpr std::string_view kLineBreak = "\r\n";

char LowerAscii(char Byte) {
    return Byte >= 'A' && Byte <= 'Z' ? static_cast<char>(Byte - 'A' + 'a') : Byte;
}

// Letters, digits, "_", and the bytes of double-byte and half-width kana characters.
bool ContinuesName(char Byte) {
    const char lower = LowerAscii(Byte);
    return (lower >= 'a' && lower <= 'z') || (Byte >= '0' && Byte <= '9') || Byte == '_' ||
           static_cast<unsigned char>(Byte) >= 0x80;
}

// Text holds the lower-case Word at Pos, in any case, not followed by a character of a name.
bool HasWordAt(std::string_view Text, std::size_t Pos, std::string_view Word) {
    if (Text.size() - Pos < Word.size()) {
        return false;
    }
    for (std::size_t i = 0; i < Word.size(); ++i) {
        if (LowerAscii(Text[Pos + i]) != Word[i]) {
            return false;
        }
    }
    const std::size_t end = Pos + Word.size();
    return end == Text.size() || !ContinuesName(Text[end]);
}

bool StartsWithWord(std::string_view Text, std::string_view Word) {
    return HasWordAt(Text, 0, Word);
}

// The first whole word Word in Text, stepping over double-byte characters; npos when none.
std::size_t FindWord(std::string_view Text, std::string_view Word) {
    for (std::size_t pos = 0; pos < Text.size(); pos += CharLengthAt(Text, pos)) {
        if ((pos == 0 || !ContinuesName(Text[pos - 1])) && HasWordAt(Text, pos, Word)) {
            return pos;
        }
    }
    return std::string_view::npos;
}

// An If with a statement after its Then on the same line; a comment after Then does not count.
bool IsOneLineIf(std::string_view Text) {
    const std::size_t then = FindWord(Text, kThen);
    if (then == std::string_view::npos) {
        return false;
    }
    const std::string_view rest = TrimBlanks(Text.substr(then + kThen.size()));
    return !rest.empty() && rest.front() != kCommentMark;
}

// A line as it is written back: Tabs tab characters, then Text.
struct TLineLayout {
    int Tabs = 0;
    std::string_view Text;
};

// Follows the blocks of a script line by line.
class TScriptIndenter {
public:
    TLineLayout Next(std::string_view Line) {
        const std::string_view text = TrimBlanks(Line);
        if (!text.empty() && text.front() == kCommentMark) {
            return {0, Line};
        }
        const bool opener = OpenBlock(text);
        if (!opener) {
            CloseBlock(text);
        }
        return {Depth(text, opener), text};
    }

private:
    // The first pair whose opener begins Text opens its block, unless it is a one-line If.
    bool OpenBlock(std::string_view Text) {
        for (const TBlockPair& pair : kBlockPairs) {
            if (StartsWithWord(Text, pair.Opener)) {
                if (&pair == kIfBlock && IsOneLineIf(Text)) {
                    return false;
                }
                FOpenBlocks.push_back(&pair);
                return true;
            }
        }
        return false;
    }

    // Only the innermost block can be closed.
    void CloseBlock(std::string_view Text) {
        if (!FOpenBlocks.empty() && StartsWithWord(Text, FOpenBlocks.back()->Closer)) {
            FOpenBlocks.pop_back();
        }
    }

    // An opener stands at the level of the block around it; Case lines one level inside their
    // Select and the statements under them one deeper; Else and ElseIf at the level of their If.
    int Depth(std::string_view Text, bool Opener) const {
        const int depth = static_cast<int>(FOpenBlocks.size());
        if (Opener) {
            return depth - 1;
        }
        if (FOpenBlocks.empty()) {
            return depth;
        }
        if (FOpenBlocks.back() == kSelectBlock) {
            return StartsWithWord(Text, kCase) ? depth : depth + 1;
        }
        if (FOpenBlocks.back() == kIfBlock &&
            (StartsWithWord(Text, kElse) || StartsWithWord(Text, kElseIf))) {
            return depth - 1;
        }
        return depth;
    }

    // The blocks open at the current line, innermost last.
    std::vector<const TBlockPair*> FOpenBlocks;
};

bool IsLaidOut(std::string_view Line, const TLineLayout& Layout) {
    const auto tabs = static_cast<std::size_t>(Layout.Tabs);
    return Line.size() == tabs + Layout.Text.size() && Line.find_first_not_of('\t') >= tabs &&
           Line.substr(tabs) == Layout.Text;
}

} // namespace

// Compared line by line, so that a formatted script costs no copy.
bool IsFormatted(std::span<const std::string_view> Lines) {
    TScriptIndenter indenter;
    return std::ranges::all_of(
        Lines, [&indenter](std::string_view Line) { return IsLaidOut(Line, indenter.Next(Line)); });
}

std::vector<std::string> FormatLines(std::span<const std::string_view> Lines) {
    TScriptIndenter indenter;
    std::vector<std::string> formatted;
    formatted.reserve(Lines.size());
    for (const std::string_view line : Lines) {
        const TLineLayout layout = indenter.Next(line);
        std::string& text = formatted.emplace_back();
        text.reserve(static_cast<std::size_t>(layout.Tabs) + layout.Text.size());
        text.append(static_cast<std::size_t>(layout.Tabs), '\t').append(layout.Text);
    }
    return formatted;
}

std::optional<std::string> FormatScript(std::span<const std::string_view> Lines) {
    if (IsFormatted(Lines)) {
        return std::nullopt;
    }
    const std::vector<std::string> formatted = FormatLines(Lines);
    std::size_t size = 0;
    for (const std::string& line : formatted) {
        size += line.size() + kLineBreak.size();
    }
    std::string text;
    text.reserve(size);
    for (const std::string& line : formatted) {
        text.append(line).append(kLineBreak);
    }
    return text;
}

} // namespace kst
