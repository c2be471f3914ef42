// A new folder under the system's temporary folder with a random name, so that test programs
// running at the same time never share one. It goes with everything in it, read-only entries
// included, when the object goes.
#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace kst {

class TempFolder {
public:
    explicit TempFolder(const std::string& Prefix) {
        std::random_device random;
        FPath = std::filesystem::temp_directory_path() /
                (Prefix + std::to_string(random()) + "_" + std::to_string(random()));
        std::filesystem::create_directories(FPath);
    }
    ~TempFolder() {
        namespace fs = std::filesystem;
        std::error_code ignored;
        for (const auto& entry : fs::recursive_directory_iterator(FPath, ignored)) {
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
        fs::remove_all(FPath, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return FPath; }

private:
    std::filesystem::path FPath;
};

} // namespace kst
