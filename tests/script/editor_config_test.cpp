#include "script/editor_config.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace kst {
namespace {

TEST(EditorConfig, GlobsMatchAsTheFormatDefinesThem) {
    struct TCase {
        std::string_view Glob;
        std::string_view Path;
        bool Matches;
    };
    const std::vector<TCase> cases = {
        {"*", "a.vbs", true},
        {"*.vbs", "lib/deep/a.vbs", true},
        {"*.vbs", "a.vbs.bak", false},
        {"*.VBS", "a.vbs", false},
        {"lib/*.vbs", "lib/a.vbs", true},
        {"lib/*.vbs", "lib/sub/a.vbs", false},
        {"/lib/*.vbs", "lib/a.vbs", true},
        {"lib/*.vbs", "src/lib/a.vbs", false},
        {"lib/**.vbs", "lib/sub/a.vbs", true},
        {"**/a.vbs", "a.vbs", true},
        {"lib/**/a.vbs", "lib/a.vbs", true},
        {"lib/**/a.vbs", "lib/x/y/a.vbs", true},
        {"?.vbs", "a.vbs", true},
        {"?.vbs", "ab.vbs", false},
        {"a?b", "a/b", false},
        {"[ab].vbs", "b.vbs", true},
        {"[a-c].vbs", "c.vbs", true},
        {"[!a-c].vbs", "c.vbs", false},
        {"[!a-c].vbs", "d.vbs", true},
        {"[sd].vbs", "s.vbs", true},
        {"[sd].vbs", " .vbs", false},
        {"*.{vbs,wsf}", "a.wsf", true},
        {"*.{vbs,wsf}", "a.js", false},
        {"{lib/*.vbs,*.wsf}", "lib/a.vbs", true},
        {"{a,{b,c}d}.vbs", "cd.vbs", true},
        {"{single}.vbs", "{single}.vbs", true},
        {"{single}.vbs", "single.vbs", false},
        {"a{.vbs", "a{.vbs", true},
        {"file{1..12}.vbs", "file7.vbs", true},
        {"file{1..12}.vbs", "file13.vbs", false},
        {"file{-3..3}.vbs", "file-2.vbs", true},
        {"file{12..1}.vbs", "file12.vbs", true},
        {"{a,file{1..3}}.vbs", "a.vbs", true},
        {"\\*.vbs", "*.vbs", true},
        {"\\*.vbs", "a.vbs", false},
        {"a.vbs", "a.vbsx", false},
        {"(a|b).vbs", "a.vbs", false},
        {"[", "[", true},
    };
    for (const TCase& test : cases) {
        EXPECT_EQ(EditorConfigGlobMatches(test.Glob, test.Path), test.Matches)
            << test.Glob << " " << test.Path;
    }
}

TEST(EditorConfig, TheNearestFileAndTheLastSectionDecide) {
    using TFiles = std::map<std::string, std::string>;
    struct TCase {
        const char* Name;
        TFiles Files;
        TEditorConfigIndent Indent;
    };
    const std::vector<TCase> cases = {
        {"none", {}, {}},
        {"tabs for scripts",
         {{"/p/.editorconfig", "[*.vbs]\nindent_style = tab\ntab_width = 8"}},
         {true, std::nullopt, 8}},
        {"a later section and a nearer file win",
         {{"/.editorconfig", "[*]\nindent_style = tab\nindent_size = 3"},
          {"/p/.editorconfig", "; c\n[*]\nindent_style = tab\n[*.vbs]\nINDENT_STYLE = Space\n"
                               "indent_size = 2\n# c\n[*.txt]\nindent_size = 8"}},
         {false, 2, 2}},
        {"root stops the search",
         {{"/.editorconfig", "[*]\nindent_size = 3"},
          {"/p/.editorconfig", "root = true\n[*]\nindent_style = space"}},
         {false, std::nullopt, std::nullopt}},
        {"paths relative to the file's folder",
         {{"/.editorconfig", "[p/s/*.vbs]\nindent_style = space\n[s/*.vbs]\nindent_size = 5"}},
         {false, std::nullopt, std::nullopt}},
        {"indent_size = tab is the tab width",
         {{"/p/s/.editorconfig", "[*]\r\nindent_size = tab\r\ntab_width = 6\r\n"}},
         {std::nullopt, 6, 6}},
        {"unset, bad values and odd lines",
         {{"/.editorconfig", "[*]\nindent_style = space"},
          {"/p/.editorconfig", "junk\n[*]\nindent_style = unset\nindent_size = 99\n=\n"}},
         {std::nullopt, std::nullopt, std::nullopt}},
    };
    for (const TCase& test : cases) {
        const auto read = [&](const std::string& Path) -> std::optional<std::string> {
            const auto file = test.Files.find(Path.substr(Path.find('/')));
            return file == test.Files.end() ? std::nullopt : std::optional(file->second);
        };
        EXPECT_EQ(EditorConfigIndentFor("/p/s/a.vbs", read), test.Indent) << test.Name;
    }
}

TEST(EditorConfig, SpeaksBeforeTheUsersChoice) {
    struct TCase {
        TEditorConfigIndent Config;
        std::optional<TIndentUnit> Chosen;
        TIndentStyle Style;
    };
    const std::vector<TCase> cases = {
        {{}, std::nullopt, {std::nullopt, 4}},
        {{}, TIndentUnit{2}, {TIndentUnit{2}, 4}},
        {{true, 2, 8}, TIndentUnit{2}, {TIndentUnit{}, 8}},
        {{false, 3, 3}, std::nullopt, {TIndentUnit{3}, 3}},
        {{false, std::nullopt, 8}, TIndentUnit{}, {TIndentUnit{8}, 8}},
        {{std::nullopt, 2, 2}, std::nullopt, {std::nullopt, 2}},
    };
    for (const TCase& test : cases) {
        const TIndentStyle style = IndentStyleOf(test.Config, test.Chosen, 4);
        EXPECT_EQ(style.Unit, test.Style.Unit) << test.Config.TabWidth.value_or(0);
        EXPECT_EQ(style.TabWidth, test.Style.TabWidth) << test.Config.TabWidth.value_or(0);
    }
}

} // namespace
} // namespace kst
