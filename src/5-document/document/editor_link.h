// What the row store and the Lines facade ask of the editors that show a text. TEditor implements
// it; the row store talks to every attached editor only through it.
#pragma once

#include "core/code_page.h"
#include "core/strings.h"

#include <cstdint>
#include <exception>
#include <utility>

namespace kst {

class TEditorScreenStrings;
class TFountain;

// The last edit of the row store, read by the editors when they repaint.
struct TUpdateInfo {
    std::int32_t UpdateStartRow = 0;
    std::int32_t UpdateOldRows = 0;    // rows replaced
    std::int32_t UpdateNewRows = 0;    // rows put in their place
    std::int32_t UpdateParsedRows = 0; // rows after the start whose start state changed
    bool UpdatePending = false;        // a change was recorded (the text is modified)

    bool operator==(const TUpdateInfo&) const = default;
};

class TEditorLink {
public:
    virtual ~TEditorLink() = default;

    // The row store the editor shows; an editor can be re-pointed at another one.
    virtual TEditorScreenStrings& ScreenStrings() = 0;

    // Caret, as a row and a display column.
    virtual int GetRow() const = 0;
    virtual int GetCol() const = 0;
    virtual void SetRow(int Row) = 0;
    virtual void SetRowCol(int Row, int Col) = 0;
    // Puts the caret Offset bytes after the start of Row in the text as it now stands, counting a
    // raLineBreak row's text plus 2 and a raEndOfText row's text plus 1.
    virtual void SetCaretByOffset(int Row, int Offset) = 0;
    // Counted brackets around a change; when the last one closes, the caret is placed again.
    virtual void BeginCaretHide() = 0;
    virtual void EndCaretHide() = 0;
    virtual void CancelSelection() = 0;
    virtual bool Focused() const = 0;

    // Wrapping.
    virtual int TabSpaceCount() const = 0;
    virtual const TCharSet& Delimiters() const = 0;

    // The rows shown: the first one, and how many fit on the screen (at least 1).
    virtual int GetTopRow() const = 0;
    virtual void SetTopRow(int Row) = 0;
    virtual int ScreenRows() const = 0;
    // Compute every row's start state on a full reset rather than the first two screens.
    virtual bool InitBracketsFull() const = 0;
    // The fountain the editor colours its text with.
    virtual TFountain& EffectiveFountain() const = 0;

    // The store signals a change (at the end of its outermost update): repaint from its
    // UpdateInfo, and when a change was recorded set Modified and raise OnChange.
    virtual void LinesChanged() = 0;
    // Row's start state changed: repaint it.
    virtual void InvalidateRow(int Row) = 0;
    // Recompute metrics and scroll ranges, and repaint everything.
    virtual void Relayout() = 0;

    // The Lines update bracket, editor side: hide the caret and the caret-row underline, set the
    // updating flag and stop redrawing; and the reverse, with scroll bars and caret recomputed.
    virtual void BeginLinesUpdate() = 0;
    virtual void EndLinesUpdate() = 0;

    virtual bool IsLoading() const = 0;
    virtual bool IsDestroying() const = 0;
};

// Runs an end action once: by Run, or when the scope is left. If the scope is left by an
// exception, an exception from the end action is dropped so that the first one reaches the caller.
template <class F>
class [[nodiscard]] ScopeEnd {
public:
    explicit ScopeEnd(F End) : FEnd(std::move(End)), FExceptions(std::uncaught_exceptions()) {}
    ScopeEnd(const ScopeEnd&) = delete;
    ScopeEnd& operator=(const ScopeEnd&) = delete;
    ~ScopeEnd() noexcept(false) {
        if (FDone) {
            return;
        }
        if (std::uncaught_exceptions() == FExceptions) {
            Run();
            return;
        }
        try {
            Run();
        } catch (...) {
        }
    }

    void Run() {
        if (!FDone) {
            FDone = true;
            FEnd();
        }
    }

private:
    F FEnd;
    int FExceptions;
    bool FDone = false;
};

// A caret hide on Editor (none when null) for the scope.
inline auto ScopedCaretHide(TEditorLink* Editor) {
    if (Editor != nullptr) {
        Editor->BeginCaretHide();
    }
    return ScopeEnd([Editor] {
        if (Editor != nullptr) {
            Editor->EndCaretHide();
        }
    });
}

// A BeginUpdate/EndUpdate bracket on List for the scope.
inline auto ScopedUpdate(TStrings& List) {
    List.BeginUpdate();
    return ScopeEnd([&List] { List.EndUpdate(); });
}

} // namespace kst
