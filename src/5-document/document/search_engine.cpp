#include "document/search_engine.h"

#include "core/simd.h"
#include "document/regex_search.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <optional>

namespace kst {

namespace {

constexpr int kNoMatch = 0;
constexpr int kNeedsMore = -1;

constexpr unsigned char kVoicedMark = 0xDE;
constexpr unsigned char kSemiVoicedMark = 0xDF;
constexpr std::uint16_t kFullWidthSpace = 0x8140;
constexpr std::uint16_t kVoicedU = 0x8394; // ヴ, the voiced form of ｳ
constexpr unsigned char kHalfWidthU = 0xB3;
constexpr std::uint16_t kKatakanaRow = 0x2500;

// Full-width forms of the printable ASCII bytes 0x20-0x7E.
constexpr std::array<std::uint16_t, 95> kFullWidthAscii = {
    0x8140, 0x8149, 0x8168, 0x8194, 0x8190, 0x8193, 0x8195, 0x8166, // space ! " # $ % & '
    0x8169, 0x816A, 0x8196, 0x817B, 0x8143, 0x817C, 0x8144, 0x815E, // ( ) * + , - . /
    0x824F, 0x8250, 0x8251, 0x8252, 0x8253, 0x8254, 0x8255, 0x8256, // 0-7
    0x8257, 0x8258, 0x8146, 0x8147, 0x8183, 0x8181, 0x8184, 0x8148, // 8 9 : ; < = > ?
    0x8197, 0x8260, 0x8261, 0x8262, 0x8263, 0x8264, 0x8265, 0x8266, // @ A-G
    0x8267, 0x8268, 0x8269, 0x826A, 0x826B, 0x826C, 0x826D, 0x826E, // H-O
    0x826F, 0x8270, 0x8271, 0x8272, 0x8273, 0x8274, 0x8275, 0x8276, // P-W
    0x8277, 0x8278, 0x8279, 0x816D, 0x818F, 0x816E, 0x814F, 0x8151, // X Y Z [ \ ] ^ _
    0x814D, 0x8281, 0x8282, 0x8283, 0x8284, 0x8285, 0x8286, 0x8287, // ` a-g
    0x8288, 0x8289, 0x828A, 0x828B, 0x828C, 0x828D, 0x828E, 0x828F, // h-o
    0x8290, 0x8291, 0x8292, 0x8293, 0x8294, 0x8295, 0x8296, 0x8297, // p-w
    0x8298, 0x8299, 0x829A, 0x816F, 0x8162, 0x8170, 0x8150,         // x y z { | } ~
};

struct TByteForm {
    unsigned char Byte;
    std::uint16_t Code;
};

// Full-width forms of the half-width punctuation and sound marks.
constexpr std::array<TByteForm, 8> kHalfWidthPunctuation = {{
    {0xA1, 0x8142}, // 。
    {0xA2, 0x8175}, // 「
    {0xA3, 0x8176}, // 」
    {0xA4, 0x8141}, // 、
    {0xA5, 0x8145}, // ・
    {0xB0, 0x815B}, // ー
    {0xDE, 0x814A}, // ゛
    {0xDF, 0x814B}, // ゜
}};

// The sound marks a kana takes.
enum TSoundMarks : std::uint8_t { smNone, smVoiced, smVoicedAndSemiVoiced };

// A half-width katakana: the cell of its katakana in row 0x25 of JIS X 0208.
struct THalfWidthKana {
    unsigned char Byte;
    unsigned char Cell;
    TSoundMarks Marks;
};

constexpr std::array<THalfWidthKana, 55> kHalfWidthKana = {{
    {0xA6, 0x72, smNone},                // ヲ
    {0xA7, 0x21, smNone},                // ァ
    {0xA8, 0x23, smNone},                // ィ
    {0xA9, 0x25, smNone},                // ゥ
    {0xAA, 0x27, smNone},                // ェ
    {0xAB, 0x29, smNone},                // ォ
    {0xAC, 0x63, smNone},                // ャ
    {0xAD, 0x65, smNone},                // ュ
    {0xAE, 0x67, smNone},                // ョ
    {0xAF, 0x43, smNone},                // ッ
    {0xB1, 0x22, smNone},                // ア
    {0xB2, 0x24, smNone},                // イ
    {0xB3, 0x26, smVoiced},              // ウ
    {0xB4, 0x28, smNone},                // エ
    {0xB5, 0x2A, smNone},                // オ
    {0xB6, 0x2B, smVoiced},              // カ
    {0xB7, 0x2D, smVoiced},              // キ
    {0xB8, 0x2F, smVoiced},              // ク
    {0xB9, 0x31, smVoiced},              // ケ
    {0xBA, 0x33, smVoiced},              // コ
    {0xBB, 0x35, smVoiced},              // サ
    {0xBC, 0x37, smVoiced},              // シ
    {0xBD, 0x39, smVoiced},              // ス
    {0xBE, 0x3B, smVoiced},              // セ
    {0xBF, 0x3D, smVoiced},              // ソ
    {0xC0, 0x3F, smVoiced},              // タ
    {0xC1, 0x41, smVoiced},              // チ
    {0xC2, 0x44, smVoiced},              // ツ
    {0xC3, 0x46, smVoiced},              // テ
    {0xC4, 0x48, smVoiced},              // ト
    {0xC5, 0x4A, smNone},                // ナ
    {0xC6, 0x4B, smNone},                // ニ
    {0xC7, 0x4C, smNone},                // ヌ
    {0xC8, 0x4D, smNone},                // ネ
    {0xC9, 0x4E, smNone},                // ノ
    {0xCA, 0x4F, smVoicedAndSemiVoiced}, // ハ
    {0xCB, 0x52, smVoicedAndSemiVoiced}, // ヒ
    {0xCC, 0x55, smVoicedAndSemiVoiced}, // フ
    {0xCD, 0x58, smVoicedAndSemiVoiced}, // ヘ
    {0xCE, 0x5B, smVoicedAndSemiVoiced}, // ホ
    {0xCF, 0x5E, smNone},                // マ
    {0xD0, 0x5F, smNone},                // ミ
    {0xD1, 0x60, smNone},                // ム
    {0xD2, 0x61, smNone},                // メ
    {0xD3, 0x62, smNone},                // モ
    {0xD4, 0x64, smNone},                // ヤ
    {0xD5, 0x66, smNone},                // ユ
    {0xD6, 0x68, smNone},                // ヨ
    {0xD7, 0x69, smNone},                // ラ
    {0xD8, 0x6A, smNone},                // リ
    {0xD9, 0x6B, smNone},                // ル
    {0xDA, 0x6C, smNone},                // レ
    {0xDB, 0x6D, smNone},                // ロ
    {0xDC, 0x6F, smNone},                // ワ
    {0xDD, 0x73, smNone},                // ン
}};

// Small double-byte letters whose capitals lie in a parallel range.
struct TCaseRange {
    std::uint16_t FirstSmall;
    std::uint16_t LastSmall;
    std::uint16_t FirstCapital;
};

constexpr std::array<TCaseRange, 5> kSmallToCapital = {{
    {0x8281, 0x829A, 0x8260}, // full-width Latin
    {0x83BF, 0x83D6, 0x839F}, // Greek
    {0x8470, 0x847E, 0x8440}, // Cyrillic
    {0x8480, 0x8491, 0x844F},
    {0xEEEF, 0xEEF8, 0x8754}, // small Roman numerals to the capital ones
}};

// The full-width form of every single byte; bytes without one stand for themselves.
constexpr std::array<std::uint16_t, 256> kFullWidth = [] {
    std::array<std::uint16_t, 256> table{};
    for (std::size_t b = 0; b < table.size(); ++b) {
        table[b] = static_cast<std::uint16_t>(b);
    }
    for (std::size_t b = 0; b < kFullWidthAscii.size(); ++b) {
        table[' ' + b] = kFullWidthAscii[b];
    }
    for (const TByteForm& form : kHalfWidthPunctuation) {
        table[form.Byte] = form.Code;
    }
    for (const THalfWidthKana& kana : kHalfWidthKana) {
        table[kana.Byte] = JisToSjis(kKatakanaRow | kana.Cell);
    }
    return table;
}();

constexpr std::array<THalfWidthKana, 256> kKanaOfByte = [] {
    std::array<THalfWidthKana, 256> table{};
    for (const THalfWidthKana& kana : kHalfWidthKana) {
        table[kana.Byte] = kana;
    }
    return table;
}();

// Full- and half-width forms are Japanese text's; elsewhere the option means nothing.
TSearchOptions OptionsOfTheTextCodePage(TSearchOptions Options) {
    return TextCodePage().HasJapaneseRules()
               ? Options
               : static_cast<TSearchOptions>(Options & ~sxIgnoreWidth);
}

unsigned char ByteAt(std::string_view Text, int Pos) {
    return static_cast<unsigned char>(Text[static_cast<std::size_t>(Pos)]);
}

// The byte of a character that starts at Pos; the end of the text reads as a delimiter.
bool IsDelimiterAt(std::string_view Text, int Pos) {
    if (Pos >= static_cast<int>(Text.size())) {
        return true;
    }
    const unsigned char byte = ByteAt(Text, Pos);
    return byte == '_' || TextCodePage().DefaultDelimiters()[byte];
}

std::uint16_t CharCodeAt(std::string_view Text, int Pos) {
    return CharLengthAt(Text, static_cast<std::size_t>(Pos)) == 2
               ? static_cast<std::uint16_t>(ByteAt(Text, Pos) << 8 | ByteAt(Text, Pos + 1))
               : ByteAt(Text, Pos);
}

void AppendCode(std::string& Text, std::uint16_t Code) {
    if (Code > 0xFF) {
        Text += CodeToText(Code);
    } else {
        Text += static_cast<char>(Code);
    }
}

// Full-width letters are Japanese text's: in other code pages their codes are other characters.
std::optional<std::uint16_t> CapitalOf(std::uint16_t Small) {
    if (!TextCodePage().HasJapaneseRules()) {
        return std::nullopt;
    }
    for (const TCaseRange& range : kSmallToCapital) {
        if (Small >= range.FirstSmall && Small <= range.LastSmall) {
            return static_cast<std::uint16_t>(range.FirstCapital + (Small - range.FirstSmall));
        }
    }
    return std::nullopt;
}

// The voiced kana that the half-width kana at Pos forms with the sound mark after it.
std::optional<std::uint16_t> VoicedFormAt(std::string_view Text, int Pos) {
    if (Pos + 1 >= static_cast<int>(Text.size())) {
        return std::nullopt;
    }
    const THalfWidthKana& kana = kKanaOfByte[ByteAt(Text, Pos)];
    const unsigned char mark = ByteAt(Text, Pos + 1);
    const bool voiced = mark == kVoicedMark && kana.Marks != smNone;
    const bool semiVoiced = mark == kSemiVoicedMark && kana.Marks == smVoicedAndSemiVoiced;
    if (!voiced && !semiVoiced) {
        return std::nullopt;
    }
    if (kana.Byte == kHalfWidthU) {
        return kVoicedU;
    }
    return JisToSjis(static_cast<std::uint16_t>(kKatakanaRow | (kana.Cell + (voiced ? 1 : 2))));
}

std::string UpperCased(std::string_view Text) {
    std::string result;
    result.reserve(Text.size());
    for (std::size_t i = 0; i < Text.size(); i += CharLengthAt(Text, i)) {
        const std::uint16_t code = CharCodeAt(Text, static_cast<int>(i));
        AppendCode(result, code > 0xFF ? CapitalOf(code).value_or(code) : kUpperCaseBytes[code]);
    }
    return result;
}

// Whether a byte offset starts a character. It reads back over the run of lead-byte values before
// the offset: the byte before such a run always ends a character, and the run's bytes pair up
// from there. The run last read is kept, so offsets asked in ascending or in descending order read
// every byte about once.
class TCharStarts {
public:
    explicit TCharStarts(std::string_view Text) : FText(Text) {}

