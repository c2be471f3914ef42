#include "fake_desktop.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <utility>

namespace kst {

void FakeScriptEngine::Compile(std::string Script, TVerdictHandler Done) {
    Scripts.push_back(std::move(Script));
    FDone = std::move(Done);
    if (!Deferred) {
        Deliver();
    }
}

void FakeScriptEngine::Deliver() {
    if (TVerdictHandler done = std::exchange(FDone, nullptr)) {
        done(Verdict);
    }
}

namespace {

namespace fs = std::filesystem;

fs::path PathOf(const std::string& Utf8) {
    return fs::path(std::u8string(Utf8.begin(), Utf8.end()));
}

// A full path with its ASCII letters in lower case, as file names compare on Windows.
std::string ComparableName(const std::string& Path) {
    std::string name = fs::absolute(PathOf(Path)).lexically_normal().string();
    std::ranges::transform(name, name.begin(), [](char C) {
        return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C;
    });
    return name;
}

std::optional<std::string> NextResult(std::deque<std::string>& Results) {
    if (Results.empty()) {
        return std::nullopt;
    }
    std::string result = std::move(Results.front());
    Results.pop_front();
    return result;
}

int HexDigit(char C) {
    if (C >= '0' && C <= '9') {
        return C - '0';
    }
    return C >= 'A' && C <= 'F' ? C - 'A' + 10 : -1;
}

class FakeConsoleProcess final : public ConsoleProcess {
public:
    explicit FakeConsoleProcess(FakeDesktop::TConsoleRun& Run) : FRun(Run) {}
    ~FakeConsoleProcess() override { FRun.Released = true; }

