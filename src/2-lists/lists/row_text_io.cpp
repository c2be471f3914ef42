#include "lists/row_text_io.h"

#include "core/errors.h"
#include "core/simd.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace kst {

namespace {

constexpr char kCtrlZ = 26;
constexpr std::size_t kWriteBufferSize = 1 << 20;

// Length of the line break at Pos (a CR or an LF): 2 for CR LF, else 1.
std::size_t BreakLength(const char* Text, std::size_t Size, std::size_t Pos) {
    return Text[Pos] == '\r' && Pos + 1 < Size && Text[Pos + 1] == '\n' ? 2 : 1;
}

const char* FindLineBreakBytewise(const char* P, const char* End) {
    while (P < End && *P != '\r' && *P != '\n') {
        ++P;
    }
    return P;
}

// The first CR or LF in [P, End), or End. Loading scans every byte of a file twice: with SSE2
// (every x86-64 processor) sixteen bytes are tested at a time, otherwise eight.
#ifdef KST_SSE2
const char* FindLineBreak(const char* P, const char* End) {
    const __m128i carriageReturns = _mm_set1_epi8('\r');
    const __m128i lineFeeds = _mm_set1_epi8('\n');
    for (; End - P >= 16; P += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(P));
        const int found = _mm_movemask_epi8(
            _mm_or_si128(_mm_cmpeq_epi8(bytes, carriageReturns), _mm_cmpeq_epi8(bytes, lineFeeds)));
        if (found != 0) {
            return P + std::countr_zero(static_cast<unsigned>(found));
        }
    }
    return FindLineBreakBytewise(P, End);
}
#else
const char* FindLineBreak(const char* P, const char* End) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kHighs = 0x8080808080808080u;
    const auto hasByte = [](std::uint64_t Word, unsigned char Byte) {
        const std::uint64_t x = Word ^ (kOnes * Byte);
        return ((x - kOnes) & ~x & kHighs) != 0;
    };
    for (; End - P >= 8; P += 8) {
        std::uint64_t word;
        std::memcpy(&word, P, sizeof word);
        if (hasByte(word, '\r') || hasByte(word, '\n')) {
            break;
        }
    }
    return FindLineBreakBytewise(P, End);
}
#endif

// Calls Line(Start, Length) for every line of the text; returns whether text follows the last
// line break.
template <class F>
bool ScanLines(const char* Text, std::size_t Size, F&& Line) {
    const char* end = Text + Size;
    for (const char* p = Text; p < end;) {
        const char* lineBreak = FindLineBreak(p, end);
        Line(static_cast<std::size_t>(p - Text), static_cast<std::size_t>(lineBreak - p));
        if (lineBreak == end) {
            return true;
        }
        p = lineBreak + BreakLength(Text, Size, static_cast<std::size_t>(lineBreak - Text));
    }
    return false;
}

// Rows become slices of Buffer[0, Size); the list takes the buffer over.
void LoadRows(TRowAttributeStringList& Rows, std::unique_ptr<char[]> Buffer, std::size_t Size) {
    if (Size > UINT32_MAX) {
        throw EFileError("テキストが大きすぎます。");
    }
    Rows.Clear();
    const char* text = Buffer.get();
    int lines = 0;
    ScanLines(text, Size, [&lines](std::size_t, std::size_t) { ++lines; });
    if (lines == 0) {
        return;
    }
    Rows.InsertItems(0, lines);
    const std::uint32_t buffer =
        Rows.AdoptBuffer(std::move(Buffer), static_cast<std::uint32_t>(Size));
    int row = 0;
    const bool openLastLine =
        ScanLines(text, Size, [&Rows, &row, buffer](std::size_t Start, std::size_t Length) {
            Rows.SetTextSlice(row++, buffer, static_cast<std::uint32_t>(Start),
                              static_cast<std::uint32_t>(Length));
        });
    if (openLastLine) {
        Rows.SetRowAttribute(lines - 1, raEndOfText);
    }
}