    bool IsCharStart(int Pos) {
        if (Pos < FRunStart || Pos > FRunEnd) {
            ReadRunBefore(Pos);
        }
        return (Pos - FRunStart) % 2 == 0;
    }

private:
    void ReadRunBefore(int Pos) {
        if (Pos > FRunEnd) {
            // A run that reaches back to the kept one continues it.
            const int start = RunStart(Pos, FRunEnd);
            if (start > FRunEnd) {
                FRunStart = start;
            }
        } else {
            FRunStart = RunStart(Pos, 0);
        }
        FRunEnd = Pos;
    }
    int RunStart(int Pos, int Floor) const {
        while (Pos > Floor && IsLeadByte(FText[static_cast<std::size_t>(Pos - 1)])) {
            --Pos;
        }
        return Pos;
    }

    std::string_view FText;
    // A character start; the bytes from it to FRunEnd are all lead-byte values.
    int FRunStart = 0;
    int FRunEnd = 0;
};

// Word characters and delimiters, character by character. A double-byte character is a word
// character, as its lead byte is: kanji, kana, full-width letters, blanks and signs alike. So a
// second byte never reads as a delimiter, and a word never starts right after a double-byte
// character, as it never ends right before one.
class WordBounds {
public:
    WordBounds(std::string_view Text, TCharStarts& Starts) : FText(Text), FStarts(Starts) {}

