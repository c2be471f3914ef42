// The text's code page: which bytes start a double-byte character, and the Unicode character of
// each code. A process edits its text in one code page, chosen before the text is read (the
// system's ANSI code page, the one the script host reads scripts in, or the user's choice); the
// byte rules below follow it.
#pragma once

#include <array>
#include <atomic>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kst {

// A set of byte values.
using TCharSet = std::bitset<256>;

// Marks a code without a Unicode character, and a character without a code.
inline constexpr char16_t kNoUnicode = 0xFFFF;
inline constexpr std::uint16_t kNoCode = 0xFFFF;

inline constexpr int kJapaneseCodePage = 932;
inline constexpr int kWesternCodePage = 1252;

class TCodePage {
public:
    // The Unicode character of a code: a single byte, or a lead byte and a trail byte.
    using TDecode = std::function<char16_t(std::string_view Code)>;

    // Code page 932 (Shift-JIS) and 1252 (Western European), by Windows' own tables.
    static const TCodePage& Japanese();
    static const TCodePage& Western();

    // A code page of the given lead bytes whose codes Decode reads; a character that several
    // codes share is written with the first of them.
    TCodePage(int Number, const TCharSet& LeadBytes, const TDecode& Decode);

    int Number() const { return FNumber; }
    bool IsLeadByte(unsigned char Byte) const { return FLeadBytes[Byte]; }
    bool HasDoubleByteCharacters() const { return FLeadBytes.any(); }
    // True when Byte can end a double-byte character.
    bool IsTrailByte(unsigned char Byte) const { return FTrailBytes[Byte]; }
    // The rules that only mean something in Japanese text: where a row may not be cut, full-
    // and half-width forms and kana in a search.
    bool HasJapaneseRules() const { return FNumber == kJapaneseCodePage; }

    char16_t UnicodeOf(unsigned char Byte) const { return FSingle[Byte]; }
    char16_t UnicodeOf(unsigned char Lead, unsigned char Trail) const;
    // The code of a character of the basic plane: a single byte (below 0x100) or lead byte and
    // trail byte (lead byte high); kNoCode when the code page lacks it.
    std::uint16_t CodeOf(char16_t Character) const { return FCodes[Character]; }

    // The word delimiters of a text in this code page: controls, spaces, ASCII punctuation and
    // the symbols of the upper half; letters, digits, "_" and lead bytes are not delimiters.
    const TCharSet& DefaultDelimiters() const { return FDelimiters; }

private:
    TCodePage() = default;
    static TCodePage BuiltInJapanese();
    void ReadSingleBytes(const TDecode& Decode);
    void ReadDoubleBytes(const TDecode& Decode);
    void WriteFirstCodes();
    void FindDelimiters();

    int FNumber = 0;
    TCharSet FLeadBytes;
    TCharSet FTrailBytes;
    std::array<char16_t, 256> FSingle{};
    std::vector<char16_t> FDouble;     // lead * 256 + trail; empty without lead bytes
    std::vector<std::uint16_t> FCodes; // one per character of the basic plane
    TCharSet FDelimiters;
};

namespace detail {
// Null until UseTextCodePage first chooses one, so that it is set before any initialiser runs;
// atomic, since searches on other threads read it.
extern std::atomic<const TCodePage*> gTextCodePage;
} // namespace detail

// The code page of this process's text: Japanese until UseTextCodePage chooses another.
inline const TCodePage& TextCodePage() {
    const TCodePage* chosen = detail::gTextCodePage.load(std::memory_order_acquire);
    return chosen != nullptr ? *chosen : TCodePage::Japanese();
}

// Makes CodePage the text's. Call it only while no text is held in the old one: every byte rule
// and every conversion follows it at once.
void UseTextCodePage(const TCodePage& CodePage);

// True when Byte starts a double-byte character of the text's code page.
inline bool IsLeadByte(unsigned char Byte) {
    return TextCodePage().IsLeadByte(Byte);
}

inline bool IsLeadByte(char Char) {
    return IsLeadByte(static_cast<unsigned char>(Char));
}

// Byte length of the character that starts at Pos: 2 for a lead byte followed by another byte,
// otherwise 1. A lead byte at the very end of the text is one character of its own.
inline std::size_t CharLengthAt(std::string_view Text, std::size_t Pos) {
    return IsLeadByte(Text[Pos]) && Pos + 1 < Text.size() ? 2 : 1;
}

// The Unicode character of the Length (1 or 2) bytes at Text[Pos], in the text's code page.
inline char16_t UnicodeAt(std::string_view Text, std::size_t Pos, std::size_t Length) {
    const auto byte = static_cast<unsigned char>(Text[Pos]);
    return Length == 2 ? TextCodePage().UnicodeOf(byte, static_cast<unsigned char>(Text[Pos + 1]))
                       : TextCodePage().UnicodeOf(byte);
}

// Each byte upper-cased: only a-z change.
constexpr std::array<unsigned char, 256> kUpperCaseBytes = [] {
    std::array<unsigned char, 256> table{};
    for (std::size_t b = 0; b < table.size(); ++b) {
        table[b] = static_cast<unsigned char>(b >= 'a' && b <= 'z' ? b - ('a' - 'A') : b);
    }
    return table;
}();

// A byte lower-cased: only A-Z change (a lead or trail byte never does).
constexpr char LowerAscii(char Byte) {
    return Byte >= 'A' && Byte <= 'Z' ? static_cast<char>(Byte - 'A' + 'a') : Byte;
}

// How messages name a code page: "Shift-JIS" for 932, "コードページ 1252" for the others.
std::string CodePageName(const TCodePage& CodePage);

// The word delimiters of the text's code page.
inline TCharSet DefaultDelimiters() {
    return TextCodePage().DefaultDelimiters();
}

} // namespace kst
