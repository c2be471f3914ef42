// The word-wrap rules: the wrap column and the Japanese line-breaking rules (characters that may
// not begin or end a row, punctuation that may hang past the wrap column).
#pragma once

#include "core/notify.h"

#include <string>
#include <string_view>
#include <vector>

namespace kst {

// Characters that may not begin a row (CP932):
// 、。，．・？！゛゜ヽヾゝゞ々ー）］｝」』!),.:;?]}｡｣､･ｰﾞﾟ
inline constexpr std::string_view kDefaultFollowStr =
    "\x81\x41\x81\x42\x81\x43\x81\x44\x81\x45\x81\x48\x81\x49\x81\x4A\x81\x4B\x81\x52"
    "\x81\x53\x81\x54\x81\x55\x81\x58\x81\x5B\x81\x6A\x81\x6E\x81\x70\x81\x76\x81\x78"
    "\x21\x29\x2C\x2E\x3A\x3B\x3F\x5D\x7D\xA1\xA3\xA4\xA5\xB0\xDE\xDF";

// Characters that may not end a row (CP932): （［｛「『([{｢
inline constexpr std::string_view kDefaultLeadStr =
    "\x81\x69\x81\x6D\x81\x6F\x81\x75\x81\x77\x28\x5B\x7B\xA2";

// Punctuation that may hang past the wrap column (CP932): 、。，．,.｡､
inline constexpr std::string_view kDefaultPunctuationStr =
    "\x81\x41\x81\x42\x81\x43\x81\x44\x2C\x2E\xA1\xA4";

inline constexpr int kMinWrapByte = 20;
inline constexpr int kMaxWrapByte = 250;

class TEditorWrapOption : public TNotifyPersistent {
public:
    TEditorWrapOption();

    const char* ClassName() const override { return "TEditorWrapOption"; }

    // Copies all eight properties of another TEditorWrapOption and reports one change.
    void Assign(const TPersistent& Source) override;
    std::vector<TPropInfo> PublishedProperties() override;

    bool GetFollowRetMark() const { return FFollowRetMark; }
    void SetFollowRetMark(bool Value);
    bool GetFollowPunctuation() const { return FFollowPunctuation; }
    void SetFollowPunctuation(bool Value);
    const std::string& GetFollowStr() const { return FFollowStr; }
    void SetFollowStr(std::string_view Value);
    bool GetLeading() const { return FLeading; }
    void SetLeading(bool Value);
    const std::string& GetLeadStr() const { return FLeadStr; }
    void SetLeadStr(std::string_view Value);
    const std::string& GetPunctuationStr() const { return FPunctuationStr; }
    void SetPunctuationStr(std::string_view Value);
    bool GetWordBreak() const { return FWordBreak; }
    void SetWordBreak(bool Value);
    int GetWrapByte() const { return FWrapByte; }
    // Clamps to kMinWrapByte..kMaxWrapByte.
    void SetWrapByte(int Value);

private:
    template <class T, class V>
    void Store(T& Field, const V& Value);

    bool FFollowRetMark = false;
    bool FFollowPunctuation = false;
    std::string FFollowStr;
    bool FLeading = false;
    std::string FLeadStr;
    std::string FPunctuationStr;
    bool FWordBreak = false;
    int FWrapByte = 80;
};

// The values the main window gives its editor: wrap column 250, no line-breaking rules, the default
// character lists. Reports one change.
void ApplyMainWindowWrapOptions(TEditorWrapOption& Options);

} // namespace kst