    bool IsDelimiter(int Pos) const {
        return IsDelimiterAt(FText, Pos) &&
               (Pos >= static_cast<int>(FText.size()) || FStarts.IsCharStart(Pos));
    }
    bool IsWordStart(int Pos) const {
        return !IsDelimiter(Pos) && (Pos == 0 || IsDelimiter(Pos - 1));
    }

    // Moves Pos to the nearest word start in Direction, at most Remaining bytes away.
    bool SkipToWordStart(int& Pos, int Direction, int Remaining) const {
        const int from = Pos;
        const auto skip = [&](bool Delimiters) {
            while (Remaining > 0 && IsDelimiter(Pos) == Delimiters) {
                Pos += Direction;
                --Remaining;
            }
        };
        if (Direction > 0) {
            if (IsWordStart(Pos)) {
                return true;
            }
            skip(false);
            skip(true);
        } else {
            skip(true);
            skip(false);
            if (IsDelimiter(Pos)) {
                ++Pos;
            }
        }
        return IsWordStart(Pos) && (Pos - from) * Direction >= 0;
    }

private:
    std::string_view FText;
    TCharStarts& FStarts;
};

// Finds the positions whose byte may start a match and whose byte at the last position of a
// match may end one, sixteen positions at a time where the byte sets are small.
class TPositionFilter {
public:
    TPositionFilter(std::string_view Text, const TMatchBytes& First, const TMatchBytes& Last,
                    int LastOffset)
        : FText(Text), FSize(static_cast<int>(Text.size())), FFirst(First), FLast(Last),
          FLastOffset(LastOffset) {
#ifdef KST_SSE2
        FBlocks = First.IsFew() && Last.IsFew();
        for (std::size_t k = 0; k < TMatchBytes::kFew; ++k) {
            FFirstVectors[k] = _mm_set1_epi8(static_cast<char>(First.Few()[k]));
            FLastVectors[k] = _mm_set1_epi8(static_cast<char>(Last.Few()[k]));
        }
#endif
    }

