#include "document/wrap_option.h"

#include <algorithm>

namespace kst {

TEditorWrapOption::TEditorWrapOption()
    : FFollowStr(kDefaultFollowStr), FLeadStr(kDefaultLeadStr),
      FPunctuationStr(kDefaultPunctuationStr) {}

template <class T, class V>
void TEditorWrapOption::Store(T& Field, const V& Value) {
    if (Field == Value) {
        return;
    }
    Field = Value;
    Changed();
}

void TEditorWrapOption::SetFollowRetMark(bool Value) {
    Store(FFollowRetMark, Value);
}

void TEditorWrapOption::SetFollowPunctuation(bool Value) {
    Store(FFollowPunctuation, Value);
}

void TEditorWrapOption::SetFollowStr(std::string_view Value) {
    Store(FFollowStr, Value);
}

void TEditorWrapOption::SetLeading(bool Value) {
    Store(FLeading, Value);
}

void TEditorWrapOption::SetLeadStr(std::string_view Value) {
    Store(FLeadStr, Value);
}

void TEditorWrapOption::SetPunctuationStr(std::string_view Value) {
    Store(FPunctuationStr, Value);
}

void TEditorWrapOption::SetWordBreak(bool Value) {
    Store(FWordBreak, Value);
}

void TEditorWrapOption::SetWrapByte(int Value) {
    Store(FWrapByte, std::clamp(Value, kMinWrapByte, kMaxWrapByte));
}

void TEditorWrapOption::Assign(const TPersistent& Source) {
    const auto* other = dynamic_cast<const TEditorWrapOption*>(&Source);
    if (other == nullptr) {
        AssignError(Source);
    }
    FFollowRetMark = other->FFollowRetMark;
    FFollowPunctuation = other->FFollowPunctuation;
    FFollowStr = other->FFollowStr;
    FLeading = other->FLeading;
    FLeadStr = other->FLeadStr;
    FPunctuationStr = other->FPunctuationStr;
    FWordBreak = other->FWordBreak;
    FWrapByte = other->FWrapByte;
    Changed();
}

std::vector<TPropInfo> TEditorWrapOption::PublishedProperties() {
    return {
        {"FollowRetMark", TPropertyKind::Boolean}, {"FollowPunctuation", TPropertyKind::Boolean},
        {"FollowStr", TPropertyKind::String},      {"Leading", TPropertyKind::Boolean},
        {"LeadStr", TPropertyKind::String},        {"PunctuationStr", TPropertyKind::String},
        {"WordBreak", TPropertyKind::Boolean},     {"WrapByte", TPropertyKind::Integer}};
}

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
