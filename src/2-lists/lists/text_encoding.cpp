#include "lists/text_encoding.h"

#include "core/cp932.h"
#include "core/cp932_unicode.h"
#include "core/errors.h"

#include <algorithm>
#include <cstddef>
#include <utility>
#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define KESTRANE_SSE2 1
#endif

namespace kst {

namespace {

// Written in place of a character that CP932 lacks and of bytes that do not decode.
constexpr char kMissing = '?';
// Texts are converted in blocks of this many bytes: a block of ASCII at once (with SSE2, which
// every x86-64 processor has), any other block character by character.
constexpr std::ptrdiff_t kBlock = 16;

unsigned ByteAt(const char* P) {
    return static_cast<unsigned char>(*P);
}

// CP932 written over the buffer it is decoded from, never ahead of the bytes still to be read.
class Cp932Output {
public:
    explicit Cp932Output(char* Start) : FStart(Start), FNext(Start) {}

    char*& Next() { return FNext; }
    std::uint64_t Size() const { return static_cast<std::uint64_t>(FNext - FStart); }
    bool Lossy() const { return FLossy; }

    void PutByte(unsigned Byte) { *FNext++ = static_cast<char>(Byte); }

    void PutCharacter(char32_t Character) {
        const std::uint16_t code = Character < FCodes.size() ? FCodes[Character] : kNoCp932Code;
        if (code == kNoCp932Code) {
            PutMissing();
        } else if (code < 0x100) {
            PutByte(code);
        } else {
            PutByte(code >> 8);
            PutByte(code & 0xFFu);
        }
    }

    void PutMissing() {
        PutByte(static_cast<unsigned char>(kMissing));
        FLossy = true;
    }

private:
    const TCp932Codes& FCodes = Cp932Codes();
    char* FStart;
    char* FNext;
    bool FLossy = false;
};

// The character of the CP932 bytes at Text[Pos], which Pos passes; kNoUnicode when the bytes
// name none.
char16_t UnicodeAt(std::string_view Text, std::size_t& Pos) {
    const unsigned byte = ByteAt(&Text[Pos]);
    if (IsLeadByte(static_cast<unsigned char>(byte)) && Pos + 1 < Text.size()) {
        Pos += 2;
        return UnicodeOfDoubleByte(static_cast<unsigned char>(byte),
                                   static_cast<unsigned char>(Text[Pos - 1]));
    }
    ++Pos;
    return UnicodeOfSingleByte(static_cast<unsigned char>(byte));
}

struct Utf16Le {
    static constexpr TTextEncoding kEncoding = TTextEncoding::Utf16Le;
    static constexpr std::string_view kMark = "\xFF\xFE";
    static constexpr std::ptrdiff_t kUnit = 2;
    // Bytes written per CP932 byte at most.
    static constexpr std::size_t kExpansion = 2;

    static char16_t UnitAt(const char* P) {
        return static_cast<char16_t>(ByteAt(P) | ByteAt(P + 1) << 8);
    }

    static bool IsHighSurrogate(char16_t Unit) { return Unit >= 0xD800 && Unit <= 0xDBFF; }
    static bool IsLowSurrogate(char16_t Unit) { return Unit >= 0xDC00 && Unit <= 0xDFFF; }

    static bool DecodeAsciiBlock([[maybe_unused]] const char* In,
                                 [[maybe_unused]] Cp932Output& Out) {
#if defined(KESTRANE_SSE2)
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(In));
        const __m128i aboveAscii = _mm_and_si128(units, _mm_set1_epi16(static_cast<short>(0xFF80)));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(aboveAscii, _mm_setzero_si128())) != 0xFFFF) {
            return false;
        }
        _mm_storel_epi64(reinterpret_cast<__m128i*>(Out.Next()), _mm_packus_epi16(units, units));
        Out.Next() += kBlock / 2;
        return true;
#else
        return false;
#endif
    }

    // A pair of surrogates is a character beyond the basic plane, which CP932 lacks; a lone
    // surrogate has no CP932 code either.
    static const char* DecodeCharacter(const char* In, const char* End, Cp932Output& Out) {
        const char16_t unit = UnitAt(In);
        if (IsHighSurrogate(unit) && End - In >= 2 * kUnit && IsLowSurrogate(UnitAt(In + kUnit))) {
            Out.PutMissing();
            return In + 2 * kUnit;
        }
        Out.PutCharacter(unit);
        return In + kUnit;
    }

    static bool EncodeAsciiBlock([[maybe_unused]] const char* In, [[maybe_unused]] char*& Out) {
#if defined(KESTRANE_SSE2)
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(In));
        if (_mm_movemask_epi8(bytes) != 0) {
            return false;
        }
        const __m128i zero = _mm_setzero_si128();
        _mm_storeu_si128(reinterpret_cast<__m128i*>(Out), _mm_unpacklo_epi8(bytes, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(Out + kBlock), _mm_unpackhi_epi8(bytes, zero));
        Out += 2 * kBlock;
        return true;
#else
        return false;
#endif
    }

    static void EncodeCharacter(char16_t Character, char*& Out) {
        *Out++ = static_cast<char>(Character & 0xFFu);
        *Out++ = static_cast<char>(Character >> 8);
    }
};

