#include "app_test_support.h"

#include "app/option_dialogs.h"

#include <fstream>
#include <sstream>

namespace kst {

namespace fs = std::filesystem;

namespace {

std::string Utf8(const fs::path& Path) {
    const std::u8string text = Path.u8string();
    return std::string(text.begin(), text.end());
}

fs::path PathOfUtf8(const std::string& Text) {
    return fs::path(std::u8string(Text.begin(), Text.end()));
}

} // namespace

TempProgramFolder::TempProgramFolder() {
    fs::create_directories(FFolder.Path() / "Env");
}

std::string TempProgramFolder::Path(const std::string& Name) const {
    return Utf8(FFolder.Path() / PathOfUtf8(Name));
}

std::string TempProgramFolder::EnvPath(const std::string& Name) const {
    return Utf8(FFolder.Path() / "Env" / PathOfUtf8(Name));
}

std::string TempProgramFolder::WriteFile(const std::string& Name, const std::string& Bytes) const {
    const fs::path path = FFolder.Path() / PathOfUtf8(Name);
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
    return Utf8(path);
}

std::string TempProgramFolder::ReadFile(const std::string& Name) const {
    std::ifstream in(FFolder.Path() / PathOfUtf8(Name), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void TempProgramFolder::RemoveEnv() const {
    fs::remove_all(FFolder.Path() / "Env");
}

void TempProgramFolder::Remove(const std::string& FullPath) {
    fs::remove_all(PathOfUtf8(FullPath));
}

void RecordingView::Close() {
    if (!OnClose || OnClose()) {
        ++Closed;
    }
}

bool RecordingView::ProcessMessages() {
    ++MessagePumps;
    if (OnProcessMessages) {
        OnProcessMessages();
    }
    return !QuitArrived;
}

std::optional<std::size_t> RecordingView::SelectedResultIndex() const {
    if (SelectedIndex < 0 || SelectedIndex >= static_cast<int>(Results.size())) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(SelectedIndex);
}

void RecordingView::ShowOptionsDialog(TfrmSetting& Dialog) {
    ++OptionsDialogs;
    if (OnOptionsDialog) {
        OnOptionsDialog(Dialog);
    }
}

} // namespace kst
