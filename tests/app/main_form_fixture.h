// A main window over a real editor, a fake desktop in a temporary program folder, and recording
// view and editor commands.
#pragma once

#include "app/main_form.h"
#include "app_test_support.h"
#include "input/editor.h"
#include "support/fake_desktop.h"
#include "support/memory_clipboard.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace kst {

class MainFormTest : public ::testing::Test {
protected:
    MainFormTest() { Editor->SetClipboard(&Clip); }

    TForm1& Create(std::vector<std::string> Parameters = {}) {
        Form = std::make_unique<TForm1>(Desk, View, *Editor, Commands, std::move(Parameters));
        Form->FormCreate();
        return *Form;
    }
    // A file in the program folder's "files" folder.
    std::string File(const std::string& Name, const std::string& Bytes = "x\r\n") {
        return Folder.WriteFile("files/" + Name, Bytes);
    }
    std::string Missing(const std::string& Name) { return Folder.Path("files/missing/" + Name); }
    std::string ProgramInQuotes() const { return "\"" + Folder.Path("Kestrane.exe") + "\""; }
    std::string Text() const { return Editor->GetLines().GetTextStr(); }
    // The captions after the File menu's last separator.
    std::vector<std::string> HistoryCaptions() const {
        return CaptionsAfter(*Form->Menus.mnuFile, *Form->Menus.mnuFileEndSP);
    }
    static std::vector<std::string> CaptionsAfter(const TMenuItem& Menu,
                                                  const TMenuItem& Separator) {
        std::vector<std::string> captions;
        bool after = false;
        for (const auto& item : Menu.Items) {
            if (after) {
                captions.push_back(item->Caption);
            }
            after = after || item.get() == &Separator;
        }
        return captions;
    }
    static std::vector<std::string> Captions(const TMenuItem& Menu) {
        std::vector<std::string> captions;
        for (const auto& item : Menu.Items) {
            captions.push_back(item->Caption);
        }
        return captions;
    }
    TMenuItem& LastItem(const TMenuItem& Menu) { return Menu[Menu.Count() - 1]; }

    TempProgramFolder Folder;
    FakeDesktop Desk{Folder.ProgramPath()};
    RecordingView View;
    RecordingCommands Commands;
    MemoryClipboard Clip;
    std::unique_ptr<TEditor> Editor = CreateComponent<TEditor>(nullptr);
    std::unique_ptr<TForm1> Form;
};

} // namespace kst
