#include "app/search_dialogs.h"

#include "tools/go_line.h"

namespace kst {

void TfrmGoLine::Accept() {
    FLineNumber = LineNumberFromText(FLineText);
}

} // namespace kst