    // The first passing position in Pos..Limit, or -1.
    int Next(int Pos, int Limit) const {
#ifdef KST_SSE2
        if (FBlocks) {
            const int lastBlock = std::min(Limit, FSize - 1 - FLastOffset) - 15;
            for (; Pos <= lastBlock; Pos += 16) {
                if (const unsigned mask = BlockMask(Pos)) {
                    return Pos + std::countr_zero(mask);
                }
            }
        }
#endif
        for (; Pos <= Limit; ++Pos) {
            if (Passes(Pos)) {
                return Pos;
            }
        }
        return -1;
    }

    // The last passing position in Limit..Pos, or -1.
    int Previous(int Pos, int Limit) const {
#ifdef KST_SSE2
        if (FBlocks) {
            for (; Pos >= Limit && Pos + FLastOffset >= FSize; --Pos) {
                if (Passes(Pos)) {
                    return Pos;
                }
            }
            for (; Pos - 15 >= Limit; Pos -= 16) {
                if (const unsigned mask = BlockMask(Pos - 15)) {
                    return Pos - 15 + static_cast<int>(std::bit_width(mask)) - 1;
                }
            }
        }
#endif
        for (; Pos >= Limit; --Pos) {
            if (Passes(Pos)) {
                return Pos;
            }
        }
        return -1;
    }

private:
    // A position whose last byte lies past the text passes on its first byte alone.
    bool Passes(int Pos) const {
        return FFirst.Has(ByteAt(FText, Pos)) &&
               (Pos + FLastOffset >= FSize || FLast.Has(ByteAt(FText, Pos + FLastOffset)));
    }

#ifdef KST_SSE2
    static __m128i AnyOf(__m128i Block, const __m128i (&Bytes)[TMatchBytes::kFew]) {
        return _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(Block, Bytes[0]), _mm_cmpeq_epi8(Block, Bytes[1])),
            _mm_or_si128(_mm_cmpeq_epi8(Block, Bytes[2]), _mm_cmpeq_epi8(Block, Bytes[3])));
    }
    // Bit k tells whether position Pos + k passes; every byte read lies inside the text.
    unsigned BlockMask(int Pos) const {
        const char* first = FText.data() + Pos;
        const __m128i firstBlock = _mm_loadu_si128(reinterpret_cast<const __m128i*>(first));
        const __m128i lastBlock =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(first + FLastOffset));
        return static_cast<unsigned>(_mm_movemask_epi8(
            _mm_and_si128(AnyOf(firstBlock, FFirstVectors), AnyOf(lastBlock, FLastVectors))));
    }

    bool FBlocks = false;
    __m128i FFirstVectors[TMatchBytes::kFew];
    __m128i FLastVectors[TMatchBytes::kFew];