struct Utf8 {
    static constexpr TTextEncoding kEncoding = TTextEncoding::Utf8;
    static constexpr std::string_view kMark = "\xEF\xBB\xBF";
    static constexpr std::ptrdiff_t kUnit = 1;
    // A half-width katakana takes one byte in CP932 and three in UTF-8.
    static constexpr std::size_t kExpansion = 3;

    static bool AllAscii([[maybe_unused]] const char* In) {
#if defined(KESTRANE_SSE2)
        return _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(In))) == 0;
#else
        return false;
#endif
    }

    static bool DecodeAsciiBlock(const char* In, Cp932Output& Out) {
        if (!AllAscii(In)) {
            return false;
        }
        std::copy_n(In, kBlock, Out.Next());
        Out.Next() += kBlock;
        return true;
    }

    struct TSequence {
        char32_t Character = 0;
        // 0 for a malformed sequence.
        std::ptrdiff_t Length = 0;
    };

    // The well-formed sequence of two to four bytes at In: no overlong forms, no surrogates,
    // nothing beyond U+10FFFF.
    static TSequence SequenceAt(const char* In, std::ptrdiff_t Left) {
        const unsigned lead = ByteAt(In);
        TSequence sequence;
        unsigned secondLow = 0x80;
        unsigned secondHigh = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            sequence = {lead & 0x1Fu, 2};
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            sequence = {lead & 0x0Fu, 3};
            secondLow = lead == 0xE0 ? 0xA0 : secondLow;
            secondHigh = lead == 0xED ? 0x9F : secondHigh;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            sequence = {lead & 0x07u, 4};
            secondLow = lead == 0xF0 ? 0x90 : secondLow;
            secondHigh = lead == 0xF4 ? 0x8F : secondHigh;
        } else {
            return {};
        }
        if (Left < sequence.Length) {
            return {};
        }
        for (std::ptrdiff_t i = 1; i < sequence.Length; ++i) {
            const unsigned byte = ByteAt(In + i);
            if (byte < (i == 1 ? secondLow : 0x80) || byte > (i == 1 ? secondHigh : 0xBF)) {
                return {};
            }
            sequence.Character = sequence.Character << 6 | (byte & 0x3Fu);
        }
        return sequence;
    }

    // A malformed sequence gives "?" for its first byte; the rest are read again.
    static const char* DecodeCharacter(const char* In, const char* End, Cp932Output& Out) {
        if (ByteAt(In) < 0x80) {
            Out.PutByte(ByteAt(In));
            return In + 1;
        }
        const TSequence sequence = SequenceAt(In, End - In);
        if (sequence.Length == 0) {
            Out.PutMissing();
            return In + 1;
        }
        Out.PutCharacter(sequence.Character);
        return In + sequence.Length;
    }

    static bool EncodeAsciiBlock(const char* In, char*& Out) {
        if (!AllAscii(In)) {
            return false;
        }
        Out = std::copy_n(In, kBlock, Out);
        return true;
    }

    static void EncodeCharacter(char16_t Character, char*& Out) {
        if (Character < 0x80) {
            *Out++ = static_cast<char>(Character);
        } else if (Character < 0x800) {
            *Out++ = static_cast<char>(0xC0 | Character >> 6);
            *Out++ = static_cast<char>(0x80 | (Character & 0x3F));
        } else {
            *Out++ = static_cast<char>(0xE0 | Character >> 12);
            *Out++ = static_cast<char>(0x80 | (Character >> 6 & 0x3F));
            *Out++ = static_cast<char>(0x80 | (Character & 0x3F));
        }
    }
};

