// A recording stand-in for TEditor on the row store's side: it holds a caret and a top row, and
// records what the row store and Lines ask of it.
#pragma once

#include "document/editor_link.h"
#include "document/screen_strings.h"
#include "fountain/editor_fountain.h"

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace kst {

class FakeEditor : public TEditorLink {
public:
    explicit FakeEditor(
        std::shared_ptr<TEditorScreenStrings> Store = std::make_shared<TEditorScreenStrings>())
        : Store(std::move(Store)) {
        this->Store->AddEditor(this);
    }
    ~FakeEditor() override { Store->RemoveEditor(this); }
    FakeEditor(const FakeEditor&) = delete;
    FakeEditor& operator=(const FakeEditor&) = delete;

    TEditorScreenStrings& ScreenStrings() override { return *Store; }

    int GetRow() const override { return Row; }
    int GetCol() const override { return Col; }
    void SetRow(int Value) override { Row = Value; }
    void SetRowCol(int NewRow, int NewCol) override {
        Row = NewRow;
        Col = NewCol;
    }
    // Walks the rows as the editor does, with one column per byte.
    void SetCaretByOffset(int StartRow, int Offset) override {
        const TEditorScreenStrings& rows = *Store;
        for (int i = StartRow; i < rows.GetCount(); ++i) {
            const int length = static_cast<int>(rows.GetView(i).size());
            const TRowAttribute attribute = rows.GetRowAttribute(i);
            const int span = length + (attribute == raLineBreak   ? 2
                                       : attribute == raEndOfText ? 1
                                                                  : 0);
            if (Offset < span || attribute == raEndOfText) {
                SetRowCol(i, std::min(Offset, length));
                return;
            }
            Offset -= span;
        }
        SetRowCol(rows.GetCount(), 0);
    }
    void BeginCaretHide() override {
        ++CaretHides;
        MaxCaretHides = std::max(MaxCaretHides, CaretHides);
    }
    void EndCaretHide() override { --CaretHides; }
    void CancelSelection() override { ++SelectionCancels; }
    bool Focused() const override { return HasFocus; }

    int TabSpaceCount() const override { return Tabs; }
    const TCharSet& Delimiters() const override { return DelimiterSet; }

    int GetTopRow() const override { return TopRow; }
    void SetTopRow(int Value) override { TopRow = Value; }
    int ScreenRows() const override { return Screen; }
    bool InitBracketsFull() const override { return BracketsFull; }
    TFountain& EffectiveFountain() const override { return *Fountain; }

    void LinesChanged() override {
        if (FailNextChange) {
            FailNextChange = false;
            throw std::runtime_error("repaint failed");
        }
        Changes.push_back(Store->GetUpdateInfo());
        if (Store->GetUpdateInfo().UpdatePending) {
            Modified = true;
        }
    }
    void InvalidateRow(int Value) override { InvalidatedRows.push_back(Value); }
    void Relayout() override { ++Relayouts; }

    void BeginLinesUpdate() override { ++LinesUpdates; }
    void EndLinesUpdate() override { --LinesUpdates; }

    bool IsLoading() const override { return Loading; }
    bool IsDestroying() const override { return Destroying; }

    std::shared_ptr<TEditorScreenStrings> Store;
    std::unique_ptr<TEditorFountain> Fountain = CreateComponent<TEditorFountain>(nullptr);
    int Row = 0;
    int Col = 0;
    int TopRow = 0;
    int Screen = 10;
    int Tabs = 8;
    TCharSet DelimiterSet = DefaultDelimiters();
    bool HasFocus = false;
    bool BracketsFull = false;
    bool Loading = false;
    bool Destroying = false;
    bool FailNextChange = false; // the next change notification raises

    int CaretHides = 0;
    int MaxCaretHides = 0;
    int SelectionCancels = 0;
    int LinesUpdates = 0;
    int Relayouts = 0;
    bool Modified = false;
    std::vector<TUpdateInfo> Changes; // UpdateInfo as each change notification saw it
    std::vector<int> InvalidatedRows;
};

} // namespace kst