    void Wait(std::optional<int> /*Milliseconds*/) override {
        ++FRun.Waits;
        if (FRun.Output.empty()) {
            FRun.Ended = FRun.Ended || !FRun.RunsUntilTerminated;
            return;
        }
        FRun.Arrived += FRun.Output.front();
        FRun.Output.pop_front();
    }
    bool HasEnded() override { return FRun.Ended; }
    // After the end, what was still on its way arrives chunk by chunk.
    std::string ReadOutput() override {
        if (FRun.OnRead) {
            FRun.OnRead();
        }
        const bool written = FRun.Ended || FRun.WritesWhileRead;
        if (written && FRun.Arrived.empty() && !FRun.Output.empty()) {
            FRun.Arrived = std::move(FRun.Output.front());
            FRun.Output.pop_front();
        }
        return std::exchange(FRun.Arrived, {});
    }
    void Terminate(std::uint32_t ExitCode) override {
        FRun.Ended = true;
        FRun.TerminatedWith = ExitCode;
        FRun.ExitCode = ExitCode;
    }
    std::uint32_t ExitCode() override { return FRun.ExitCode; }

private:
    FakeDesktop::TConsoleRun& FRun;
};

// Whether Text is well-formed UTF-8 (without checking for overlong forms).
bool IsUtf8(std::string_view Text) {
    for (std::size_t pos = 0; pos < Text.size();) {
        const auto lead = static_cast<unsigned char>(Text[pos]);
        const std::size_t length = lead < 0x80    ? 1
                                   : lead >= 0xF0 ? 4
                                   : lead >= 0xE0 ? 3
                                   : lead >= 0xC2 ? 2
                                                  : 0;
        if (length == 0 || pos + length > Text.size()) {
            return false;
        }
        for (std::size_t next = pos + 1; next < pos + length; ++next) {
            if ((static_cast<unsigned char>(Text[next]) & 0xC0) != 0x80) {
                return false;
            }
        }
        pos += length;
    }
    return true;
}

} // namespace

TWindowHandle FakeDesktop::AddWindow(std::string Title, bool Visible, bool Owned,
                                     std::string ClassName) {
    const TWindowHandle handle = FNextHandle++;
    Windows.push_back({handle, std::move(Title), std::move(ClassName), Visible, Owned});
    return handle;
}

TWindowHandle FakeDesktop::AddEditorWindow(const std::string& Name) {
    return AddWindow(Name + " - Kestrane");
}

void FakeDesktop::SendClose(TWindowHandle Window) {
    ClosesSent.push_back(Window);
    if (OnClose) {
        OnClose(Window);
        return;
    }
    std::erase_if(Windows, [Window](const TTopLevelWindow& Each) { return Each.Handle == Window; });
}

void FakeDesktop::StartProcess(const std::string& CommandLine, TShowState Show) {
    ProcessStarts.push_back({CommandLine, Show});
}

TStartedProcess FakeDesktop::StartProcessToWait(const std::string& CommandLine) {
    if (StartError != 0) {
        return {.Process = 0, .ErrorCode = StartError};
    }
    TWaitedProcess& process = WaitedProcesses.emplace_back();
    process.CommandLine = CommandLine;
    process.WaitsLeft = ProcessWaits;
    return {.Process = WaitedProcesses.size(), .ErrorCode = 0};
}

TStartedConsole FakeDesktop::StartConsoleProcess(const std::string& CommandLine) {
    if (StartError != 0) {
        return {.Process = nullptr, .ErrorCode = StartError};
    }
    TConsoleRun& run = ConsoleRuns.emplace_back();
    if (!ConsolePrograms.empty()) {
        run = std::move(ConsolePrograms.front());
        ConsolePrograms.pop_front();
    }
    run.CommandLine = CommandLine;
    return {.Process = std::make_unique<FakeConsoleProcess>(run), .ErrorCode = 0};
}

FakeDesktop::TWaitedProcess& FakeDesktop::WaitedProcess(TProcessHandle Process) {
    return WaitedProcesses.at(Process - 1);
}

void FakeDesktop::WaitForInputIdle(TProcessHandle Process, int Milliseconds) {
    WaitedProcess(Process).InputIdleBound = Milliseconds;
}

bool FakeDesktop::WaitForProcessOrMessage(TProcessHandle Process, std::optional<int> Milliseconds) {
    TWaitedProcess& process = WaitedProcess(Process);
    if (Milliseconds == 0) {
        return process.Ended;
    }
    if (!process.Ended && process.WaitsLeft-- == 0) {
        process.Ended = true;
    }
    return process.Ended;
}

void FakeDesktop::TerminateProcess(TProcessHandle Process, unsigned ExitCode) {
    TWaitedProcess& process = WaitedProcess(Process);
    process.Ended = true;
    process.TerminatedWith = ExitCode;
}

void FakeDesktop::CloseProcess(TProcessHandle Process) {
    if (Process != 0) {
        WaitedProcess(Process).Closed = true;
    }
}

bool FakeDesktop::FileExists(const std::string& Path) {
    std::error_code ignored;
    return PretendedFiles.contains(Path) || fs::is_regular_file(PathOf(Path), ignored);
}

bool FakeDesktop::ShellOpen(const std::string& Path) {
    ShellOpened.push_back(Path);
    return !UnopenablePaths.contains(Path);
}

std::string FakeDesktop::FullFileName(const std::string& Path) {
    if (PathOf(Path).is_absolute()) {
        return Path;
    }
    const std::u8string full = fs::absolute(PathOf(Path)).lexically_normal().u8string();
    return {full.begin(), full.end()};
}

bool FakeDesktop::SameFileName(const std::string& A, const std::string& B) {
    return ComparableName(A) == ComparableName(B);
}

std::optional<TFileStamp> FakeDesktop::FileStamp(const std::string& Path, int Milliseconds) {
    if (!StampAnswered.empty()) {
        const bool answered = StampAnswered.front();
        StampAnswered.pop_front();
        if (!answered) {
            return std::nullopt;
        }
    }
    return FileStampWithin(Path, Milliseconds);
}

bool FakeDesktop::DirectoryExists(const std::string& Path) {
    std::error_code ignored;
    return !Path.empty() && fs::is_directory(PathOf(Path), ignored);
}

bool FakeDesktop::CreateFolder(const std::string& Path) {
    std::error_code ignored;
    fs::create_directory(PathOf(Path), ignored);
    return DirectoryExists(Path);
}

TMessageAnswer FakeDesktop::MessageBox(const std::string& Text, const std::string& Caption,
                                       TMessageType Type, TMessageButtons Buttons) {
    Messages.push_back({Text, Caption, Type, Buttons});
    MessageCorners.emplace_back();
    return NextAnswer(Buttons);
}

TMessageAnswer FakeDesktop::MessageBoxAt(const std::string& Text, const std::string& Caption,
                                         TMessageType Type, TMessageButtons Buttons,
                                         TPoint TopLeft) {
    Messages.push_back({Text, Caption, Type, Buttons});
    MessageCorners.emplace_back(TopLeft);
    return NextAnswer(Buttons);
}

TMessageAnswer FakeDesktop::NextAnswer(TMessageButtons Buttons) {
    if (!Answers.empty()) {
        const TMessageAnswer answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    return Buttons == TMessageButtons::Ok ? TMessageAnswer::Ok : TMessageAnswer::Cancel;
}

std::optional<std::string> FakeDesktop::OpenFileDialog(const TFileDialogOptions& Options) {
    OpenDialogs.push_back(Options);
    return NextResult(OpenDialogResults);
}

std::optional<std::string> FakeDesktop::SaveFileDialog(const TFileDialogOptions& Options) {
    SaveDialogs.push_back(Options);
    return NextResult(SaveDialogResults);
}

std::optional<std::string> FakeDesktop::BrowseForFolder(unsigned Flags) {
    FolderBrowses.push_back(Flags);
    return NextResult(FolderResults);
}

std::string FakeDesktop::ReadProfileString(const std::string& Section, const std::string& Key,
                                           const std::string& Default, const std::string& File) {
    const auto file = IniFiles.find(File);
    if (file == IniFiles.end() || !file->second.contains(Section) ||
        !file->second.at(Section).contains(Key)) {
        return Default;
    }
    return file->second.at(Section).at(Key);
}

bool FakeDesktop::WriteProfileString(const std::string& Section, const std::string& Key,
                                     const std::string& Value, const std::string& File) {
    if (ReadOnlyIniFiles.contains(File)) {
        return false;
    }
    IniFiles[File][Section][Key] = Value;
    IniWrites.push_back(Section + "/" + Key);
    return true;
}

bool FakeDesktop::RemoveProfileKey(const std::string& Section, const std::string& Key,
                                   const std::string& File) {
    if (ReadOnlyIniFiles.contains(File)) {
        return false;
    }
    IniFiles[File][Section].erase(Key);
    return true;
}

std::string FakeDesktop::TextToUtf8(std::string_view Text) {
    std::string converted;
    for (const char c : Text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            converted += c;
            continue;
        }
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "<%02X>", byte);
        converted += escaped;
    }
    return converted;
}

