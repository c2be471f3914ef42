#include "win32/console_process_win32.h"

#include "win32/utf.h"
#include "win32/windows_api.h"

#include <algorithm>
#include <atomic>
#include <utility>
#include <vector>

namespace kst::win32 {

namespace {

// The most output one read hands over, and the pipe's buffer: a program that writes more waits
// until the list has taken some.
constexpr DWORD kChunkBytes = 64 * 1024;

// Closes the handle it owns; null and INVALID_HANDLE_VALUE are none.
class OwnedHandle {
public:
    OwnedHandle() = default;
    explicit OwnedHandle(HANDLE Handle) : FHandle(Handle) {}
    OwnedHandle(OwnedHandle&& Other) noexcept : FHandle(std::exchange(Other.FHandle, nullptr)) {}
    OwnedHandle& operator=(OwnedHandle&& Other) noexcept {
        std::swap(FHandle, Other.FHandle);
        return *this;
    }
    ~OwnedHandle() {
        if (*this) {
            CloseHandle(FHandle);
        }
    }
    HANDLE Get() const { return FHandle; }
    explicit operator bool() const { return FHandle != nullptr && FHandle != INVALID_HANDLE_VALUE; }

private:
    HANDLE FHandle = nullptr;
};

// A job whose processes end when its last handle closes (this program's, which nothing inherits),
// so that they end with this program however it ends; or, after a normal end, one that lets them
// run on.
void LetJobOutliveHandle(HANDLE Job, bool Outlive) {
    if (Job == nullptr) {
        return;
    }
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = Outlive ? 0 : JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(Job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
}

class Win32ConsoleProcess final : public ConsoleProcess {
public:
    Win32ConsoleProcess(OwnedHandle Process, OwnedHandle Job, OwnedHandle Pipe, OwnedHandle Event)
        : FProcess(std::move(Process)), FJob(std::move(Job)), FPipe(std::move(Pipe)),
          FEvent(std::move(Event)), FBuffer(kChunkBytes) {}
    // The buffer must outlive a read that is under way.
    ~Win32ConsoleProcess() override {
        std::string ignored;
        FinishOrCancelRead(ignored);
        if (FEnded) {
            LetJobOutliveHandle(FJob.Get(), true);
        }
    }

    void Wait(std::optional<int> Milliseconds) override;
    bool HasEnded() override;
    std::string ReadOutput() override;
    void Terminate(std::uint32_t ExitCode) override;
    std::uint32_t ExitCode() override;

private:
    void StartRead(DWORD Bytes);
    // Appends a finished read to Output; false while it is under way (only when not Waiting).
    bool CollectRead(std::string& Output, bool Waiting);
    void FinishOrCancelRead(std::string& Output);

    OwnedHandle FProcess;
    // None where the system refused to put the program in a job.
    OwnedHandle FJob;
    OwnedHandle FPipe;
    // Set when a read finishes.
    OwnedHandle FEvent;
    OVERLAPPED FOverlapped{};
    std::vector<char> FBuffer;
    bool FReadPending = false;
    // False once every writer has closed the pipe.
    bool FPipeOpen = true;
    bool FEnded = false;
    // After the end: what was read but not handed over, and what the pipe still held.
    std::string FLeftOver;
    DWORD FLeftInPipe = 0;
};

// A read that finishes at once finishes as one that waited does: GetOverlappedResult collects
// both.
void Win32ConsoleProcess::StartRead(DWORD Bytes) {
    FOverlapped = {};
    FOverlapped.hEvent = FEvent.Get();
    if (ReadFile(FPipe.Get(), FBuffer.data(), Bytes, nullptr, &FOverlapped) != FALSE ||
        GetLastError() == ERROR_IO_PENDING) {
        FReadPending = true;
    } else {
        FPipeOpen = false;
    }
}

bool Win32ConsoleProcess::CollectRead(std::string& Output, bool Waiting) {
    DWORD bytes = 0;
    if (GetOverlappedResult(FPipe.Get(), &FOverlapped, &bytes, Waiting ? TRUE : FALSE) == FALSE) {
        const DWORD error = GetLastError();
        if (error == ERROR_IO_INCOMPLETE) {
            return false;
        }
        FPipeOpen = FPipeOpen && error == ERROR_OPERATION_ABORTED;
    }
    FReadPending = false;
    Output.append(FBuffer.data(), bytes);
    return true;
}

void Win32ConsoleProcess::FinishOrCancelRead(std::string& Output) {
    if (FReadPending && !CollectRead(Output, false)) {
        CancelIoEx(FPipe.Get(), &FOverlapped);
        CollectRead(Output, true);
    }
}

// A read is kept under way while the pipe is open, so that output arriving ends the wait: a wait
// on the process and the messages alone would sleep while the program waits on its full pipe.
void Win32ConsoleProcess::Wait(std::optional<int> Milliseconds) {
    if (!FReadPending && FPipeOpen) {
        StartRead(kChunkBytes);
    }
    const HANDLE handles[] = {FProcess.Get(), FEvent.Get()};
    MsgWaitForMultipleObjectsEx(FReadPending ? 2 : 1, handles, WaitMilliseconds(Milliseconds),
                                QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

// At the end the read under way is finished or cancelled, so that what the pipe holds can be
// counted: only that much is read afterwards.
bool Win32ConsoleProcess::HasEnded() {
    if (!FEnded && WaitForSingleObject(FProcess.Get(), 0) != WAIT_TIMEOUT) {
        FEnded = true;
        FinishOrCancelRead(FLeftOver);
        if (!FPipeOpen ||
            PeekNamedPipe(FPipe.Get(), nullptr, 0, nullptr, &FLeftInPipe, nullptr) == FALSE) {
            FLeftInPipe = 0;
        }
    }
    return FEnded;
}

// Reads go on while they finish at once, up to a chunk; one that has to wait stays under way.
std::string Win32ConsoleProcess::ReadOutput() {
    std::string output;
    if (FEnded) {
        output = std::exchange(FLeftOver, {});
        while (output.size() < kChunkBytes && FLeftInPipe > 0 && FPipeOpen) {
            const std::size_t before = output.size();
            StartRead(std::min<DWORD>(FLeftInPipe, kChunkBytes - static_cast<DWORD>(before)));
            FinishOrCancelRead(output);
            const auto read = static_cast<DWORD>(output.size() - before);
            if (read == 0) {
                break;
            }
            FLeftInPipe -= read;
        }
        return output;
    }
    for (int reads = 0; reads < 64 && output.size() < kChunkBytes && FPipeOpen; ++reads) {
        if (!FReadPending) {
            StartRead(kChunkBytes - static_cast<DWORD>(output.size()));
        }
        if (!FReadPending || !CollectRead(output, false)) {
            break;
        }
    }
    return output;
}

void Win32ConsoleProcess::Terminate(std::uint32_t ExitCode) {
    if (FJob) {
        TerminateJobObject(FJob.Get(), ExitCode);
    } else {
        TerminateProcess(FProcess.Get(), ExitCode);
    }
}

std::uint32_t Win32ConsoleProcess::ExitCode() {
    DWORD code = 0;
    GetExitCodeProcess(FProcess.Get(), &code);
    return code;
}

TStartedConsole Failed() {
    return {.Process = nullptr, .ErrorCode = GetLastError()};
}

std::wstring UniquePipeName() {
    static std::atomic<unsigned> counter{0};
    return L"\\\\.\\pipe\\kestrane-console-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter);
}

// The program starts suspended, so that it is in the job before it can start anything. Where
// the system refuses the job, it runs without.
TStartedConsole StartWith(std::wstring CommandLine, HANDLE Input, HANDLE Output, OwnedHandle Pipe,
                          OwnedHandle Event) {
    STARTUPINFOW startup{};
    GetStartupInfoW(&startup);
    startup.cb = sizeof(startup);
    // The C runtime's inherited descriptors would stand in for the standard handles.
    startup.lpReserved = nullptr;
    startup.cbReserved2 = 0;
    startup.lpReserved2 = nullptr;
    startup.dwFlags |= STARTF_USESTDHANDLES;
    startup.hStdInput = Input;
    startup.hStdOutput = Output;
    startup.hStdError = Output;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(nullptr, CommandLine.data(), nullptr, nullptr, TRUE,
                       CREATE_DEFAULT_ERROR_MODE | CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr,
                       nullptr, &startup, &process) == FALSE) {
        return Failed();
    }
    OwnedHandle thread(process.hThread);
    OwnedHandle job(CreateJobObjectW(nullptr, nullptr));
    if (job && AssignProcessToJobObject(job.Get(), process.hProcess) == FALSE) {
        job = OwnedHandle();
    }
    LetJobOutliveHandle(job.Get(), false);
    ResumeThread(thread.Get());
    return {.Process = std::make_unique<Win32ConsoleProcess>(
                OwnedHandle(process.hProcess), std::move(job), std::move(Pipe), std::move(Event)),
            .ErrorCode = 0};
}

} // namespace

// The child's ends of the pipe and of the empty input are inheritable; this program's copies close
// on return, so that the pipe ends with the last process that writes to it.
TStartedConsole StartConsoleProgram(const std::string& CommandLine) {
    const std::wstring name = UniquePipeName();
    OwnedHandle reader(CreateNamedPipeW(
        name.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
        PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 0,
        kChunkBytes, 0, nullptr));
    if (!reader) {
        return Failed();
    }
    SECURITY_ATTRIBUTES inheritable{.nLength = sizeof(SECURITY_ATTRIBUTES),
                                    .lpSecurityDescriptor = nullptr,
                                    .bInheritHandle = TRUE};
    const OwnedHandle writer(CreateFileW(name.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0,
                                         &inheritable, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                         nullptr));
    if (!writer) {
        return Failed();
    }
    const OwnedHandle input(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        &inheritable, OPEN_EXISTING, 0, nullptr));
    if (!input) {
        return Failed();
    }
    OwnedHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!event) {
        return Failed();
    }
    return StartWith(Utf8ToWide(CommandLine), input.Get(), writer.Get(), std::move(reader),
                     std::move(event));
}

} // namespace kst::win32
