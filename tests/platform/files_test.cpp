#include "core/errors.h"
#include "platform/files.h"
#include "support/temp_folder.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <stdexcept>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace kst {
namespace {

std::string Utf8(const fs::path& Path) {
    const std::u8string Text = Path.u8string();
    return std::string(Text.begin(), Text.end());
}

// Every byte value, with NUL, Ctrl-Z, CR and LF among them, and a CP932 double-byte pair.
std::string AwkwardBytes() {
    std::string Text(std::string_view("a\0b\x1A\r\r\n\n\x82\xA0", 10));
    for (int Value = 0; Value < 256; ++Value) {
        Text += static_cast<char>(Value);
    }
    return Text;
}

class FilesTest : public ::testing::Test {
protected:
    fs::path Folder() const { return FFolder.Path(); }
    std::string PathOf(const fs::path& Name) const { return Utf8(FFolder.Path() / Name); }

    std::set<std::string> FolderContent() const {
        std::set<std::string> Names;
        for (const auto& Entry : fs::directory_iterator(FFolder.Path())) {
            Names.insert(Utf8(Entry.path().filename()));
        }
        return Names;
    }

    void WriteWithStream(const fs::path& Name, const std::string& Content) const {
        std::ofstream Out(FFolder.Path() / Name, std::ios::binary);
        Out.write(Content.data(), static_cast<std::streamsize>(Content.size()));
        ASSERT_TRUE(Out.good());
    }