// "<XX>" back to its byte; any other byte from 0x80 up is not text as this fake writes it.
std::string FakeDesktop::Utf8ToText(std::string_view Text) {
    std::string converted;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == '<' && i + 3 < Text.size() && Text[i + 3] == '>' &&
            HexDigit(Text[i + 1]) >= 0 && HexDigit(Text[i + 2]) >= 0) {
            converted += static_cast<char>(HexDigit(Text[i + 1]) * 16 + HexDigit(Text[i + 2]));
            i += 3;
        } else {
            converted += static_cast<unsigned char>(Text[i]) < 0x80 ? Text[i] : '?';
        }
    }
    return converted;
}

std::optional<TCodePage> FakeDesktop::SystemCodePage(int Number) {
    for (const TCodePage* known : {&TCodePage::Japanese(), &TCodePage::Western()}) {
        if (known->Number() == Number) {
            return *known;
        }
    }
    return std::nullopt;
}

std::optional<std::string> FakeDesktop::ConsoleTextToUtf8(std::string_view Text) {
    return IsUtf8(Text) ? std::optional<std::string>(Text) : std::nullopt;
}

std::vector<std::string> FakeDesktop::MessageTexts() const {
    std::vector<std::string> texts;
    for (const TMessage& message : Messages) {
        texts.push_back(message.Text);
    }
    return texts;
}

} // namespace kst
