#include "hostile_shapes.h"

#include <array>
#include <cstddef>

namespace kst::shapes {

namespace {

constexpr std::size_t kMiB = 1024 * 1024;

// Unit repeated until the text has Size bytes, then cut there.
std::string Repeated(std::string_view Unit, std::size_t Size) {
    std::string text;
    text.reserve(Size + Unit.size());
    while (text.size() < Size) {
        text.append(Unit);
    }
    text.resize(Size);
    return text;
}

std::string Lines(std::string_view Line, int Count) {
    std::string text;
    text.reserve((Line.size() + 2) * static_cast<std::size_t>(Count));
    for (int line = 0; line < Count; ++line) {
        text.append(Line);
        text.append("\r\n");
    }
    return text;
}

// A script that carries data in one string: Size bytes in one line with no line break, the word
// "data" once in every Size / 100,000 bytes.
std::string DataLine(std::size_t Size) {
    std::string unit = "data";
    unit.resize(Size / 100'000, '.');
    unit.back() = ' ';
    return "s = \"" + Repeated(unit, Size - 6) + "\"";
}

std::string LineOf4MiB() {
    return DataLine(4 * kMiB);
}

std::string LineOf20MiB() {
    return DataLine(20 * kMiB);
}

std::string LineOf100MiB() {
    return DataLine(100 * kMiB);
}

// 100 MiB in lines of 25 KiB, each a string of data.
std::string LinesOf25KiB() {
    const std::string line = "s = \"" + Repeated("data ...... ", 25 * 1024 - 6) + "\"";
    return Lines(line, static_cast<int>(100 * kMiB / (line.size() + 2)));
}

std::string EmptyLines() {
    return Lines("", 1'000'000);
}

std::string OneCharacterLines() {
    return Lines("x", 100'000);
}

// 100,000 blocks, each inside the one before.
std::string NestedBlocks() {
    return Lines("If x Then", 100'000) + Lines("End If", 100'000);
}

// 80,000 blocks left open, then 80,000 closers that match none of them.
std::string OpenBlocks() {
    return Lines("If x Then", 80'000) + Lines("Next", 80'000);
}

// One line of 200 KB with 40,000 closers that close nothing.
std::string LineOfProblems() {
    return Repeated("Next:", 200'000);
}

// One line of 1 MiB of double-byte characters: five hiragana and a full-width space, again and
// again.
std::string LineOfDoubleBytes() {
    return Repeated("\x82\xa0\x82\xa2\x82\xa4\x82\xa6\x82\xa8\x81\x40", kMiB);
}

std::string LineOfQuotes() {
    return Repeated("\"", kMiB);
}

std::string NulBytes() {
    return std::string(10 * kMiB, '\0');
}

constexpr std::array kShapes = {
    THostileShape{"line-4mb", LineOf4MiB, "data"},
    THostileShape{"line-20mb", LineOf20MiB, "data"},
    THostileShape{"line-100mb", LineOf100MiB, "data"},
    THostileShape{"lines-25kb", LinesOf25KiB, "data"},
    THostileShape{"empty-lines", EmptyLines, ""},
    THostileShape{"one-char-lines", OneCharacterLines, "x"},
    THostileShape{"nested-blocks", NestedBlocks, "Then"},
    THostileShape{"open-blocks", OpenBlocks, "Then"},
    THostileShape{"problems-line", LineOfProblems, "Next"},
    THostileShape{"double-byte-line", LineOfDoubleBytes, "\x82\xa0"},
    THostileShape{"quotes-line", LineOfQuotes, ""},
    THostileShape{"nul-bytes", NulBytes, ""},
};

} // namespace

std::span<const THostileShape> HostileShapes() {
    return kShapes;
}

const THostileShape* FindHostileShape(std::string_view Name) {
    for (const THostileShape& shape : kShapes) {
        if (shape.Name == Name) {
            return &shape;
        }
    }
    return nullptr;
}

} // namespace kst::shapes
