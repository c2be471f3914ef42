#include "lists/text_encoding.h"

#include "core/code_page.h"
#include "core/errors.h"
#include "core/simd.h"
#include "platform/memory.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>
#include <optional>
#include <utility>

namespace kst {

namespace {

// Written in place of a character that the text's code page lacks and of bytes that do not decode.
constexpr char kMissing = '?';
// Runs of ASCII are converted this many bytes at a time with SSE2, which every x86-64 processor
// has.
constexpr int kBlock = 16;

unsigned ByteAt(const char* P) {
    return static_cast<unsigned char>(*P);
}

// Writes the text's code page at Next. Decoding keeps it in a local variable, and the compiler so
// keeps Next in a register: stores through char pointers could otherwise change it.
struct TextWriter {
    char* Next;
    bool Lossy = false;
    const TCodePage& CodePage = TextCodePage();

    void PutByte(unsigned Byte) { *Next++ = static_cast<char>(Byte); }

    void PutCharacter(char32_t Character) {
        const std::uint16_t code =
            Character <= 0xFFFF ? CodePage.CodeOf(static_cast<char16_t>(Character)) : kNoCode;
        if (code == kNoCode) {
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
        Lossy = true;
    }
};

// The character of the text's bytes at Text[Pos], which Pos passes; kNoUnicode when the bytes
// name none.
char16_t UnicodeAfter(std::string_view Text, std::size_t& Pos) {
    const std::size_t length = CharLengthAt(Text, Pos);
    const char16_t character = UnicodeAt(Text, Pos, length);
    Pos += length;
    return character;
}

#if defined(KST_SSE2)
__m128i BlockAt(const char* P) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(P));
}

void StoreBlock(char* P, __m128i Block) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(P), Block);
}

// How many of the block's bytes are ASCII before the first that is not.
int AsciiBytesIn(__m128i Block) {
    return std::countr_zero(static_cast<unsigned>(_mm_movemask_epi8(Block)) | 1u << kBlock);
}
#endif

// Each codec converts a run of ASCII at once (a block at a time with SSE2) and any other
// character on its own. The output never shares the input's buffer and has room for as many
// bytes as the input has left times the expansion, so a block is written whole and the output
// then moves on by its ASCII start. UTF-16 comes in either byte order; the blocks are for the
// little-endian one, which Windows writes.
template <std::endian Order>
struct Utf16 {
    static constexpr bool kLittle = Order == std::endian::little;
    static constexpr TTextEncoding kEncoding =
        kLittle ? TTextEncoding::Utf16Le : TTextEncoding::Utf16Be;
    static constexpr std::string_view kMark = kLittle ? "\xFF\xFE" : "\xFE\xFF";
    static constexpr std::ptrdiff_t kUnit = 2;
    // Bytes written per byte of the text at most.
    static constexpr std::size_t kExpansion = 2;
    // The unit's bytes in the file's order: low byte first, or high byte first.
    static constexpr int kLowByte = kLittle ? 0 : 1;
    static constexpr int kHighByte = 1 - kLowByte;

    static char16_t UnitAt(const char* P) {
        return static_cast<char16_t>(ByteAt(P + kLowByte) | ByteAt(P + kHighByte) << 8);
    }

    static bool IsHighSurrogate(char16_t Unit) { return Unit >= 0xD800 && Unit <= 0xDBFF; }
    static bool IsLowSurrogate(char16_t Unit) { return Unit >= 0xDC00 && Unit <= 0xDFFF; }

    static bool IsAsciiAt(const char* In) { return UnitAt(In) < 0x80; }

    static const char* DecodeAscii(const char* In, const char* End, TextWriter& Out) {
#if defined(KST_SSE2)
        for (; kLittle && End - In >= kBlock; In += kBlock, Out.Next += kBlock / kUnit) {
            const __m128i units = BlockAt(In);
            const __m128i above = _mm_and_si128(units, _mm_set1_epi16(static_cast<short>(0xFF80)));
            const auto ascii = static_cast<unsigned>(
                _mm_movemask_epi8(_mm_cmpeq_epi16(above, _mm_setzero_si128())));
            _mm_storel_epi64(reinterpret_cast<__m128i*>(Out.Next), _mm_packus_epi16(units, units));
            if (ascii != 0xFFFF) {
                const int count = std::countr_one(ascii) / kUnit;
                Out.Next += count;
                return In + count * kUnit;
            }
        }
#endif
        for (; End - In >= kUnit && IsAsciiAt(In); In += kUnit) {
            Out.PutByte(ByteAt(In + kLowByte));
        }
        return In;
    }