    std::string ReadWithStream(const fs::path& Name) const {
        std::ifstream In(FFolder.Path() / Name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
    }

    std::string ReadWithEngine(const fs::path& Name) const {
        const FileBytes File = ReadWholeFile(PathOf(Name));
        return std::string(File.Data.get(), static_cast<std::size_t>(File.Size));
    }

private:
    TempFolder FFolder{"kst_files_test_"};
};

std::string ExceptionMessage(const std::function<void()>& Action) {
    try {
        Action();
    } catch (const EFileError& Error) {
        return Error.what();
    }
    ADD_FAILURE() << "no EFileError";
    return {};
}

TEST_F(FilesTest, ReadingReturnsEveryByteOfTheFile) {
    WriteWithStream("awkward.bin", AwkwardBytes());
    EXPECT_EQ(ReadWithEngine("awkward.bin"), AwkwardBytes());

    WriteWithStream("empty.txt", "");
    const FileBytes Empty = ReadWholeFile(PathOf("empty.txt"));
    EXPECT_EQ(Empty.Size, 0u);

    const std::string Large(3 * 1024 * 1024 + 7, '\x1A');
    WriteWithStream("large.bin", Large);
    EXPECT_EQ(ReadWithEngine("large.bin"), Large);
}

TEST_F(FilesTest, WritingStoresEveryPieceInOrderWhateverItsSize) {
    const std::string Big(600 * 1024, '\x82');
    std::string Expected;
    WriteFileSafely(PathOf("out.bin"), [&](const ChunkSink& Sink) {
        for (int Piece = 0; Piece < 5000; ++Piece) {
            const std::string Small = AwkwardBytes().substr(static_cast<std::size_t>(Piece % 260));
            Sink(Small);
            Expected += Small;
            if (Piece % 1000 == 0) {
                Sink(Big);
                Expected += Big;
            }
        }
        Sink({});
    });
    EXPECT_EQ(ReadWithStream("out.bin"), Expected);
    EXPECT_EQ(ReadWithEngine("out.bin"), Expected);

    WriteFileSafely(PathOf("empty.txt"), [](const ChunkSink&) {});
    EXPECT_TRUE(fs::exists(Folder() / "empty.txt"));
    EXPECT_EQ(fs::file_size(Folder() / "empty.txt"), 0u);
    EXPECT_EQ(FolderContent(), (std::set<std::string>{"out.bin", "empty.txt"}));
}

TEST_F(FilesTest, WritingReplacesAnExistingFileAndLeavesNoTemporaryFile) {
    WriteWithStream("target.txt", "old content that is longer than the new one");
    WriteFileSafely(PathOf("target.txt"), [](const ChunkSink& Sink) { Sink("new\r\n"); });
    EXPECT_EQ(ReadWithStream("target.txt"), "new\r\n");
    EXPECT_EQ(FolderContent(), std::set<std::string>{"target.txt"});
}

TEST_F(FilesTest, AFailingProducerLeavesTheOriginalUntouched) {
    const std::string Original = AwkwardBytes();
    WriteWithStream("target.txt", Original);
    const auto FailHalfway = [](const ChunkSink& Sink) {
        Sink(std::string(1024 * 1024, 'x'));
        Sink("partial");
        throw std::runtime_error("producer failed");
    };
    EXPECT_THROW(WriteFileSafely(PathOf("target.txt"), FailHalfway), std::runtime_error);
    EXPECT_EQ(ReadWithStream("target.txt"), Original);
    EXPECT_EQ(FolderContent(), std::set<std::string>{"target.txt"});

    EXPECT_THROW(WriteFileSafely(PathOf("new.txt"), FailHalfway), std::runtime_error);
    EXPECT_EQ(FolderContent(), std::set<std::string>{"target.txt"});
}

TEST_F(FilesTest, FailuresRaiseFileErrorsThatNameTheFile) {
    const std::string Missing = PathOf("missing.txt");
    const std::string ReadMessage = ExceptionMessage([&] { ReadWholeFile(Missing); });
    EXPECT_NE(ReadMessage.find("\"" + Missing + "\""), std::string::npos) << ReadMessage;

    const std::string InMissingFolder = PathOf(fs::path("no such folder") / "out.txt");
    const std::string WriteMessage = ExceptionMessage(
        [&] { WriteFileSafely(InMissingFolder, [](const ChunkSink& Sink) { Sink("text"); }); });
    EXPECT_NE(WriteMessage.find(InMissingFolder), std::string::npos) << WriteMessage;
    EXPECT_TRUE(FolderContent().empty());

    fs::create_directory(Folder() / "folder");
    EXPECT_THROW(ReadWholeFile(PathOf("folder")), EFileError);
}

TEST_F(FilesTest, FilesOf4GiBOrMoreAreRefusedBeforeAnythingIsRead) {
    WriteWithStream("huge.bin", "");
    fs::resize_file(Folder() / "huge.bin", std::uintmax_t{1} << 32);
    const std::string Message = ExceptionMessage([&] { ReadWholeFile(PathOf("huge.bin")); });
    EXPECT_NE(Message.find("huge.bin"), std::string::npos) << Message;
}

TEST_F(FilesTest, FileNamesAreUtf8) {
    const fs::path Name(u8"テスト 表.vbs");
    WriteFileSafely(PathOf(Name), [](const ChunkSink& Sink) { Sink("MsgBox 1\r\n"); });
    EXPECT_TRUE(fs::exists(Folder() / Name));
    EXPECT_EQ(ReadWithEngine(Name), "MsgBox 1\r\n");
    EXPECT_EQ(FolderContent(), std::set<std::string>{Utf8(Name)});
}

TEST_F(FilesTest, AReadOnlyFileIsNotReplaced) {
    WriteWithStream("target.txt", "kept");
    fs::permissions(Folder() / "target.txt", fs::perms::owner_read);
    const std::string Message = ExceptionMessage([&] {
        WriteFileSafely(PathOf("target.txt"), [](const ChunkSink& Sink) { Sink("lost"); });
    });
    EXPECT_NE(Message.find("target.txt"), std::string::npos) << Message;
    EXPECT_EQ(ReadWithStream("target.txt"), "kept");
    EXPECT_EQ(FolderContent(), std::set<std::string>{"target.txt"});
}

std::string ReadAll(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

#ifdef _WIN32
// This program's FlushFileBuffers, ReplaceFileW and MoveFileExW stand in for the system's (the
// calls go through the import pointers defined below): each notes the file it was given and what
// the target held at that moment, then calls the system's.
struct FileCall {
    std::string What;
    fs::path File;
    std::string TargetContent;
};
std::vector<FileCall> gFileCalls;
std::string gWatchedTarget;

void NoteFileCall(const char* What, const fs::path& File) {
    if (!gWatchedTarget.empty()) {
        gFileCalls.push_back({What, File, ReadAll(gWatchedTarget)});
    }
}

template <class F>
F SystemFunction(const char* Name) {
    return reinterpret_cast<F>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), Name)));
}

