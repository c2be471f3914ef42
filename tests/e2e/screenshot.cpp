#include "screenshot.h"

#include "host_process.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <set>

namespace kst::e2e {

namespace {

constexpr std::size_t kMaxStoredBlock = 0xFFFF;

std::array<std::uint32_t, 256> CrcTable() {
    std::array<std::uint32_t, 256> Table{};
    for (std::uint32_t n = 0; n < Table.size(); ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) {
            c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        Table[n] = c;
    }
    return Table;
}

std::uint32_t Crc32(const std::vector<std::uint8_t>& Bytes) {
    static const std::array<std::uint32_t, 256> Table = CrcTable();
    std::uint32_t c = 0xFFFFFFFFu;
    for (const std::uint8_t b : Bytes) {
        c = Table[(c ^ b) & 0xFF] ^ (c >> 8);
    }
    return c ^ 0xFFFFFFFFu;
}

std::uint32_t Adler32(const std::vector<std::uint8_t>& Bytes) {
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (const std::uint8_t Byte : Bytes) {
        a = (a + Byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void PutBigEndian(std::vector<std::uint8_t>& Out, std::uint32_t Value) {
    for (int Shift = 24; Shift >= 0; Shift -= 8) {
        Out.push_back(static_cast<std::uint8_t>(Value >> Shift));
    }
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::vector<std::uint8_t> ZlibStored(const std::vector<std::uint8_t>& Data) {
    std::vector<std::uint8_t> Out{0x78, 0x01};
    std::size_t Pos = 0;
    do {
        const std::size_t Length = std::min(kMaxStoredBlock, Data.size() - Pos);
        const bool Last = Pos + Length == Data.size();
        const auto Length16 = static_cast<std::uint16_t>(Length);
        const auto Complement = static_cast<std::uint16_t>(~Length16);
        Out.insert(Out.end(), {static_cast<std::uint8_t>(Last ? 1 : 0),
                               static_cast<std::uint8_t>(Length16 & 0xFF),
                               static_cast<std::uint8_t>(Length16 >> 8),
                               static_cast<std::uint8_t>(Complement & 0xFF),
                               static_cast<std::uint8_t>(Complement >> 8)});
        Out.insert(Out.end(), Data.begin() + static_cast<std::ptrdiff_t>(Pos),
                   Data.begin() + static_cast<std::ptrdiff_t>(Pos + Length));
        Pos += Length;
    } while (Pos < Data.size());
    PutBigEndian(Out, Adler32(Data));
    return Out;
}

void PutChunk(std::vector<std::uint8_t>& Out, const char* Type,
              const std::vector<std::uint8_t>& Data) {
    PutBigEndian(Out, static_cast<std::uint32_t>(Data.size()));
    std::vector<std::uint8_t> Checked(Type, Type + 4);
    Checked.insert(Checked.end(), Data.begin(), Data.end());
    Out.insert(Out.end(), Checked.begin(), Checked.end());
    PutBigEndian(Out, Crc32(Checked));
}

// Each row behind a filter byte 0 (none).
std::vector<std::uint8_t> FilteredRows(const TImage& Image) {
    const std::size_t RowBytes = static_cast<std::size_t>(Image.Width) * 3;
    std::vector<std::uint8_t> Rows;
    Rows.reserve((RowBytes + 1) * static_cast<std::size_t>(Image.Height));
    for (int y = 0; y < Image.Height; ++y) {
        const auto Start = Image.Rgb.begin() + static_cast<std::ptrdiff_t>(RowBytes * y);
        Rows.push_back(0);
        Rows.insert(Rows.end(), Start, Start + static_cast<std::ptrdiff_t>(RowBytes));
    }
    return Rows;
}

std::vector<std::uint8_t> Header(const TImage& Image) {
    std::vector<std::uint8_t> Data;
    PutBigEndian(Data, static_cast<std::uint32_t>(Image.Width));
    PutBigEndian(Data, static_cast<std::uint32_t>(Image.Height));
    Data.insert(Data.end(), {8, 2, 0, 0, 0}); // 8-bit RGB, no interlace
    return Data;
}

} // namespace

TImage CaptureWindow(HWND Window) {
    RECT Bounds{};
    GetWindowRect(Window, &Bounds);
    TImage Image{Bounds.right - Bounds.left, Bounds.bottom - Bounds.top, {}};
    BITMAPINFO Info{};
    Info.bmiHeader.biSize = sizeof(Info.bmiHeader);
    Info.bmiHeader.biWidth = Image.Width;
    Info.bmiHeader.biHeight = -Image.Height;
    Info.bmiHeader.biPlanes = 1;
    Info.bmiHeader.biBitCount = 32;
    Info.bmiHeader.biCompression = BI_RGB;
    void* Bits = nullptr;
    const HDC Screen = GetDC(nullptr);
    const HDC Memory = CreateCompatibleDC(Screen);
    const HBITMAP Bitmap = CreateDIBSection(Memory, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0);
    const HGDIOBJ Previous = SelectObject(Memory, Bitmap);
    BitBlt(Memory, 0, 0, Image.Width, Image.Height, Screen, Bounds.left, Bounds.top, SRCCOPY);
    const auto* Bgra = static_cast<const std::uint8_t*>(Bits);
    const std::size_t Pixels = static_cast<std::size_t>(Image.Width) * Image.Height;
    Image.Rgb.reserve(Pixels * 3);
    for (std::size_t i = 0; i < Pixels; ++i) {
        Image.Rgb.insert(Image.Rgb.end(), {Bgra[i * 4 + 2], Bgra[i * 4 + 1], Bgra[i * 4]});
    }
    SelectObject(Memory, Previous);
    DeleteObject(Bitmap);
    DeleteDC(Memory);
    ReleaseDC(nullptr, Screen);
    return Image;
}

bool WritePng(const std::wstring& Path, const TImage& Image) {
    std::vector<std::uint8_t> Png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(Png, "IHDR", Header(Image));
    PutChunk(Png, "IDAT", ZlibStored(FilteredRows(Image)));
    PutChunk(Png, "IEND", {});
    std::ofstream File(std::filesystem::path(Path), std::ios::binary);
    File.write(reinterpret_cast<const char*>(Png.data()), static_cast<std::streamsize>(Png.size()));
    return File.good();
}

std::size_t ColourCount(const TImage& Image) {
    std::set<std::uint32_t> Colours;
    for (std::size_t i = 0; i + 2 < Image.Rgb.size(); i += 3) {
        Colours.insert(static_cast<std::uint32_t>(Image.Rgb[i] << 16 | Image.Rgb[i + 1] << 8 |
                                                  Image.Rgb[i + 2]));
    }
    return Colours.size();
}

bool SaveDrawnWindow(HWND Window, const std::wstring& Name, std::size_t MinColours) {
    TImage Image;
    const bool Drawn = WaitUntil(
        [&] {
            Image = CaptureWindow(Window);
            return ColourCount(Image) > MinColours;
        },
        std::chrono::seconds(10));
    return WritePng(ProgramFolder() + Name, Image) && Drawn;
}

} // namespace kst::e2e
