#include "screenshot.h"

#include "host_process.h"

#include <algorithm>
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

// The colour 0xRRGGBB of the pixel whose red byte is at At.
std::uint32_t ColourAt(const TImage& Image, std::size_t At) {
    return static_cast<std::uint32_t>(Image.Rgb[At] << 16 | Image.Rgb[At + 1] << 8 |
                                      Image.Rgb[At + 2]);
}

// The picture that Draw leaves on a memory device context of Width x Height pixels.
template <class F>
TImage DrawnImage(int Width, int Height, F&& Draw) {
    TImage Image{Width, Height, {}};
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
    Draw(Memory, Screen);
    GdiFlush();
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

} // namespace

TImage CaptureWindow(HWND Window) {
    RECT Bounds{};
    GetWindowRect(Window, &Bounds);
    const int Width = Bounds.right - Bounds.left;
    const int Height = Bounds.bottom - Bounds.top;
    return DrawnImage(Width, Height, [&](HDC Memory, HDC Screen) {
        BitBlt(Memory, 0, 0, Width, Height, Screen, Bounds.left, Bounds.top, SRCCOPY);
    });
}

TImage DrawnText(const std::wstring& Text, HFONT Font) {
    constexpr int kMargin = 8;
    const HDC Screen = GetDC(nullptr);
    const HGDIOBJ Previous = SelectObject(Screen, Font);
    SIZE Extent{};
    GetTextExtentPoint32W(Screen, Text.c_str(), static_cast<int>(Text.size()), &Extent);
    SelectObject(Screen, Previous);
    ReleaseDC(nullptr, Screen);
    return DrawnImage(Extent.cx + 2 * kMargin, Extent.cy + 2 * kMargin, [&](HDC Memory, HDC) {
        const RECT All{0, 0, Extent.cx + 2 * kMargin, Extent.cy + 2 * kMargin};
        FillRect(Memory, &All, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SelectObject(Memory, Font);
        SetTextColor(Memory, RGB(0, 0, 0));
        SetBkMode(Memory, TRANSPARENT);
        TextOutW(Memory, kMargin, kMargin, Text.c_str(), static_cast<int>(Text.size()));
    });
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
        Colours.insert(ColourAt(Image, i));
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

bool HasColour(const TImage& Image, std::uint32_t Rgb) {
    for (std::size_t i = 0; i + 2 < Image.Rgb.size(); i += 3) {
        if (ColourAt(Image, i) == Rgb) {
            return true;
        }
    }
    return false;
}

InkMask DarkPixels(const TImage& Image, int Top, int Bottom) {
    constexpr int kDarkBelow = 3 * 128;
    Top = std::clamp(Top, 0, Image.Height);
    Bottom = std::clamp(Bottom, Top, Image.Height);
    InkMask Ink{Image.Width, Bottom - Top, {}};
    Ink.Dark.reserve(static_cast<std::size_t>(Ink.Width) * Ink.Height);
    for (int y = Top; y < Bottom; ++y) {
        for (int x = 0; x < Image.Width; ++x) {
            const std::size_t At = (static_cast<std::size_t>(y) * Image.Width + x) * 3;
            Ink.Dark.push_back(Image.Rgb[At] + Image.Rgb[At + 1] + Image.Rgb[At + 2] < kDarkBelow);
        }
    }
    return Ink;
}

InkMask DarkPixels(const TImage& Image) {
    return DarkPixels(Image, 0, Image.Height);
}

InkMask Trimmed(const InkMask& Ink) {
    int Left = Ink.Width;
    int Right = -1;
    int Top = Ink.Height;
    int Bottom = -1;
    for (int y = 0; y < Ink.Height; ++y) {
        for (int x = 0; x < Ink.Width; ++x) {
            if (Ink.Dark[static_cast<std::size_t>(y) * Ink.Width + x]) {
                Left = std::min(Left, x);
                Right = std::max(Right, x);
                Top = std::min(Top, y);
                Bottom = std::max(Bottom, y);
            }
        }
    }
    InkMask Part{std::max(0, Right - Left + 1), std::max(0, Bottom - Top + 1), {}};
    for (int y = Top; y <= Bottom; ++y) {
        for (int x = Left; x <= Right; ++x) {
            Part.Dark.push_back(Ink.Dark[static_cast<std::size_t>(y) * Ink.Width + x]);
        }
    }
    return Part;
}

bool Contains(const InkMask& Whole, const InkMask& Part) {
    const auto At = [](const InkMask& Ink, int X, int Y) {
        return Ink.Dark[static_cast<std::size_t>(Y) * Ink.Width + X];
    };
    const auto MatchesAt = [&](int Left, int Top) {
        for (int y = 0; y < Part.Height; ++y) {
            for (int x = 0; x < Part.Width; ++x) {
                if (At(Whole, Left + x, Top + y) != At(Part, x, y)) {
                    return false;
                }
            }
        }
        return true;
    };
    for (int Top = 0; Top + Part.Height <= Whole.Height; ++Top) {
        for (int Left = 0; Left + Part.Width <= Whole.Width; ++Left) {
            if (MatchesAt(Left, Top)) {
                return true;
            }
        }
    }
    return false;
}

} // namespace kst::e2e
