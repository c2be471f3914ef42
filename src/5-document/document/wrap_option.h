// The word-wrap rules: the wrap column and the Japanese line-breaking rules (characters that may
// not begin or end a row, punctuation that may hang past the wrap column).
#pragma once

#include "core/notify.h"
#include "core/settings_table.h"

#include <algorithm>
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

constexpr int ClampWrapByte(int Value) {
    return std::clamp(Value, kMinWrapByte, kMaxWrapByte);
}

#define KST_WRAP_OPTION_SETTINGS(VALUE, PART)                                                      \
    VALUE(bool, FollowRetMark, false, AsGiven)                                                     \
    VALUE(bool, FollowPunctuation, false, AsGiven)                                                 \
    VALUE(std::string, FollowStr, kDefaultFollowStr, AsGiven)                                      \
    VALUE(bool, Leading, false, AsGiven)                                                           \
    VALUE(std::string, LeadStr, kDefaultLeadStr, AsGiven)                                          \
    VALUE(std::string, PunctuationStr, kDefaultPunctuationStr, AsGiven)                            \
    VALUE(bool, WordBreak, false, AsGiven)                                                         \
    VALUE(int, WrapByte, 80, ClampWrapByte)

class TEditorWrapOption : public TNotifyPersistent {
    KST_SETTINGS(TEditorWrapOption, KST_WRAP_OPTION_SETTINGS)
};
#undef KST_WRAP_OPTION_SETTINGS

} // namespace kst
