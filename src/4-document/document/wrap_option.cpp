#include "document/wrap_option.h"

namespace kst {

void ApplyMainWindowWrapOptions(TEditorWrapOption& Options) {
    Options.BeginUpdate();
    Options.SetFollowRetMark(false);
    Options.SetFollowPunctuation(false);
    Options.SetFollowStr(kDefaultFollowStr);
    Options.SetLeading(false);
    Options.SetLeadStr(kDefaultLeadStr);
    Options.SetPunctuationStr(kDefaultPunctuationStr);
    Options.SetWordBreak(false);
    Options.SetWrapByte(250);
    Options.EndUpdate();
}

} // namespace kst
