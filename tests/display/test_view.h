// A view whose caret and selection the test sets directly, standing in for the editor above: the
// display layer is tested, and linked, without the input layer.
#pragma once

#include "display/editor_view.h"

#include <algorithm>
#include <functional>
#include <string>

namespace kst {

class TTestView : public TEditorView {
public:
    TTestView(TCreateKey Key, TPersistent* Owner) : TEditorView(Key, Owner) {}
    ~TTestView() override { FDestroying = true; }

    int Row = 0;
    int Col = 0;
    std::uint8_t SelectionState = kSelectionNone;
    TSelectionRange Selection;
    bool Box = false;

    // What the view reported: the last change's update record among them.
    int Changes = 0;
    TUpdateInfo LastUpdate;
    int TopRowChanges = 0;
    int CaretMoves = 0;
    std::function<void(const std::string& LineStr, int X, int Y, int Index, const TRect& ARect,
                       bool Selected)>
        DrawLine;

    // Selects rows and columns as the editor would, normal or box.
    void Select(TSelectionRange Range, bool AsBox = false) {
        SelectionState = kSelectionSelected;
        Selection = Range;
        Box = AsBox;
    }

    int GetRow() const override { return Row; }
    int GetCol() const override { return Col; }
    void SetRow(int Value) override { SetRowCol(Value, Col); }
    void SetCol(int Value) override { SetRowCol(Row, Value); }
    void SetRowCol(int NewRow, int NewCol) override {
        Row = std::clamp(NewRow, 0, ScreenStrings().GetCount());
        Col = std::max(0, NewCol);
        RefreshCaret();
    }
    void SetCaretByOffset(int, int) override {}
    void CancelSelection() override { SelectionState = kSelectionNone; }
    std::uint8_t GetSelectionState() const override { return SelectionState; }
    const TSelectionRange& GetSelection() const override { return Selection; }
    bool GetBoxSelection() const override { return Box; }

protected:
    void DoChange() override {
        ++Changes;
        LastUpdate = ScreenStrings().GetUpdateInfo();
    }
    void DoTopRowChange() override { ++TopRowChanges; }
    void DoCaretMoved() override { ++CaretMoves; }
    void DoDrawLine(const std::string& LineStr, int X, int Y, int Index, const TRect& ARect,
                    bool Selected) override {
        if (DrawLine) {
            DrawLine(LineStr, X, Y, Index, ARect, Selected);
        }
    }
};

} // namespace kst
