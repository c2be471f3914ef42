#include "win32/gdi_surface.h"

#include "core/cp932.h"
#include "win32/utf.h"

#include <algorithm>
#include <utility>

namespace kst::win32 {

namespace {

constexpr UINT kCodePage932 = 932;
constexpr wchar_t kUnconvertible = L'\x30FB';

COLORREF ColorRef(TColor Color) {
    return static_cast<COLORREF>(Color);
}

RECT WinRect(const TRect& Rect) {
    return RECT{Rect.Left, Rect.Top, Rect.Right, Rect.Bottom};
}

// Appends the UTF-16 of one CP932 character; its first unit takes the whole advance.
void AppendCharacter(TCellText& Cells, std::string_view Character, int Advance) {
    wchar_t Units[2] = {};
    int Count = 1;
    if (static_cast<unsigned char>(Character[0]) < 0x80) {
        Units[0] = static_cast<wchar_t>(Character[0]);
    } else {
        Count = MultiByteToWideChar(kCodePage932, 0, Character.data(),
                                    static_cast<int>(Character.size()), Units, 2);
        if (Count == 0) {
            Units[0] = kUnconvertible;
            Count = 1;
        }
    }
    for (int i = 0; i < Count; ++i) {
        Cells.Text.push_back(Units[i]);
        Cells.Advances.push_back(i == 0 ? Advance : 0);
    }
}

LOGFONTW LogFont(const TFontSpec& Font) {
    LOGFONTW Log{};
    Log.lfHeight = Font.Height;
    Log.lfWeight = Font.Style.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    Log.lfItalic = Font.Style.Contains(fsItalic);
    Log.lfUnderline = Font.Style.Contains(fsUnderline);
    Log.lfStrikeOut = Font.Style.Contains(fsStrikeOut);
    Log.lfCharSet = Font.Charset;
    Log.lfOutPrecision = OUT_DEFAULT_PRECIS;
    Log.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    Log.lfQuality = DEFAULT_QUALITY;
    Log.lfPitchAndFamily = DEFAULT_PITCH;
    const std::wstring Face = Utf8ToWide(Font.Name);
    const std::size_t Length = std::min(Face.size(), std::size(Log.lfFaceName) - 1);
    std::copy_n(Face.begin(), Length, Log.lfFaceName);
    return Log;
}

class FontCache {
public:
    FontCache() = default;
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;
    ~FontCache() {
        for (const auto& Entry : FFonts) {
            DeleteObject(Entry.second);
        }
    }