#endif
    std::string_view FText;
    int FSize;
    const TMatchBytes& FFirst;
    const TMatchBytes& FLast;
    int FLastOffset;
};

bool SearchRegexBuffer(std::string_view Text, int& Start, int& Length, std::string_view Pattern,
                       TSearchOptions Options) {
    const bool forward = (Options & sxForward) != 0;
    const std::int64_t from = forward ? std::int64_t{Start} + Length : Start;
    if (from > static_cast<std::int64_t>(Text.size())) {
        return false;
    }
    // A start inside a double-byte character moves on to its next character in the search's
    // direction.
    int first = static_cast<int>(from);
    TCharStarts starts(Text);
    if (first < static_cast<int>(Text.size()) && !starts.IsCharStart(first)) {
        first += forward ? 1 : -1;
    }
    const TRegexPattern pattern(Pattern, (Options & sxMatchCase) != 0);
    const std::optional<TByteSpan> found =
        FindInLines(pattern, Text, static_cast<std::size_t>(first), forward);
    if (!found) {
        return false;
    }
    Start = static_cast<int>(found->Start);
    Length = static_cast<int>(found->Length);
    return true;
}

} // namespace

std::string CodeToText(std::uint16_t Code) {
    return {static_cast<char>(Code >> 8), static_cast<char>(Code & 0xFF)};
}

std::string ToFullWidth(std::string_view S) {
    std::string result;
    result.reserve(S.size() * 2);
    for (int i = 0; i < static_cast<int>(S.size()); ++i) {
        if (CharLengthAt(S, static_cast<std::size_t>(i)) == 2) {
            result += S.substr(static_cast<std::size_t>(i), 2);
            ++i;
        } else if (const auto voiced = VoicedFormAt(S, i)) {
            result += CodeToText(*voiced);
            ++i;
        } else {
            AppendCode(result, kFullWidth[ByteAt(S, i)]);
        }
    }
    return result;
}

bool WideCharMatches(std::uint16_t PatternChar, std::uint16_t TextChar) {
    return TextChar == PatternChar || CapitalOf(TextChar) == PatternChar;
}

std::string PreparedPattern(std::string_view Pattern, TSearchOptions Options) {
    Options = OptionsOfTheTextCodePage(Options);
    std::string prepared =
        (Options & sxMatchCase) != 0 ? std::string(Pattern) : UpperCased(Pattern);
    return (Options & sxIgnoreWidth) != 0 ? ToFullWidth(prepared) : prepared;
}

bool SkipToWordStart(std::string_view Text, int& Pos, int Direction, int Remaining) {
    TCharStarts starts(Text);
    return WordBounds(Text, starts).SkipToWordStart(Pos, Direction, Remaining);
}

