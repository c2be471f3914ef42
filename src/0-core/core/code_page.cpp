#include "core/code_page.h"

#include "core/cp932_unicode.h"

#include <algorithm>
#include <memory>

namespace kst {

namespace detail {
std::atomic<const TCodePage*> gTextCodePage = nullptr;
} // namespace detail

namespace {

constexpr std::size_t kBasicPlane = 0x10000;

// Windows' characters of the bytes 0x80-0x9F of code page 1252; the others are Latin-1's.
constexpr std::array<char16_t, 32> kWesternControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t WesternCharacter(std::string_view Code) {
    const auto byte = static_cast<unsigned char>(Code.front());
    return Code.size() == 1 && byte >= 0x80 && byte <= 0x9F ? kWesternControlRange[byte - 0x80]
                                                            : static_cast<char16_t>(byte);
}

void AddRange(TCharSet& Set, unsigned First, unsigned Last) {
    for (unsigned b = First; b <= Last; ++b) {
        Set.set(b);
    }
}

// Controls, spaces and ASCII punctuation: "_" and the digits and letters are left out.
TCharSet AsciiDelimiters() {
    TCharSet set;
    AddRange(set, 0x00, 0x2F);
    AddRange(set, 0x3A, 0x40);
    AddRange(set, 0x5B, 0x5E);
    AddRange(set, 0x60, 0x60);
    AddRange(set, 0x7B, 0x7F);
    return set;
}

// Letters of the alphabets that single-byte code pages hold start at "À"; below the general
// punctuation, only "×" and "÷" are not letters.
bool IsLetterOfAnAlphabet(char16_t Character) {
    return Character >= 0x00C0 && Character < 0x2000 && Character != 0x00D7 && Character != 0x00F7;
}

} // namespace

TCodePage::TCodePage(int Number, const TCharSet& LeadBytes, const TDecode& Decode)
    : FNumber(Number), FLeadBytes(LeadBytes) {
    ReadSingleBytes(Decode);
    ReadDoubleBytes(Decode);
    WriteFirstCodes();
    FindDelimiters();
}

TCodePage TCodePage::BuiltInJapanese() {
    TCharSet leadBytes;
    for (unsigned b = 0; b < 256; ++b) {
        leadBytes[b] = IsCp932LeadByte(static_cast<unsigned char>(b));
    }
    TCodePage codePage;
    codePage.FNumber = kJapaneseCodePage;
    codePage.FLeadBytes = leadBytes;
    for (unsigned b = 0; b < 256; ++b) {
        codePage.FTrailBytes[b] = (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
    }
    codePage.ReadSingleBytes([](std::string_view Code) {
        return UnicodeOfSingleByte(static_cast<unsigned char>(Code.front()));
    });
    codePage.ReadDoubleBytes([](std::string_view Code) {
        return UnicodeOfDoubleByte(static_cast<unsigned char>(Code[0]),
                                   static_cast<unsigned char>(Code[1]));
    });
    // Windows' own choice among the codes that several characters share.
    const TCp932Codes& codes = Cp932Codes();
    codePage.FCodes.assign(codes.begin(), codes.end());
    codePage.FindDelimiters();
    return codePage;
}

const TCodePage& TCodePage::Japanese() {
    static const TCodePage japanese = BuiltInJapanese();
    return japanese;
}

const TCodePage& TCodePage::Western() {
    static const TCodePage western(kWesternCodePage, TCharSet(), WesternCharacter);
    return western;
}

void TCodePage::ReadSingleBytes(const TDecode& Decode) {
    for (unsigned b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        FSingle[b] = FLeadBytes[b] ? kNoUnicode : Decode(std::string_view(&byte, 1));
    }
}

void TCodePage::ReadDoubleBytes(const TDecode& Decode) {
    if (!HasDoubleByteCharacters()) {
        return;
    }
    FDouble.assign(256 * 256, kNoUnicode);
    for (unsigned lead = 0; lead < 256; ++lead) {
        if (!FLeadBytes[lead]) {
            continue;
        }
        for (unsigned trail = 0; trail < 256; ++trail) {
            const char code[] = {static_cast<char>(lead), static_cast<char>(trail)};
            const char16_t character = Decode(std::string_view(code, 2));
            FDouble[lead * 256 + trail] = character;
            FTrailBytes[trail] = FTrailBytes[trail] || character != kNoUnicode;
        }
    }
}

void TCodePage::WriteFirstCodes() {
    FCodes.assign(kBasicPlane, kNoCode);
    auto write = [this](char16_t Character, unsigned Code) {
        if (Character != kNoUnicode && FCodes[Character] == kNoCode) {
            FCodes[Character] = static_cast<std::uint16_t>(Code);
        }
    };
    for (unsigned b = 0; b < 256; ++b) {
        write(FSingle[b], b);
    }
    for (std::size_t code = 0; code < FDouble.size(); ++code) {
        write(FDouble[code], static_cast<unsigned>(code));
    }
}

char16_t TCodePage::UnicodeOf(unsigned char Lead, unsigned char Trail) const {
    return FDouble.empty() ? kNoUnicode : FDouble[Lead * 256u + Trail];
}

void TCodePage::FindDelimiters() {
    FDelimiters = AsciiDelimiters();
    if (HasJapaneseRules()) {
        // 0x80, the half-width kana punctuation and the bytes 0xFD-0xFF.
        AddRange(FDelimiters, 0x80, 0x80);
        AddRange(FDelimiters, 0xA0, 0xA5);
        AddRange(FDelimiters, 0xFD, 0xFF);
        return;
    }
    for (unsigned b = 0x80; b < 256; ++b) {
        FDelimiters[b] = !FLeadBytes[b] && !IsLetterOfAnAlphabet(FSingle[b]);
    }
}

std::string CodePageName(const TCodePage& CodePage) {
    return CodePage.HasJapaneseRules() ? "Shift-JIS"
                                       : "コードページ " + std::to_string(CodePage.Number());
}

void UseTextCodePage(const TCodePage& CodePage) {
    // A code page once used is kept: a search on another thread may still be reading it.
    static std::vector<std::unique_ptr<const TCodePage>> used;
    if (&CodePage == &TCodePage::Japanese() || &CodePage == &TCodePage::Western()) {
        detail::gTextCodePage.store(&CodePage, std::memory_order_release);
        return;
    }
    const auto kept = std::ranges::find_if(
        used, [&CodePage](const auto& Used) { return Used->Number() == CodePage.Number(); });
    if (kept != used.end()) {
        detail::gTextCodePage.store(kept->get(), std::memory_order_release);
        return;
    }
    used.push_back(std::make_unique<const TCodePage>(CodePage));
    detail::gTextCodePage.store(used.back().get(), std::memory_order_release);
}

} // namespace kst