BOOL WINAPI NotedFlushFileBuffers(HANDLE File) {
    wchar_t path[MAX_PATH] = {};
    GetFinalPathNameByHandleW(File, path, MAX_PATH, 0);
    NoteFileCall("flush", path);
    return SystemFunction<decltype(&FlushFileBuffers)>("FlushFileBuffers")(File);
}

BOOL WINAPI NotedReplaceFileW(LPCWSTR Replaced, LPCWSTR Replacement, LPCWSTR Backup, DWORD Flags,
                              LPVOID Exclude, LPVOID Reserved) {
    NoteFileCall("replace", Replacement);
    return SystemFunction<decltype(&ReplaceFileW)>("ReplaceFileW")(Replaced, Replacement, Backup,
                                                                   Flags, Exclude, Reserved);
}

BOOL WINAPI NotedMoveFileExW(LPCWSTR From, LPCWSTR To, DWORD Flags) {
    NoteFileCall("move", From);
    return SystemFunction<decltype(&MoveFileExW)>("MoveFileExW")(From, To, Flags);
}

} // namespace
} // namespace kst

extern "C" {
decltype(&FlushFileBuffers) __imp_FlushFileBuffers = kst::NotedFlushFileBuffers;
decltype(&ReplaceFileW) __imp_ReplaceFileW = kst::NotedReplaceFileW;
decltype(&MoveFileExW) __imp_MoveFileExW = kst::NotedMoveFileExW;
}

namespace kst {
namespace {

// The temporary file reaches the disk while the target still holds its old content, and then
// takes the target's place (or, for a new file, moves there).
TEST_F(FilesTest, TheNewContentIsOnTheDiskBeforeItReplacesTheOld) {
    for (const bool exists : {true, false}) {
        SCOPED_TRACE(exists ? "an existing file" : "a new file");
        fs::remove(Folder() / "target.txt");
        if (exists) {
            WriteWithStream("target.txt", "old");
        }
        const std::string before = exists ? "old" : "";
        gFileCalls.clear();
        gWatchedTarget = PathOf("target.txt");
        WriteFileSafely(gWatchedTarget, [](const ChunkSink& Sink) { Sink("new"); });
        gWatchedTarget.clear();
        ASSERT_EQ(gFileCalls.size(), 2u);
        EXPECT_EQ(gFileCalls[0].What, "flush");
        EXPECT_NE(gFileCalls[0].File.filename(), "target.txt");
        EXPECT_EQ(gFileCalls[0].TargetContent, before);
        EXPECT_EQ(gFileCalls[1].What, exists ? "replace" : "move");
        EXPECT_EQ(gFileCalls[1].File.filename(), gFileCalls[0].File.filename());
        EXPECT_EQ(gFileCalls[1].TargetContent, before);
        EXPECT_EQ(ReadWithStream("target.txt"), "new");
    }
}
#else
// This program's fsync stands in for the system's: it notes what each call flushed and what the
// target held at that moment, then flushes.
struct TSync {
    std::string Path;
    std::string TargetContent;
};
std::vector<TSync> gSyncs;
std::string gSyncTarget;

} // namespace
} // namespace kst

extern "C" int fsync(int Descriptor) {
    if (!kst::gSyncTarget.empty()) {
        const std::string link = "/proc/self/fd/" + std::to_string(Descriptor);
        kst::gSyncs.push_back({fs::read_symlink(link).string(), kst::ReadAll(kst::gSyncTarget)});
    }
    return static_cast<int>(syscall(SYS_fsync, Descriptor));
}