    HFONT Get(const TFontSpec& Font) {
        const auto Found = std::find_if(FFonts.begin(), FFonts.end(),
                                        [&](const auto& Entry) { return Entry.first == Font; });
        if (Found != FFonts.end()) {
            return Found->second;
        }
        const LOGFONTW Log = LogFont(Font);
        FFonts.emplace_back(Font, CreateFontIndirectW(&Log));
        return FFonts.back().second;
    }

private:
    std::vector<std::pair<TFontSpec, HFONT>> FFonts;
};

const GdiSurface& AsGdi(const Surface& Source) {
    return dynamic_cast<const GdiSurface&>(Source);
}

} // namespace

TCellText CellText(std::string_view Cp932, int CellWidth) {
    TCellText Cells;
    Cells.Text.reserve(Cp932.size());
    Cells.Advances.reserve(Cp932.size());
    for (std::size_t Pos = 0; Pos < Cp932.size();) {
        const std::size_t Length = CharLengthAt(Cp932, Pos);
        AppendCharacter(Cells, Cp932.substr(Pos, Length), static_cast<int>(Length) * CellWidth);
        Pos += Length;
    }
    return Cells;
}

HFONT FontHandle(const TFontSpec& Font) {
    static FontCache Fonts;
    return Fonts.Get(Font);
}

GdiSurface::GdiSurface(HDC DC, TSize Size) : FDC(DC), FSize(Size) {}

GdiSurface::~GdiSurface() {
    if (FOriginalFont != nullptr) {
        SelectObject(FDC, FOriginalFont);
    }
}

void GdiSurface::UseFont(HFONT Font) {
    const HGDIOBJ Previous = SelectObject(FDC, Font);
    if (FOriginalFont == nullptr) {
        FOriginalFont = Previous;
    }
}

void GdiSurface::FillRect(const TRect& Rect, TColor Color) {
    const RECT Area = WinRect(Rect);
    SetBkColor(FDC, ColorRef(Color));
    ExtTextOutW(FDC, 0, 0, ETO_OPAQUE, &Area, nullptr, 0, nullptr);
}

void GdiSurface::TextOut(const TTextCells& Run) {
    TFontSpec RunFont = FFont;
    RunFont.Style = Run.Style;
    UseFont(FontHandle(RunFont));
    const TCellText Cells = CellText(Run.Text, Run.CellWidth);
    const RECT Clip = WinRect(Run.Clip);
    SetTextColor(FDC, ColorRef(Run.Color));
    SetBkColor(FDC, ColorRef(Run.BkColor));
    SetBkMode(FDC, Run.Opaque ? OPAQUE : TRANSPARENT);
    SetTextAlign(FDC, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    const UINT Options = ETO_CLIPPED | (Run.Opaque ? ETO_OPAQUE : 0);
    ExtTextOutW(FDC, Run.X, Run.Y, Options, &Clip, Cells.Text.data(),
                static_cast<UINT>(Cells.Text.size()), Cells.Advances.data());
    UseFont(FontHandle(FFont));
}

void GdiSurface::SelectFont(const TFontSpec& Font) {
    FFont = Font;
    UseFont(FontHandle(Font));
}

TFontMetrics GdiSurface::FontMetrics() const {
    TEXTMETRICW Metrics{};
    GetTextMetricsW(FDC, &Metrics);
    return TFontMetrics{Metrics.tmHeight, Metrics.tmExternalLeading, Metrics.tmAveCharWidth,
                        Metrics.tmItalic != 0};
}

void GdiSurface::Line(TPoint From, TPoint To, TColor Color) {
    const HPEN Pen = CreatePen(PS_SOLID, 1, ColorRef(Color));
    const HGDIOBJ Previous = SelectObject(FDC, Pen);
    MoveToEx(FDC, From.X, From.Y, nullptr);
    LineTo(FDC, To.X, To.Y);
    SelectObject(FDC, Previous);
    DeleteObject(Pen);
}

void GdiSurface::SetPixel(TPoint At, TColor Color) {
    SetPixelV(FDC, At.X, At.Y, ColorRef(Color));
}

TColor GdiSurface::GetPixel(TPoint At) const {
    return static_cast<TColor>(::GetPixel(FDC, At.X, At.Y));
}

std::unique_ptr<Surface> GdiSurface::CreateBitmap(TSize Size) const {
    return std::make_unique<GdiBitmap>(Size);
}

void GdiSurface::CopyFrom(const TRect& Dest, const Surface& Source, TPoint SourceOrigin) {
    BitBlt(FDC, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), AsGdi(Source).DC(),
           SourceOrigin.X, SourceOrigin.Y, SRCCOPY);
}

void GdiSurface::CopyTransparent(const TRect& Dest, const Surface& Source, TPoint SourceOrigin,
                                 TColor Key) {
    if (Dest.IsEmpty()) {
        return;
    }
    TransparentBlt(FDC, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), AsGdi(Source).DC(),
                   SourceOrigin.X, SourceOrigin.Y, Dest.Width(), Dest.Height(),
                   static_cast<UINT>(Key));
}

BitmapCanvas::BitmapCanvas(TSize Size) : FDC(CreateCompatibleDC(nullptr)) {
    BITMAPINFO Info{};
    Info.bmiHeader.biSize = sizeof(Info.bmiHeader);
    Info.bmiHeader.biWidth = std::max(1, Size.Width);
    Info.bmiHeader.biHeight = -std::max(1, Size.Height);
    Info.bmiHeader.biPlanes = 1;
    Info.bmiHeader.biBitCount = 32;
    Info.bmiHeader.biCompression = BI_RGB;
    void* Bits = nullptr;
    FBitmap = CreateDIBSection(FDC, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0);
    FOriginalBitmap = SelectObject(FDC, FBitmap);
}

BitmapCanvas::~BitmapCanvas() {
    SelectObject(FDC, FOriginalBitmap);
    DeleteObject(FBitmap);
    DeleteDC(FDC);
}

GdiBitmap::GdiBitmap(TSize Size) : BitmapCanvas(Size), GdiSurface(CanvasDC(), Size) {
    FillRect(TRect{0, 0, Size.Width, Size.Height}, clWhite);
}

} // namespace kst::win32
