#include "app/folder_search.h"
#include "temp_folder.h"

#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <semaphore>

namespace kst {
namespace {

using namespace std::string_literals;

// What the walk reports of each file: its hits as "name(line): text" (in the code page), or that it
// was left out as binary or failed.
std::vector<std::string> Walk(const std::filesystem::path& Root, TFolderSearchScope Scope,
                              const TWordMatcher& Matcher) {
    std::counting_semaphore<> woken(0);
    Scope.Folder = Root.string();
    TFolderSearch search(Scope, Matcher, [&woken] { woken.release(); });
    const std::size_t prefix = Scope.Folder.size() + 1;
    std::vector<std::string> seen;
    for (;;) {
        if (!woken.try_acquire_for(std::chrono::seconds(20))) {
            ADD_FAILURE() << "the walk went silent";
            return seen;
        }
        TFolderSearchNews news = search.Take(2);
        for (const TFolderHit& hit : news.Hits) {
            seen.push_back(hit.File->substr(prefix) + "(" + std::to_string(hit.Hit.Line) +
                           "): " + hit.Hit.Text);
        }
        for (const std::string& skipped : news.Skipped) {
            seen.push_back(skipped.substr(prefix) + ": binary");
        }
        for (const std::string& failed : news.Failed) {
            seen.push_back(failed.find("missing.vbs") != std::string::npos ? "missing.vbs: failed"
                                                                           : failed);
        }
        if (news.Finished) {
            return seen;
        }
        if (news.More) {
            woken.release();
        }
    }
}

// The walk takes the files by name pattern, searches subfolders after a folder's own files,
// reads each file as the editor opens it and numbers its lines as the editor does, and leaves
// out binary files and names unreadable ones without stopping.
TEST(FolderSearchTest, FilesAreReadAsTheEditorOpensThemAndBinaryOnesLeftOut) {
    const std::string kLongLine =
        "CreateObject " + std::string(kHitTextLimit - 14, 'x') + "\x82\xa0" + "tail";
    const struct {
        const char* Name;
        std::string Bytes;
    } kFiles[] = {
        // CR LF, lone CR and lone LF each end a line; a tab is shown as two spaces.
        {"a.vbs", "Set a = 1\r\n\tCreateObject(\"A\")\rx\ncreateobject\r\n"},
        // Not one of the patterns; the patterns ignore letter case.
        {"b.dat", "CreateObject"},
        {"C.VBS", "CreateObject at line 1"},
        // A NUL in the first 8 KB: binary. One later on is text.
        {"d.vbs", "CreateObject\0"s},
        {"e.txt", std::string(kBinaryProbeBytes, 'n') + "\0\r\nCreateObject"s},
        // UTF-8 and UTF-16 with their marks are decoded to the code page's bytes.
        {"f.wsf", "\xEF\xBB\xBFline\r\n\xE3\x81\x82 CreateObject"},
        {"g.vbs", "\xFF\xFE"
                  "C\0r\0e\0a\0t\0e\0O\0b\0j\0e\0c\0t\0 \0B\x30"s},
        // A long line is cut after the limit, at a character's end.
        {"h.vbs", kLongLine},
        {"sub/i.vbs", "\r\nCreateObject in a subfolder"},
        {"sub/deeper/j.vbs", "CreateObject deeper"},
    };
    const TempFolder root("kst_folder_search_");
    std::filesystem::create_directories(root.Path() / "sub" / "deeper");
    for (const auto& file : kFiles) {
        std::ofstream(root.Path() / file.Name, std::ios::binary) << file.Bytes;
    }
    std::error_code noLink;
    std::filesystem::create_symlink(root.Path() / "gone", root.Path() / "missing.vbs", noLink);

    const std::string sep(1, std::filesystem::path::preferred_separator);
    std::vector<std::string> expected = {
        "a.vbs(2):   CreateObject(\"A\")",
        "a.vbs(4): createobject",
        "C.VBS(1): CreateObject at line 1",
        "e.txt(2): CreateObject",
        "f.wsf(2): \x82\xa0 CreateObject",
        "g.vbs(1): CreateObject \x82\xa0",
        "h.vbs(1): " + kLongLine.substr(0, kHitTextLimit + 1),
    };
    const std::vector<std::string> subfolders = {
        "sub" + sep + "i.vbs(2): CreateObject in a subfolder",
        "sub" + sep + "deeper" + sep + "j.vbs(1): CreateObject deeper",
    };
    // The names of the files left out come last.
    std::vector<std::string> leftOut = {"d.vbs: binary"};
    if (!noLink) {
        leftOut.push_back("missing.vbs: failed");
    }
    const TWordMatcher matcher("createobject", false);

    std::vector<std::string> withoutSubfolders = expected;
    withoutSubfolders.insert(withoutSubfolders.end(), leftOut.begin(), leftOut.end());
    EXPECT_EQ(Walk(root.Path(), {.Subfolders = false}, matcher), withoutSubfolders);
    expected.insert(expected.end(), subfolders.begin(), subfolders.end());
    expected.insert(expected.end(), leftOut.begin(), leftOut.end());
    EXPECT_EQ(Walk(root.Path(), {}, matcher), expected);
}

} // namespace
} // namespace kst