// Calls Piece for the text of every row from From to To and every line break after it, in order.
template <class F>
void ForEachPiece(const TRowAttributeStringList& Rows, F&& Piece, int From = 0, int To = -1) {
    for (int i = From; i < (To < 0 ? Rows.GetCount() : To); ++i) {
        Piece(Rows.GetView(i));
        if (Rows.GetRowAttribute(i) == raLineBreak) {
            Piece(std::string_view("\r\n"));
        }
    }
}

TFileFormat LoadDecodedRows(TRowAttributeStringList& Rows, TDecodedFile Decoded) {
    const std::size_t size = DocumentText(Decoded).size();
    LoadRows(Rows, std::move(Decoded.Text.Data), size);
    return Decoded.Format;
}

} // namespace

// Only a final Ctrl-Z is the old end-of-file mark of CP932 files; anywhere else, and in a file in
// Unicode, it is text, kept like NUL.
std::string_view DocumentText(const TDecodedFile& Decoded) {
    const auto size = static_cast<std::size_t>(Decoded.Text.Size);
    const bool endMark = Decoded.Format.Encoding == TTextEncoding::Sjis && size > 0 &&
                         Decoded.Text.Data[size - 1] == kCtrlZ;
    return {Decoded.Text.Data.get(), endMark ? size - 1 : size};
}

TFileFormat LoadRowsFromFile(TRowAttributeStringList& Rows, const std::string& Path) {
    return LoadDecodedRows(Rows, ReadTextFile(Path));
}

TFileFormat LoadRowsFromFileBytes(TRowAttributeStringList& Rows, FileBytes Bytes) {
    return LoadDecodedRows(Rows, DecodeFileBytes(std::move(Bytes)));
}

void LoadRowsFromText(TRowAttributeStringList& Rows, std::string_view Text) {
    auto buffer = std::make_unique_for_overwrite<char[]>(Text.size());
    std::memcpy(buffer.get(), Text.data(), Text.size());
    LoadRows(Rows, std::move(buffer), Text.size());
}

std::string RowsTextStr(const TRowAttributeStringList& Rows) {
    std::size_t length = 0;
    ForEachPiece(Rows, [&length](std::string_view Piece) { length += Piece.size(); });
    std::string text;
    text.reserve(length);
    ForEachPiece(Rows, [&text](std::string_view Piece) { text += Piece; });
    return text;
}

bool AppendRowsTextPart(const TRowAttributeStringList& Rows, TRowTextPlace& At, std::size_t Budget,
                        std::string& Text) {
    std::size_t spent = 0;
    while (At.Row < Rows.GetCount() && spent < Budget) {
        const std::string_view rest = Rows.GetView(At.Row).substr(At.Byte);
        const std::string_view part = rest.substr(0, Budget - spent);
        Text += part;
        spent += std::max(part.size(), kRowCopyCost);
        At.Byte += part.size();
        if (part.size() == rest.size()) {
            if (Rows.GetRowAttribute(At.Row) == raLineBreak) {
                Text += "\r\n";
            }
            ++At.Row;
            At.Byte = 0;
        }
    }
    return At.Row >= Rows.GetCount();
}

void WriteRows(const TRowAttributeStringList& Rows, TTextEncoding Encoding, const ChunkSink& Sink) {
    TextEncoder encoder(Encoding, Sink);
    std::string buffer;
    buffer.reserve(kWriteBufferSize);
    ForEachPiece(Rows, [&](std::string_view Piece) {
        if (buffer.size() + Piece.size() > kWriteBufferSize) {
            encoder.Put(buffer);
            buffer.clear();
        }
        if (Piece.size() >= kWriteBufferSize) {
            encoder.Put(Piece);
        } else {
            buffer += Piece;
        }
    });
    if (!buffer.empty()) {
        encoder.Put(buffer);
    }
}

} // namespace kst
