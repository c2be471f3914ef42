#include "app/main_window_editor.h"
#include "core/settings_notify.h"
#include "core/string_list_sorted.h"

#include <array>

namespace kst {

namespace {

constexpr std::array<std::string_view, 41> kScriptReservedWords = {
    "and",    "call",   "case",     "const",  "CreateObject", "dim",   "do",   "each",     "else",
    "elseif", "end",    "error",    "exit",   "explicit",     "false", "for",  "function", "goto",
    "if",     "in",     "inputbox", "loop",   "msgbox",       "next",  "not",  "on",       "option",
    "or",     "public", "redim",    "resume", "select",       "set",   "step", "sub",      "then",
    "to",     "true",   "until",    "while",  "with"};

constexpr std::string_view kScriptCommenter = "'";

void SetColorTriple(TFountainColor& Color, TColor BkColor, TColor Foreground, TFontStyles Style) {
    Color.SetBkColor(BkColor);
    Color.SetColor(Foreground);
    Color.SetStyle(Style);
}

// Runs Change with the fountain's broadcast held, so the subscribers hear of it once.
template <class F>
void ChangeTogether(TEditorFountain& Fountain, F&& Change) {
    ChangeInOneUpdate(Fountain.GetNotifyEventList(), Change);
}

void SetScriptHighlighting(TEditorFountain& Fountain, std::string_view Commenter,
                           TColor ReserveColor, TFontStyles ReserveStyle) {
    ChangeTogether(Fountain, [&] {
        Fountain.SetCommenter(std::string(Commenter));
        Fountain.GetReserve().SetColor(ReserveColor);
        Fountain.GetReserve().SetStyle(ReserveStyle);
    });
}

void ApplyPlainTextColouring(TEditorFountain& Fountain, TColor FontColor) {
    SetScriptHighlighting(Fountain, "", FontColor, {});
}

} // namespace

void ApplyMainWindowColouring(TEditorFountain& Fountain) {
    ChangeTogether(Fountain, [&Fountain] {
        Fountain.GetBrackets().Clear();
        Fountain.SetCommenter(std::string(kScriptCommenter));
        Fountain.SetControlCode(false);
        Fountain.SetHexPrefix("");
        Fountain.SetMail(false);
        Fountain.SetQuotation("");
        Fountain.SetUrl(false);

        TEditorColors& colors = Fountain.GetColors();
        for (TFountainColor* plain :
             {&colors.GetAnk(), &colors.GetDBCS(), &colors.GetHit(), &colors.GetInt(),
              &colors.GetMail(), &colors.GetStr(), &colors.GetSymbol(), &colors.GetUrl()}) {
            SetColorTriple(*plain, clNone, clNone, {});
        }
        SetColorTriple(colors.GetComment(), clNone, clFuchsia, {});
        SetColorTriple(colors.GetReserve(), clNone, clTeal, {fsBold});
        SetColorTriple(colors.GetSelect(), clNavy, clWhite, {});

        TStringList words;
        for (std::string_view word : kScriptReservedWords) {
            words.Add(word);
        }
        Fountain.SetReserveWordList(words);
    });
}

bool IsScriptFileName(std::string_view FileName) {
    const std::size_t nameStart = FileName.find_last_of("\\/:") + 1;
    const std::size_t dot = FileName.rfind('.');
    if (dot == std::string_view::npos || dot < nameStart) {
        return false;
    }
    return CompareIgnoringCase(FileName.substr(dot), ".vbs") == 0;
}

void ApplyOpenedFileColouring(TEditorFountain& Fountain, std::string_view FileName,
                              TColor FontColor) {
    if (!IsScriptFileName(FileName)) {
        ApplyPlainTextColouring(Fountain, FontColor);
    }
}

void ApplySavedAsFileColouring(TEditorFountain& Fountain, std::string_view FileName,
                               TColor FontColor) {
    if (IsScriptFileName(FileName)) {
        SetScriptHighlighting(Fountain, kScriptCommenter, clGreen, {fsBold});
    } else {
        ApplyPlainTextColouring(Fountain, FontColor);
    }
}

} // namespace kst