    // A pair of surrogates is a character beyond the basic plane, which no ANSI code page holds; a
    // lone surrogate has no code either.
    static const char* DecodeCharacter(const char* In, const char* End, TextWriter& Out) {
        const char16_t unit = UnitAt(In);
        if (IsHighSurrogate(unit) && End - In >= 2 * kUnit && IsLowSurrogate(UnitAt(In + kUnit))) {
            Out.PutMissing();
            return In + 2 * kUnit;
        }
        Out.PutCharacter(unit);
        return In + kUnit;
    }

    static const char* EncodeAscii(const char* In, const char* End, char*& Out) {
#if defined(KST_SSE2)
        for (; kLittle && End - In >= kBlock; In += kBlock, Out += kBlock * kUnit) {
            const __m128i bytes = BlockAt(In);
            const __m128i zero = _mm_setzero_si128();
            StoreBlock(Out, _mm_unpacklo_epi8(bytes, zero));
            StoreBlock(Out + kBlock, _mm_unpackhi_epi8(bytes, zero));
            if (const int count = AsciiBytesIn(bytes); count < kBlock) {
                Out += count * kUnit;
                return In + count;
            }
        }
#endif
        for (; In < End && ByteAt(In) < 0x80; ++In) {
            EncodeCharacter(static_cast<char16_t>(ByteAt(In)), Out);
        }
        return In;
    }

    static void EncodeCharacter(char16_t Character, char*& Out) {
        Out[kLowByte] = static_cast<char>(Character & 0xFFu);
        Out[kHighByte] = static_cast<char>(Character >> 8);
        Out += kUnit;
    }
};

using Utf16Le = Utf16<std::endian::little>;
using Utf16Be = Utf16<std::endian::big>;

// The bytes a file starts with that tell a mark-less UTF-16 file.
constexpr std::size_t kUnmarkedSample = 512;

// The order of a file without a mark whose start (at least two units, whole units only) is ASCII
// in UTF-16, with every unit's high byte zero and its low byte not; none for any other.
std::optional<std::endian> UnmarkedUtf16Order(std::string_view Start) {
    const std::size_t size = std::min(Start.size(), kUnmarkedSample) & ~std::size_t{1};
    if (size < 4) {
        return std::nullopt;
    }
    const auto units = [&](int Low) {
        for (std::size_t at = 0; at < size; at += 2) {
            const unsigned low = ByteAt(&Start[at + static_cast<std::size_t>(Low)]);
            if (low == 0 || low >= 0x80 || Start[at + 1 - static_cast<std::size_t>(Low)] != 0) {
                return false;
            }
        }
        return true;
    };
    if (units(0)) {
        return std::endian::little;
    }
    if (units(1)) {
        return std::endian::big;
    }
    return std::nullopt;
}

struct Utf8 {
    static constexpr TTextEncoding kEncoding = TTextEncoding::Utf8;
    static constexpr std::string_view kMark = "\xEF\xBB\xBF";
    static constexpr std::ptrdiff_t kUnit = 1;
    // A half-width katakana takes one byte in the text and up to three in UTF-8.
    static constexpr std::size_t kExpansion = 3;

    static bool IsAsciiAt(const char* In) { return ByteAt(In) < 0x80; }

