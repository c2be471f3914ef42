// What holds for a TEditor after every key, character or mouse action, whatever the text.
#pragma once

#include "input/editor.h"

#include <string>

namespace kst {

// Empty when the caret stands on a legal place: on a row of the text or on the empty line after
// a final line break, not inside a double-byte character or a tab, and, unless the caret is
// free (FreeCaret or FreeRow), neither past its row's end nor at the end of a row that word wrap
// continues. Otherwise what is wrong.
std::string CaretProblem(const TEditor& Editor);

} // namespace kst
