// The code pages a script can be read in, and which of them the text of this process takes: the
// system's ANSI code page (the one the script host reads scripts in) or the one the user chose.
#pragma once

#include <array>
#include <string_view>

namespace kst {

class Desktop;

struct TCodePageChoice {
    int Number;
    std::string_view Caption;
};

// The option "文字コード": 0 is 自動, the system's code page.
inline constexpr int kAutomaticCodePage = 0;

inline constexpr std::array<TCodePageChoice, 15> kCodePageChoices = {{
    {kAutomaticCodePage, "自動"},
    {932, "932 日本語"},
    {936, "936 中国語 (簡体字)"},
    {949, "949 韓国語"},
    {950, "950 中国語 (繁体字)"},
    {874, "874 タイ語"},
    {1250, "1250 中央ヨーロッパ言語"},
    {1251, "1251 キリル言語"},
    {1252, "1252 西ヨーロッパ言語"},
    {1253, "1253 ギリシャ語"},
    {1254, "1254 トルコ語"},
    {1255, "1255 ヘブライ語"},
    {1256, "1256 アラビア語"},
    {1257, "1257 バルト言語"},
    {1258, "1258 ベトナム語"},
}};

// The code page a text is read in with the option Setting on a system whose ANSI code page is
// System: the chosen one, or for 自動 the system's; 1252 when that is none of the choices (a
// system set to UTF-8, say).
int TextCodePageNumber(int Setting, int System);

// Makes code page Number the text's: 932 and 1252 by the built-in tables, the others by the
// system's (1252 when the system lacks them).
void UseCodePageNumber(Desktop& Desk, int Number);

} // namespace kst