// Decodes [In, End) to Out; a last piece shorter than a code unit is one missing character.
template <class TCodec>
void Decode(const char* In, const char* End, Cp932Output& Out) {
    while (End - In >= TCodec::kUnit) {
        if (End - In >= kBlock && TCodec::DecodeAsciiBlock(In, Out)) {
            In += kBlock;
            continue;
        }
        const char* blockEnd = In + std::min(End - In, kBlock);
        while (In < blockEnd && End - In >= TCodec::kUnit) {
            In = TCodec::DecodeCharacter(In, End, Out);
        }
    }
    if (In != End) {
        Out.PutMissing();
    }
}

template <class TCodec>
TDecodedFile Decoded(FileBytes Bytes) {
    char* const text = Bytes.Data.get();
    Cp932Output output(text);
    Decode<TCodec>(text + TCodec::kMark.size(), text + Bytes.Size, output);
    Bytes.Size = output.Size();
    return {std::move(Bytes), {TCodec::kEncoding, output.Lossy()}};
}

[[noreturn]] void RaiseUnencodable(TTextEncoding Encoding) {
    throw EFileError("テキストに文字を表さないバイトが含まれているため、" +
                     std::string(EncodingName(Encoding)) + " で保存できません。");
}

// Cp932 encoded at Out, which has room for it; answers the encoded bytes.
template <class TCodec>
std::string_view Encoded(std::string_view Cp932, char* Out) {
    char* out = Out;
    for (std::size_t pos = 0; pos < Cp932.size();) {
        if (Cp932.size() - pos >= kBlock && TCodec::EncodeAsciiBlock(&Cp932[pos], out)) {
            pos += kBlock;
            continue;
        }
        const std::size_t blockEnd = std::min(Cp932.size(), pos + kBlock);
        while (pos < blockEnd) {
            const char16_t character = UnicodeAt(Cp932, pos);
            if (character == kNoUnicode) {
                RaiseUnencodable(TCodec::kEncoding);
            }
            TCodec::EncodeCharacter(character, out);
        }
    }
    return {Out, static_cast<std::size_t>(out - Out)};
}

} // namespace

std::string_view EncodingName(TTextEncoding Encoding) {
    switch (Encoding) {
    case TTextEncoding::Sjis:
        break;
    case TTextEncoding::Utf16Le:
        return "UTF-16LE";
    case TTextEncoding::Utf8:
        return "UTF-8";
    }
    return "SJIS";
}

void CheckWritable(const TFileFormat& Format) {
    if (Format.Lossy) {
        throw EFileError(
            "このファイルには Shift-JIS で表せない文字が含まれているため、保存できません。");
    }
}

TDecodedFile DecodeFileBytes(FileBytes Bytes) {
    const std::string_view bytes(Bytes.Data.get(), static_cast<std::size_t>(Bytes.Size));
    if (bytes.starts_with(Utf16Le::kMark)) {
        return Decoded<Utf16Le>(std::move(Bytes));
    }
    if (bytes.starts_with(Utf8::kMark)) {
        return Decoded<Utf8>(std::move(Bytes));
    }
    return {std::move(Bytes), {}};
}

TextEncoder::TextEncoder(TTextEncoding Encoding, ChunkSink Sink)
    : FEncoding(Encoding), FSink(std::move(Sink)) {
    switch (FEncoding) {
    case TTextEncoding::Sjis:
        break;
    case TTextEncoding::Utf16Le:
        FSink(Utf16Le::kMark);
        break;
    case TTextEncoding::Utf8:
        FSink(Utf8::kMark);
        break;
    }
}

void TextEncoder::Put(std::string_view Cp932) {
    switch (FEncoding) {
    case TTextEncoding::Sjis:
        FSink(Cp932);
        break;
    case TTextEncoding::Utf16Le:
        FSink(Encoded<Utf16Le>(Cp932, Room(Cp932.size() * Utf16Le::kExpansion)));
        break;
    case TTextEncoding::Utf8:
        FSink(Encoded<Utf8>(Cp932, Room(Cp932.size() * Utf8::kExpansion)));
        break;
    }
}

char* TextEncoder::Room(std::size_t Size) {
    if (Size > FCapacity) {
        FBuffer = std::make_unique_for_overwrite<char[]>(Size);
        FCapacity = Size;
    }
    return FBuffer.get();
}

void WriteEncoded(TTextEncoding Encoding, std::string_view Cp932, const ChunkSink& Sink) {
    TextEncoder(Encoding, Sink).Put(Cp932);
}

} // namespace kst
