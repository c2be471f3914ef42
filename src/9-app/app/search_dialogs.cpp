#include "app/search_dialogs.h"

#include "app/option_dialogs.h"
#include "tools/go_line.h"

namespace kst {

void TfrmFolderSearch::BrowseFolder() {
    TFolderDialog dialog(FDesktop);
    if (dialog.Execute()) {
        FScope.Folder = dialog.Directory();
    }
}

void TfrmGoLine::Accept() {
    FLineNumber = LineNumberFromText(FLineText);
}

} // namespace kst