namespace kst {
namespace {

TEST_F(FilesTest, TheNewContentIsOnTheDiskBeforeItReplacesTheOldAndTheRenameAfter) {
    WriteWithStream("target.txt", "old");
    gSyncTarget = PathOf("target.txt");
    WriteFileSafely(gSyncTarget, [](const ChunkSink& Sink) { Sink("new"); });
    gSyncTarget.clear();
    ASSERT_EQ(gSyncs.size(), 2u);
    EXPECT_EQ(fs::path(gSyncs[0].Path).parent_path(), fs::canonical(Folder()));
    EXPECT_NE(fs::path(gSyncs[0].Path).filename(), "target.txt");
    EXPECT_EQ(gSyncs[0].TargetContent, "old");
    EXPECT_EQ(fs::path(gSyncs[1].Path), fs::canonical(Folder()));
    EXPECT_EQ(gSyncs[1].TargetContent, "new");
}

TEST_F(FilesTest, ReplacingKeepsThePermissionsOfTheOriginal) {
    WriteWithStream("target.txt", "old");
    const auto Mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(Folder() / "target.txt", Mode);
    WriteFileSafely(PathOf("target.txt"), [](const ChunkSink& Sink) { Sink("new"); });
    EXPECT_EQ(fs::status(Folder() / "target.txt").permissions(), Mode);
    EXPECT_EQ(ReadWithStream("target.txt"), "new");
}

TEST_F(FilesTest, StampsListingsExclusiveRenamesAndRemovals) {
    WriteWithStream("a.txt", "abc");
    fs::create_directory(Folder() / "sub");
    const std::optional<TFileStamp> stamp = FileStampWithin(PathOf("a.txt"), 5000);
    ASSERT_TRUE(stamp.has_value());
    EXPECT_TRUE(stamp->Exists);
    EXPECT_EQ(stamp->Size, 3u);
    WriteWithStream("a.txt", "abcd");
    const std::optional<TFileStamp> longer = FileStampWithin(PathOf("a.txt"), 5000);
    EXPECT_NE(longer, stamp);
    // The same bytes written again, seen by the write time alone.
    const fs::file_time_type written = fs::last_write_time(Folder() / "a.txt");
    WriteWithStream("a.txt", "abcd");
    fs::last_write_time(Folder() / "a.txt", written + std::chrono::seconds(2));
    EXPECT_NE(FileStampWithin(PathOf("a.txt"), 5000), longer);
    EXPECT_EQ(FileStampWithin(PathOf("missing.txt"), 5000), TFileStamp{});
    EXPECT_EQ(FileStampWithin(PathOf("no/such/folder.txt"), 5000), TFileStamp{});

    WriteWithStream("b.txt", "b");
    std::vector<std::string> names = FileNamesIn(Utf8(Folder()));
    std::ranges::sort(names);
    EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "b.txt"})) << "files, not folders";
    EXPECT_TRUE(FileNamesIn(PathOf("none")).empty());

    EXPECT_FALSE(RenameFileNoReplace(PathOf("a.txt"), PathOf("b.txt")));
    EXPECT_EQ(ReadWithStream("a.txt"), "abcd");
    EXPECT_EQ(ReadWithStream("b.txt"), "b");
    EXPECT_TRUE(RenameFileNoReplace(PathOf("a.txt"), PathOf("c.txt")));
    EXPECT_FALSE(RenameFileNoReplace(PathOf("a.txt"), PathOf("d.txt"))) << "already gone";
    EXPECT_EQ(FolderContent(), (std::set<std::string>{"b.txt", "c.txt", "sub"}));

    RemoveFile(PathOf("c.txt"));
    RemoveFile(PathOf("c.txt"));
    EXPECT_EQ(FolderContent(), (std::set<std::string>{"b.txt", "sub"}));
}

TEST(Files, FilesWhoseReportedSizeIsWrongAreReadToTheirEnd) {
    // The system reports a size of 0 for its own status files.
    const FileBytes Status = ReadWholeFile("/proc/self/status");
    const std::string Text(Status.Data.get(), static_cast<std::size_t>(Status.Size));
    EXPECT_NE(Text.find("Name:"), std::string::npos);
    EXPECT_NE(Text.find("VmSize:"), std::string::npos);
}
#endif

} // namespace
} // namespace kst
