#include "document/row_text_io.h"

#include "core/errors.h"

#include <cstring>

namespace kst {

namespace {

constexpr char kCtrlZ = 26;
constexpr std::size_t kWriteBufferSize = 1 << 20;

// Length of the line break at Pos (0 when there is none).
std::size_t BreakLength(const char* Text, std::size_t Size, std::size_t Pos) {
    if (Text[Pos] == '\n') {
        return 1;
    }
    if (Text[Pos] != '\r') {
        return 0;
    }
    return Pos + 1 < Size && Text[Pos + 1] == '\n' ? 2 : 1;
}

// Calls Line(start, length) for every line of the text; returns whether text follows the last
// line break.
template <class F>
bool ScanLines(const char* Text, std::size_t Size, F&& Line) {
    std::size_t start = 0;
    for (std::size_t pos = 0; pos < Size; ++pos) {
        const char c = Text[pos];
        if (c != '\r' && c != '\n') {
            continue;
        }
        Line(start, pos - start);
        pos += BreakLength(Text, Size, pos) - 1;
        start = pos + 1;
    }
    if (start < Size) {
        Line(start, Size - start);
        return true;
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
        ScanLines(text, Size, [&Rows, &row, buffer](std::size_t start, std::size_t length) {
            Rows.SetTextSlice(row++, buffer, static_cast<std::uint32_t>(start),
                              static_cast<std::uint32_t>(length));
        });
    if (openLastLine) {
        Rows.SetRowAttribute(lines - 1, raEndOfText);
    }
}

std::size_t TextLength(const TRowAttributeStringList& Rows) {
    std::size_t length = 0;
    for (int i = 0; i < Rows.GetCount(); ++i) {
        length += Rows.GetView(i).size() + (Rows.GetRowAttribute(i) == raLineBreak ? 2 : 0);
    }
    return length;
}

} // namespace

void LoadRowsFromFileBytes(TRowAttributeStringList& Rows, FileBytes Bytes) {
    const char* ctrlZ = static_cast<const char*>(std::memchr(Bytes.Data.get(), kCtrlZ, Bytes.Size));
    const std::size_t size =
        ctrlZ ? static_cast<std::size_t>(ctrlZ - Bytes.Data.get()) : Bytes.Size;
    LoadRows(Rows, std::move(Bytes.Data), size);
}

void LoadRowsFromText(TRowAttributeStringList& Rows, std::string_view Text) {
    auto buffer = std::make_unique_for_overwrite<char[]>(Text.size());
    std::memcpy(buffer.get(), Text.data(), Text.size());
    LoadRows(Rows, std::move(buffer), Text.size());
}

std::string RowsTextStr(const TRowAttributeStringList& Rows) {
    std::string text;
    text.reserve(TextLength(Rows));
    WriteRows(Rows, [&text](std::string_view piece) { text += piece; });
    return text;
}

void WriteRows(const TRowAttributeStringList& Rows, const ChunkSink& Sink) {
    std::string buffer;
    buffer.reserve(kWriteBufferSize);
    auto flush = [&] {
        if (!buffer.empty()) {
            Sink(buffer);
            buffer.clear();
        }
    };
    for (int i = 0; i < Rows.GetCount(); ++i) {
        const std::string_view row = Rows.GetView(i);
        if (buffer.size() + row.size() + 2 > kWriteBufferSize) {
            flush();
        }
        if (row.size() >= kWriteBufferSize) {
            Sink(row);
        } else {
            buffer += row;
        }
        if (Rows.GetRowAttribute(i) == raLineBreak) {
            buffer += "\r\n";
        }
    }
    flush();
}

} // namespace kst