bool SearchBuffer(std::string_view Text, int& Start, int& Length, std::string_view Pattern,
                  TSearchOptions Options) {
    if (Pattern.empty() || Text.empty() || Text.size() > INT_MAX || Start < 0 ||
        Start > static_cast<int>(Text.size()) || Length < 0) {
        return false;
    }
    if ((Options & sxRegExp) != 0) {
        return SearchRegexBuffer(Text, Start, Length, Pattern, Options);
    }
    const TSearchPattern pattern(Pattern, Options);
    const TFindResult found = pattern.Find(Text, pattern.FirstCandidate(Text, Start, Length), true);
    if (found.Status != TFindStatus::Found) {
        return false;
    }
    Start = found.Start;
    Length = found.Length;
    return true;
}

void TMatchBytes::Add(unsigned char Byte) {
    if (FSet[Byte]) {
        return;
    }
    FSet.set(Byte);
    if (++FCount == 1) {
        FFew.fill(Byte);
    } else if (FCount <= kFew) {
        FFew[FCount - 1] = Byte;
    }
}

TSearchPattern::TSearchPattern(std::string_view Pattern, TSearchOptions Options)
    : FOptions(OptionsOfTheTextCodePage(Options)) {
    const std::string prepared = PreparedPattern(Pattern, Options);
    for (std::size_t i = 0; i < prepared.size(); i += CharLengthAt(prepared, i)) {
        FChars.push_back(CharCodeAt(prepared, static_cast<int>(i)));
    }
    FMinMatchBytes =
        static_cast<int>((Options & sxIgnoreWidth) != 0 ? FChars.size() : prepared.size());
    if (!FChars.empty()) {
        CollectMatchBytes(prepared);
    }
}

// A match takes one text byte per pattern byte unless widths or skipped bytes make it longer, so
// then only its first byte is known.
void TSearchPattern::CollectMatchBytes(const std::string& Prepared) {
    FFirstBytes = EdgeBytesOf(FChars.front()).First;
    const bool oneBytePerByte = (FOptions & (sxIgnoreWidth | sxAcrossLines | sxIgnoreBlanks)) == 0;
    if (!oneBytePerByte || Prepared.size() < 2) {
        FLastBytes = FFirstBytes;
        return;
    }
    FLastOffset = static_cast<int>(Prepared.size()) - 1;
    FLastBytes = EdgeBytesOf(FChars.back()).Last;
}

TSearchPattern::TEdgeBytes TSearchPattern::EdgeBytesOf(std::uint16_t Char) const {
    TEdgeBytes edges;
    const auto consider = [&](std::string_view Form) {
        if (CoveredBy(Char, Form, 0) == static_cast<int>(Form.size())) {
            edges.First.Add(static_cast<unsigned char>(Form.front()));
            edges.Last.Add(static_cast<unsigned char>(Form.back()));
        }
    };
    for (unsigned b = 0; b < 256; ++b) {
        const char form[] = {static_cast<char>(b)};
        consider({form, 1});
    }
    for (const THalfWidthKana& kana : kHalfWidthKana) {
        for (const unsigned char mark : {kVoicedMark, kSemiVoicedMark}) {
            const char form[] = {static_cast<char>(kana.Byte), static_cast<char>(mark)};
            consider({form, 2});
        }
    }
    if (Char > 0xFF) {
        consider(CodeToText(Char));
    }
    for (const TCaseRange& range : kSmallToCapital) {
        for (unsigned small = range.FirstSmall; small <= range.LastSmall; ++small) {
            consider(CodeToText(static_cast<std::uint16_t>(small)));
        }
    }
    return edges;
}

