#include "win32/gdi_surface.h"

#include "core/code_page.h"
#include "win32/utf.h"

#include <algorithm>
#include <utility>

namespace kst::win32 {

namespace {

constexpr wchar_t kUnconvertible = L'\x30FB';

COLORREF ColorRef(TColor Color) {
    return static_cast<COLORREF>(Color);
}

RECT WinRect(const TRect& Rect) {
    return RECT{Rect.Left, Rect.Top, Rect.Right, Rect.Bottom};
}

// Appends the UTF-16 of one character of the text; its first unit takes the whole advance.
void AppendCharacter(TCellText& Cells, std::string_view Character, int Advance) {
    wchar_t units[2] = {};
    int count = 1;
    if (static_cast<unsigned char>(Character[0]) < 0x80) {
        units[0] = static_cast<wchar_t>(Character[0]);
    } else {
        count = MultiByteToWideChar(static_cast<UINT>(TextCodePage().Number()), 0, Character.data(),
                                    static_cast<int>(Character.size()), units, 2);
        if (count == 0) {
            units[0] = kUnconvertible;
            count = 1;
        }
    }
    for (int i = 0; i < count; ++i) {
        Cells.Text.push_back(units[i]);
        Cells.Advances.push_back(i == 0 ? Advance : 0);
    }
}

LOGFONTW LogFont(const TFontSpec& Font) {
    LOGFONTW log{};
    log.lfHeight = Font.Height;
    log.lfWeight = Font.Style.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    log.lfItalic = Font.Style.Contains(fsItalic);
    log.lfUnderline = Font.Style.Contains(fsUnderline);
    log.lfStrikeOut = Font.Style.Contains(fsStrikeOut);
    log.lfCharSet = Font.Charset;
    log.lfOutPrecision = OUT_DEFAULT_PRECIS;
    log.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    log.lfQuality = DEFAULT_QUALITY;
    log.lfPitchAndFamily = DEFAULT_PITCH;
    const std::wstring face = Utf8ToWide(Font.Name);
    const std::size_t length = std::min(face.size(), std::size(log.lfFaceName) - 1);
    std::copy_n(face.begin(), length, log.lfFaceName);
    return log;
}

class FontCache {
public:
    FontCache() = default;
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;
    ~FontCache() {
        for (const auto& entry : FFonts) {
            DeleteObject(entry.second);
        }
    }

    HFONT Get(const TFontSpec& Font) {
        const auto found = std::find_if(FFonts.begin(), FFonts.end(),
                                        [&](const auto& Entry) { return Entry.first == Font; });
        if (found != FFonts.end()) {
            return found->second;
        }
        const LOGFONTW log = LogFont(Font);
        FFonts.emplace_back(Font, CreateFontIndirectW(&log));
        return FFonts.back().second;
    }

private:
    std::vector<std::pair<TFontSpec, HFONT>> FFonts;
};

const GdiSurface& AsGdi(const Surface& Source) {
    return dynamic_cast<const GdiSurface&>(Source);
}

} // namespace

TCellText CellText(std::string_view Text, int CellWidth) {
    TCellText cells;
    cells.Text.reserve(Text.size());
    cells.Advances.reserve(Text.size());
    for (std::size_t pos = 0; pos < Text.size();) {
        const std::size_t length = CharLengthAt(Text, pos);
        AppendCharacter(cells, Text.substr(pos, length), static_cast<int>(length) * CellWidth);
        pos += length;
    }
    return cells;
}

HFONT FontHandle(const TFontSpec& Font) {
    static FontCache fonts;
    return fonts.Get(Font);
}

GdiSurface::GdiSurface(HDC DC, TSize Size) : FDC(DC), FSize(Size) {}

GdiSurface::~GdiSurface() {
    if (FOriginalFont != nullptr) {
        SelectObject(FDC, FOriginalFont);
    }
}

void GdiSurface::UseFont(HFONT Font) {
    const HGDIOBJ previous = SelectObject(FDC, Font);
    if (FOriginalFont == nullptr) {
        FOriginalFont = previous;
    }
}

void GdiSurface::FillRect(const TRect& Rect, TColor Color) {
    const RECT area = WinRect(Rect);
    SetBkColor(FDC, ColorRef(Color));
    ExtTextOutW(FDC, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
}

void GdiSurface::TextOut(const TTextCells& Run) {
    TFontSpec runFont = FFont;
    runFont.Style = Run.Style;
    UseFont(FontHandle(runFont));
    const TCellText cells = CellText(Run.Text, Run.CellWidth);
    const RECT clip = WinRect(Run.Clip);
    SetTextColor(FDC, ColorRef(Run.Color));
    SetBkColor(FDC, ColorRef(Run.BkColor));
    SetBkMode(FDC, Run.Opaque ? OPAQUE : TRANSPARENT);
    SetTextAlign(FDC, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    const UINT options = ETO_CLIPPED | (Run.Opaque ? ETO_OPAQUE : 0);
    ExtTextOutW(FDC, Run.X, Run.Y, options, &clip, cells.Text.data(),
                static_cast<UINT>(cells.Text.size()), cells.Advances.data());
    UseFont(FontHandle(FFont));
}

void GdiSurface::SelectFont(const TFontSpec& Font) {
    FFont = Font;
    UseFont(FontHandle(Font));
}

TFontMetrics GdiSurface::FontMetrics() const {
    TEXTMETRICW metrics{};
    GetTextMetricsW(FDC, &metrics);
    return TFontMetrics{metrics.tmHeight, metrics.tmExternalLeading, metrics.tmAveCharWidth,
                        metrics.tmItalic != 0};
}

void GdiSurface::Line(TPoint From, TPoint To, TColor Color) {
    const HPEN pen = CreatePen(PS_SOLID, 1, ColorRef(Color));
    const HGDIOBJ previous = SelectObject(FDC, pen);
    MoveToEx(FDC, From.X, From.Y, nullptr);
    LineTo(FDC, To.X, To.Y);
    SelectObject(FDC, previous);
    DeleteObject(pen);
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
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = std::max(1, Size.Width);
    info.bmiHeader.biHeight = -std::max(1, Size.Height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    FBitmap = CreateDIBSection(FDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
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
