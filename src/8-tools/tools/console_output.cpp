#include "tools/console_output.h"

#include "tools/search_results.h"

#include <algorithm>
#include <charconv>

namespace kst {

namespace {

// The longest character of the code pages a console uses (UTF-8's).
constexpr std::size_t kMaxCharacterBytes = 4;

bool IsDigit(char Ch) {
    return Ch >= '0' && Ch <= '9';
}

// The number of digits at Pos of Text, moving Pos past them; none without a digit or when it
// exceeds an int.
std::optional<int> NumberAt(std::string_view Text, std::size_t& Pos) {
    if (Pos >= Text.size() || !IsDigit(Text[Pos])) {
        return std::nullopt;
    }
    int number = 0;
    const auto [end, error] = std::from_chars(Text.data() + Pos, Text.data() + Text.size(), number);
    if (error != std::errc()) {
        return std::nullopt;
    }
    Pos = static_cast<std::size_t>(end - Text.data());
    return number;
}

// "LINE, COL)" at the start of Text, blanks after the comma optional.
std::optional<TTextPlace> PlaceAt(std::string_view Text) {
    std::size_t pos = 0;
    const std::optional<int> line = NumberAt(Text, pos);
    if (!line || *line < 1 || pos >= Text.size() || Text[pos] != ',') {
        return std::nullopt;
    }
    pos = Text.find_first_not_of(' ', pos + 1);
    const std::optional<int> column =
        pos == std::string_view::npos ? std::nullopt : NumberAt(Text, pos);
    if (!column || pos >= Text.size() || Text[pos] != ')') {
        return std::nullopt;
    }
    return TTextPlace{.Line = *line, .Column = std::max(*column, 1)};
}

// The bytes of Text's first Count characters (UTF-8).
std::size_t BytesOfCharacters(std::string_view Text, std::size_t Count) {
    std::size_t characters = 0;
    for (std::size_t pos = 0; pos < Text.size(); ++pos) {
        const bool starts = (static_cast<unsigned char>(Text[pos]) & 0xC0) != 0x80;
        if (starts && characters++ == Count) {
            return pos;
        }
    }
    return Text.size();
}

std::string ShownByte(char Byte) {
    constexpr char kHex[] = "0123456789ABCDEF";
    const auto value = static_cast<unsigned char>(Byte);
    return {'\\', 'x', kHex[value >> 4], kHex[value & 0xF]};
}

} // namespace

void OutputLineSplitter::Add(std::string_view Chunk, std::vector<std::string>& Lines) {
    std::size_t pos = 0;
    if (FAfterCr && !Chunk.empty()) {
        FAfterCr = false;
        pos = Chunk.front() == '\n' ? 1 : 0;
    }
    while (pos < Chunk.size()) {
        const std::size_t end = Chunk.find_first_of("\r\n", pos);
        const std::string_view part = Chunk.substr(pos, end - pos);
        FLine.append(
            part.substr(0, kOutputLineMaxBytes - std::min(FLine.size(), kOutputLineMaxBytes)));
        if (end == std::string_view::npos) {
            return;
        }
        Lines.push_back(std::move(FLine));
        FLine.clear();
        pos = end + 1;
        if (Chunk[end] == '\r') {
            if (pos == Chunk.size()) {
                FAfterCr = true;
            } else if (Chunk[pos] == '\n') {
                ++pos;
            }
        }
    }
}

void OutputLineSplitter::Finish(std::vector<std::string>& Lines) {
    if (!FLine.empty()) {
        Lines.push_back(std::move(FLine));
        FLine.clear();
    }
    FAfterCr = false;
}

std::string DecodeShowingInvalid(std::string_view Bytes, const TStrictDecoder& Decode) {
    if (std::optional<std::string> whole = Decode(Bytes)) {
        return std::move(*whole);
    }
    std::string text;
    std::size_t pos = 0;
    while (pos < Bytes.size()) {
        std::size_t length = 1;
        std::optional<std::string> character;
        for (; length <= kMaxCharacterBytes && pos + length <= Bytes.size(); ++length) {
            if ((character = Decode(Bytes.substr(pos, length)))) {
                break;
            }
        }
        if (character) {
            text += *character;
            pos += length;
        } else {
            text += ShownByte(Bytes[pos]);
            ++pos;
        }
    }
    return text;
}

std::string ConsoleEntryText(std::string_view Line) {
    const std::string_view kept =
        Line.substr(0, BytesOfCharacters(Line, kConsoleEntryMaxCharacters));
    std::string text;
    text.reserve(kept.size());
    for (std::size_t pos = 0;;) {
        const std::size_t nul = kept.find('\0', pos);
        AppendTabsAsTwoSpaces(text, kept.substr(pos, nul - pos));
        if (nul == std::string_view::npos) {
            return text;
        }
        text += ShownByte('\0');
        pos = nul + 1;
    }
}

std::optional<TTextPlace> ErrorLinePlace(std::string_view Line,
                                         const std::function<bool(std::string_view)>& NamesFile) {
    for (std::size_t open = Line.find('('); open != std::string_view::npos;
         open = Line.find('(', open + 1)) {
        const std::optional<TTextPlace> place = PlaceAt(Line.substr(open + 1));
        if (open > 0 && place && NamesFile(Line.substr(0, open))) {
            return place;
        }
    }
    return std::nullopt;
}

std::string ExitCodeEntry(std::uint32_t ExitCode) {
    return "> 終了コード " + std::to_string(static_cast<std::int32_t>(ExitCode));
}

} // namespace kst