int TSearchPattern::FirstCandidate(std::string_view Text, int Start, int Length) const {
    TCharStarts starts(Text);
    const int size = static_cast<int>(Text.size());
    if (Forward()) {
        const std::int64_t from = std::int64_t{Start} + Length;
        if (from >= size) {
            return static_cast<int>(std::min<std::int64_t>(from, INT_MAX));
        }
        return starts.IsCharStart(static_cast<int>(from)) ? static_cast<int>(from)
                                                          : static_cast<int>(from) + 1;
    }
    int pos = Start;
    if ((FOptions & sxIgnoreWidth) != 0) {
        // One text character per pattern character; a kana with its sound mark is one.
        for (std::size_t k = 0; k < FChars.size(); ++k) {
            if (pos <= 0) {
                return -1;
            }
            const bool pair =
                pos >= 2 && (!starts.IsCharStart(pos - 1) ||
                             (starts.IsCharStart(pos - 2) && VoicedFormAt(Text, pos - 2)));
            pos -= pair ? 2 : 1;
        }
    } else {
        pos -= FMinMatchBytes;
    }
    return pos >= 0 && !starts.IsCharStart(pos) ? pos - 1 : pos;
}

TFindResult TSearchPattern::Find(std::string_view Text, int First, bool TextEnds) const {
    const int size = static_cast<int>(Text.size());
    const int last = TextEnds ? size - FMinMatchBytes : size - 1;
    const int direction = Forward() ? 1 : -1;
    const TPositionFilter filter(Text, FFirstBytes, FLastBytes, FLastOffset);
    TCharStarts starts(Text);
    const WordBounds words(Text, starts);
    int pos = Forward() ? std::max(First, 0) : std::min(First, last);
    while (true) {
        pos = Forward() ? filter.Next(pos, last) : filter.Previous(pos, 0);
        if (pos < 0) {
            return {};
        }
        if (!starts.IsCharStart(pos)) {
            pos += direction;
            continue;
        }
        if ((FOptions & sxWholeWord) != 0 && !words.IsWordStart(pos)) {
            if (!words.SkipToWordStart(pos, direction, Forward() ? last - pos : pos)) {
                return {};
            }
            continue;
        }
        const int covered = MatchAt(Text, pos, TextEnds);
        if (covered == kNeedsMore) {
            return {TFindStatus::NeedsMore, pos, 0};
        }
        if (covered != kNoMatch) {
            return {TFindStatus::Found, pos, covered};
        }
        pos += direction;
    }
}

int TSearchPattern::MatchAt(std::string_view Text, int Pos, bool TextEnds) const {
    const int size = static_cast<int>(Text.size());
    int i = Pos;
    for (std::size_t k = 0; k < FChars.size();) {
        if (i >= size) {
            return TextEnds ? kNoMatch : kNeedsMore;
        }
        if (const int covered = CoveredBy(FChars[k], Text, i)) {
            i += covered;
            ++k;
        } else if (const int skipped = k > 0 ? SkippableAt(Text, i) : 0) {
            i += skipped;
        } else {
            return kNoMatch;
        }
    }
    if ((FOptions & sxWholeWord) != 0) {
        if (i == size && !TextEnds) {
            return kNeedsMore;
        }
        if (!IsDelimiterAt(Text, i)) {
            return kNoMatch;
        }
    }
    return i - Pos;
}

int TSearchPattern::CoveredBy(std::uint16_t Char, std::string_view Text, int Pos) const {
    const bool matchCase = (FOptions & sxMatchCase) != 0;
    const std::uint16_t code = CharCodeAt(Text, Pos);
    if (code > 0xFF) {
        return (matchCase ? code == Char : WideCharMatches(Char, code)) ? 2 : 0;
    }
    const unsigned char byte = matchCase ? ByteAt(Text, Pos) : kUpperCaseBytes[code];
    if ((FOptions & sxIgnoreWidth) == 0) {
        return byte == Char ? 1 : 0;
    }
    if (const auto voiced = VoicedFormAt(Text, Pos)) {
        return *voiced == Char ? 2 : 0;
    }
    return kFullWidth[byte] == Char ? 1 : 0;
}

int TSearchPattern::SkippableAt(std::string_view Text, int Pos) const {
    const unsigned char byte = ByteAt(Text, Pos);
    if ((FOptions & sxAcrossLines) != 0 && (byte == '\r' || byte == '\n')) {
        return 1;
    }
    if ((FOptions & sxIgnoreBlanks) == 0) {
        return 0;
    }
    if (byte == '\t' || byte == ' ') {
        return 1;
    }
    return TextCodePage().HasJapaneseRules() && CharCodeAt(Text, Pos) == kFullWidthSpace ? 2 : 0;
}

} // namespace kst
