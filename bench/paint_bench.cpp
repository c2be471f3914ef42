// Painting a full screen of coloured script: 50 rows of 120 columns in the main window's settings,
// on a surface that only counts what it is asked to draw, so that the time is the painter's own;
// the same screen with the main window's marks drawn over the rows; and the marked last screen
// of a long line with word wrap on.
#include "app/main_window_editor.h"
#include "document/start_states.h"
#include "hostile_shapes.h"
#include "input/editor.h"
#include "tools/line_marks.h"
#include "tools/word_matcher.h"

#include <benchmark/benchmark.h>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace kst {
namespace {

class CountingSurface : public Surface {
public:
    explicit CountingSurface(TSize Size) : FSize(Size) {}

    TSize Size() const override { return FSize; }
    void FillRect(const TRect&, TColor) override { ++Calls; }
    void TextOut(const TTextCells& Run) override {
        ++Calls;
        Bytes += Run.Text.size();
    }
    void SelectFont(const TFontSpec&) override { ++Calls; }
    TFontMetrics FontMetrics() const override { return {16, 0, 8, false}; }
    void Line(TPoint, TPoint, TColor) override { ++Calls; }
    void SetPixel(TPoint, TColor) override { ++Calls; }
    TColor GetPixel(TPoint) const override { return clWhite; }
    std::unique_ptr<Surface> CreateBitmap(TSize Size) const override {
        return std::make_unique<CountingSurface>(Size);
    }
    void CopyFrom(const TRect&, const Surface&, TPoint) override { ++Calls; }
    void CopyTransparent(const TRect&, const Surface&, TPoint, TColor) override { ++Calls; }

    std::size_t Calls = 0;
    std::size_t Bytes = 0;

private:
    TSize FSize;
};

// A shown window of a fixed size that ignores every request.
class QuietHost : public EditorHost {
public:
    explicit QuietHost(TSize Client) : FClient(Client), FSurface(Client) {}