    static const char* DecodeAscii(const char* In, const char* End, TextWriter& Out) {
#if defined(KST_SSE2)
        for (; End - In >= kBlock; In += kBlock, Out.Next += kBlock) {
            const __m128i bytes = BlockAt(In);
            StoreBlock(Out.Next, bytes);
            if (const int count = AsciiBytesIn(bytes); count < kBlock) {
                Out.Next += count;
                return In + count;
            }
        }
#endif
        for (; In < End && IsAsciiAt(In); ++In) {
            Out.PutByte(ByteAt(In));
        }
        return In;
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
    static const char* DecodeCharacter(const char* In, const char* End, TextWriter& Out) {
        const TSequence sequence = SequenceAt(In, End - In);
        if (sequence.Length == 0) {
            Out.PutMissing();
            return In + 1;
        }
        Out.PutCharacter(sequence.Character);
        return In + sequence.Length;
    }

    static const char* EncodeAscii(const char* In, const char* End, char*& Out) {
#if defined(KST_SSE2)
        for (; End - In >= kBlock; In += kBlock, Out += kBlock) {
            const __m128i bytes = BlockAt(In);
            StoreBlock(Out, bytes);
            if (const int count = AsciiBytesIn(bytes); count < kBlock) {
                Out += count;
                return In + count;
            }
        }
#endif
        for (; In < End && ByteAt(In) < 0x80; ++In) {
            *Out++ = *In;
        }
        return In;
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

struct TDecodedPiece {
    // Where the next character starts.
    const char* Next;
    std::size_t Size;
    bool Lossy;
};

// Decodes the characters that start before Limit (the last one may run on to End) to Out. With
// Limit at End, a last piece shorter than a code unit is one missing character.
template <class TCodec>
TDecodedPiece Decode(const char* In, const char* Limit, const char* End, char* Out) {
    TextWriter writer{Out};
    const auto more = [&] { return In < Limit && End - In >= TCodec::kUnit; };
    while (more()) {
        In = TCodec::DecodeAscii(In, End, writer);
        while (more() && !TCodec::IsAsciiAt(In)) {
            In = TCodec::DecodeCharacter(In, End, writer);
        }
    }
    if (Limit == End && In != End) {
        writer.PutMissing();
        In = End;
    }
    return {In, static_cast<std::size_t>(writer.Next - Out), writer.Lossy};
}

// The format of a text decoded with TCodec from a file that had its mark, or had none.
template <class TCodec>
TFileFormat FormatOf(bool Lossy, bool Marked) {
    return {.Encoding = TCodec::kEncoding, .Lossy = Lossy || !Marked, .Unmarked = !Marked};
}

template <class TCodec>
TDecodedFile Decoded(const FileBytes& Bytes, bool Marked) {
    const char* const end = Bytes.Data.get() + Bytes.Size;
    FileBytes text{std::make_unique_for_overwrite<char[]>(static_cast<std::size_t>(Bytes.Size)), 0};
    const char* const start = Bytes.Data.get() + (Marked ? TCodec::kMark.size() : 0);
    const TDecodedPiece decoded = Decode<TCodec>(start, end, end, text.Data.get());
    text.Size = decoded.Size;
    return {std::move(text), FormatOf<TCodec>(decoded.Lossy, Marked)};
}

// The file is read a piece at a time into a buffer that stays in the processor's cache and
// decoded from there, so its bytes pass through memory once. A character cut by the end of a
// piece is carried over to the next one.
template <class TCodec>
TDecodedFile DecodedFromFile(FileReader& File, std::string_view Head, bool Marked) {
    constexpr std::size_t kPiece = 128 * 1024;
    constexpr std::ptrdiff_t kLongestCharacter = 4;
    std::size_t capacity = static_cast<std::size_t>(File.ReportedSize());
    FileBytes text{std::make_unique_for_overwrite<char[]>(capacity), 0};
    AdviseLargeBuffer(text.Data.get(), capacity);
    // Room for the head, or for a character carried over, before a piece.
    const auto piece = std::make_unique_for_overwrite<char[]>(
        kPiece + std::max<std::size_t>(Head.size(), kLongestCharacter));
    std::size_t carried = std::ranges::copy(Head, piece.get()).out - piece.get();
    bool lossy = false;
    for (;;) {
        const std::size_t count = File.Read(piece.get() + carried, kPiece);
        const std::size_t available = carried + count;
        char* const out = MakeRoom(text, capacity, available, File.Path());
        const char* const end = piece.get() + available;
        const char* const limit = count == 0 ? end : end - (kLongestCharacter - 1);
        const TDecodedPiece decoded = Decode<TCodec>(piece.get(), limit, end, out);
        text.Size += decoded.Size;
        lossy = lossy || decoded.Lossy;
        if (count == 0) {
            return {std::move(text), FormatOf<TCodec>(lossy, Marked)};
        }
        carried = static_cast<std::size_t>(end - decoded.Next);
        std::memmove(piece.get(), decoded.Next, carried);
    }
}

[[noreturn]] void RaiseUnencodable(TTextEncoding Encoding) {
    throw EFileError("テキストに文字を表さないバイトが含まれているため、" +
                     std::string(EncodingName(Encoding)) + " で保存できません。");
}

// Text encoded at Out, which has room for it; answers the encoded bytes.
template <class TCodec>
std::string_view Encoded(std::string_view Text, char* Out) {
    char* out = Out;
    const char* const end = Text.data() + Text.size();
    for (const char* in = Text.data(); in < end;) {
        in = TCodec::EncodeAscii(in, end, out);
        auto pos = static_cast<std::size_t>(in - Text.data());
        while (pos < Text.size() && ByteAt(&Text[pos]) >= 0x80) {
            const char16_t character = UnicodeAfter(Text, pos);
            if (character == kNoUnicode) {
                RaiseUnencodable(TCodec::kEncoding);
            }
            TCodec::EncodeCharacter(character, out);
        }
        in = Text.data() + pos;
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
    case TTextEncoding::Utf16Be:
        return "UTF-16BE";
    }
    return TextCodePage().HasJapaneseRules() ? "SJIS" : "ANSI";
}

void CheckWritable(const TFileFormat& Format) {
    if (Format.Unmarked) {
        throw EFileError("このファイルは BOM のない UTF-16 のため、保存できません。");
    }
    if (Format.Lossy) {
        throw EFileError("このファイルには " + CodePageName(TextCodePage()) +
                         " で表せない文字が含まれているため、保存できません。");
    }
}

TDecodedFile DecodeFileBytes(FileBytes Bytes) {
    const std::string_view bytes(Bytes.Data.get(), static_cast<std::size_t>(Bytes.Size));
    if (bytes.starts_with(Utf16Le::kMark)) {
        return Decoded<Utf16Le>(Bytes, true);
    }
    if (bytes.starts_with(Utf16Be::kMark)) {
        return Decoded<Utf16Be>(Bytes, true);
    }
    if (bytes.starts_with(Utf8::kMark)) {
        return Decoded<Utf8>(Bytes, true);
    }
    if (const std::optional<std::endian> order = UnmarkedUtf16Order(bytes)) {
        return *order == std::endian::little ? Decoded<Utf16Le>(Bytes, false)
                                             : Decoded<Utf16Be>(Bytes, false);
    }
    return {std::move(Bytes), {}};
}

TDecodedFile ReadTextFile(const std::string& Path) {
    FileReader file(Path);
    char head[kUnmarkedSample];
    std::size_t headSize = 0;
    while (headSize < sizeof head) {
        const std::size_t count = file.Read(head + headSize, sizeof head - headSize);
        if (count == 0) {
            break;
        }
        headSize += count;
    }
    const std::string_view start(head, headSize);
    if (start.starts_with(Utf16Le::kMark)) {
        return DecodedFromFile<Utf16Le>(file, start.substr(Utf16Le::kMark.size()), true);
    }
    if (start.starts_with(Utf16Be::kMark)) {
        return DecodedFromFile<Utf16Be>(file, start.substr(Utf16Be::kMark.size()), true);
    }
    if (start.starts_with(Utf8::kMark)) {
        return DecodedFromFile<Utf8>(file, start.substr(Utf8::kMark.size()), true);
    }
    if (const std::optional<std::endian> order = UnmarkedUtf16Order(start)) {
        return *order == std::endian::little ? DecodedFromFile<Utf16Le>(file, start, false)
                                             : DecodedFromFile<Utf16Be>(file, start, false);
    }
    return {ReadRest(file, start), {}};
}

TextEncoder::TextEncoder(TTextEncoding Encoding, ChunkSink Sink)
    : FEncoding(Encoding), FSink(std::move(Sink)) {
    switch (FEncoding) {
    case TTextEncoding::Sjis:
        break;
    case TTextEncoding::Utf16Le:
        FSink(Utf16Le::kMark);
        break;
    case TTextEncoding::Utf16Be:
        FSink(Utf16Be::kMark);
        break;
    case TTextEncoding::Utf8:
        FSink(Utf8::kMark);
        break;
    }
}

void TextEncoder::Put(std::string_view Text) {
    switch (FEncoding) {
    case TTextEncoding::Sjis:
        FSink(Text);
        break;
    case TTextEncoding::Utf16Le:
        FSink(Encoded<Utf16Le>(Text, Room(Text.size() * Utf16Le::kExpansion)));
        break;
    case TTextEncoding::Utf16Be:
        FSink(Encoded<Utf16Be>(Text, Room(Text.size() * Utf16Be::kExpansion)));
        break;
    case TTextEncoding::Utf8:
        FSink(Encoded<Utf8>(Text, Room(Text.size() * Utf8::kExpansion)));
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

void WriteEncoded(TTextEncoding Encoding, std::string_view Text, const ChunkSink& Sink) {
    TextEncoder(Encoding, Sink).Put(Text);
}

} // namespace kst