    bool HasWindow() const override { return true; }
    bool Showing() const override { return true; }
    bool Focused() const override { return false; }
    void SetFocus() override {}
    TSize ClientSize() const override { return FClient; }
    TSize ScreenSize() const override { return {1920, 1080}; }
    int Dpi() const override { return 96; }
    void SetBorder(bool) override {}
    void Invalidate(const TRect&) override {}
    void InvalidateAll() override {}
    void Update() override {}
    void ScrollPixels(int, int, const TRect&, const TRect&) override {}
    void SetRedraw(bool) override {}
    void CreateCaret(TSize) override {}
    void DestroyCaret() override {}
    void ShowCaret() override {}
    void HideCaret() override {}
    void SetCaretPos(TPoint) override {}
    void SetCursor(std::int16_t) override {}
    void SetMouseCapture(bool) override {}
    TPoint CursorPos() const override { return {}; }
    std::string ImeResultString() override { return {}; }
    void SetScrollRange(TScrollBarKind, const TScrollRange&) override {}
    void SetScrollPosition(TScrollBarKind, int) override {}
    void ShowScrollBar(TScrollBarKind, bool) override {}
    int TrackPosition(TScrollBarKind) const override { return 0; }
    int ScrollBarSize(TScrollBarKind) const override { return 16; }
    void SetCompositionWindow(TPoint, const TFontSpec&) override {}
    std::optional<std::uint16_t> PeekNextChar() override { return std::nullopt; }
    void RemoveNextChar() override {}
    bool KeyDown(int) const override { return false; }
    Surface& ClientSurface() override { return FSurface; }

private:
    TSize FClient;
    CountingSurface FSurface;
};

constexpr int kRows = 50;
constexpr int kColumns = 120;

// Script rows of kColumns columns each: statements, strings, numbers, a tab and a comment.
std::string ScriptText(int Lines) {
    std::string text;
    for (int i = 0; i < Lines; ++i) {
        std::string line = "\tDim value" + std::to_string(i) + " : If value" + std::to_string(i) +
                           " > " + std::to_string(i * 7) + " Then MsgBox \"row " +
                           std::to_string(i) + "\" & CStr(value" + std::to_string(i) +
                           ") ' checks the row";
        line.resize(kColumns - 3, '.');
        text += line + "\r\n";
    }
    return text;
}

// Paints a full screen of Text, with Handler as the editor's OnDrawLine, as often as the
// benchmark asks; Arrange sets the editor up after the text is in.
void PaintScreens(
    benchmark::State& State, const std::string& Text,
    const std::function<void(TEditor&, const std::string&, int, int, int, const TRect&, bool)>&
        Handler,
    const std::function<void(TEditor&)>& Arrange = [](TEditor&) {}) {
    std::unique_ptr<TEditor> editor = CreateComponent<TEditor>(nullptr);
    ApplyMainWindowViewSettings({editor->GetCaret(), editor->GetMargin(), editor->GetMarks(),
                                 editor->GetView(), editor->GetRuler(), editor->GetLeftbar(),
                                 editor->GetImagebar(), editor->GetSpeed()});
    const TSize client{60 + kColumns * 8, 20 + kRows * 19};
    QuietHost host(client);
    editor->SetHost(&host);
    editor->GetLines().SetTextStr(Text);
    Arrange(*editor);
    // The steady state: the rows' start states are computed before they are painted.
    ComputeStartStates(editor->ScreenStrings(), editor->EffectiveFountain(),
                       editor->ScreenStrings().GetCount() - 1);
    std::size_t lines = 0;
    editor->OnDrawLine = [&](TEditor& Sender, const std::string& LineStr, int X, int Y, int Index,
                             const TRect& ARect, bool Selected) {
        ++lines;
        Handler(Sender, LineStr, X, Y, Index, ARect, Selected);
    };
    CountingSurface canvas(client);
    for (auto _ : State) {
        editor->Paint(canvas, {0, 0, client.Width, client.Height});
    }
    State.counters["rows"] = static_cast<double>(lines) / static_cast<double>(State.iterations());
    State.counters["calls"] =
        static_cast<double>(canvas.Calls) / static_cast<double>(State.iterations());
}

void NoMarks(TEditor&, const std::string&, int, int, int, const TRect&, bool) {}

void BM_PaintFullScreen(benchmark::State& State) {
    PaintScreens(State, ScriptText(2 * kRows), NoMarks);
}
BENCHMARK(BM_PaintFullScreen)->Unit(benchmark::kMicrosecond);

// Script rows with strings and double-byte text inside and outside them, and the word "value" in
// each row.
std::string DoubleByteScriptText(int Lines) {
    const std::string wide = "\x95\xcf\x90\x94"; // two double-byte characters
    std::string text;
    for (int i = 0; i < Lines; ++i) {
        std::string line = "\t" + wide + std::to_string(i) + " = value" + std::to_string(i) +
                           " & \"" + wide + wide + " row " + std::to_string(i) +
                           "\" : MsgBox value\x81\x40& \"x\" ' " + wide + " checks the row";
        line.resize(kColumns - 3, '.');
        text += line + "\r\n";
    }
    return text;
}

// The same screen with and without the main window's marks (strings, double-byte characters and
// the hits of a search word shown in the results list).
void BM_PaintMarkedScreen(benchmark::State& State) {
    const bool marked = State.range(0) != 0;
    const TWordMatcher hits("VALUE", false);
    TLineMarkStates states;
    PaintScreens(State, DoubleByteScriptText(2 * kRows),
                 [&](TEditor& Sender, const std::string& LineStr, int X, int Y, int Index,
                     const TRect& ARect, bool Selected) {
                     if (marked) {
                         DrawLineMarks(Sender, LineStr, X, Y, Index, ARect, Selected,
                                       {.MarkScript = true, .Hits = &hits, .Problems = {}}, states);
                     }
                 });
}
BENCHMARK(BM_PaintMarkedScreen)->ArgName("marks")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The screens of a shape of text, arranged by Arrange, with and without the main window's script
// marks.
void PaintShapeScreens(benchmark::State& State, std::string_view Shape,
                       const std::function<void(TEditor&)>& Arrange) {
    const bool marked = State.range(0) != 0;
    TLineMarkStates states;
    PaintScreens(
        State, shapes::FindHostileShape(Shape)->Generate(),
        [&](TEditor& Sender, const std::string& LineStr, int X, int Y, int Index,
            const TRect& ARect, bool Selected) {
            if (marked) {
                DrawLineMarks(Sender, LineStr, X, Y, Index, ARect, Selected,
                              {.MarkScript = true, .Hits = nullptr, .Problems = {}}, states);
            }
        },
        Arrange);
}

// The last screen of a line of 4 MB with word wrap on: a row's marks must not cost a walk of every
// row before it in its line.
void BM_PaintLastScreenOfLongLine(benchmark::State& State) {
    PaintShapeScreens(State, "line-4mb", [](TEditor& Editor) {
        Editor.SetWordWrap(true);
        Editor.SetTopRow(Editor.ScreenStrings().GetCount() - kRows);
    });
}
BENCHMARK(BM_PaintLastScreenOfLongLine)
    ->ArgName("marks")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond);

// The end of a line of 20 MB with word wrap off: only the columns in view may be expanded and
// drawn, and the colours are read on from a point already passed.
void BM_PaintEndOfLongRow(benchmark::State& State) {
    PaintShapeScreens(State, "line-20mb",
                      [](TEditor& Editor) { Editor.SetTopCol(Editor.GetMaxCol()); });
}
BENCHMARK(BM_PaintEndOfLongRow)->ArgName("marks")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace kst
