// The editor's document lines for the tools that read a whole script, as views that stay valid
// while the text does not change.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kst {

class TEditor;

class EditorLines {
public:
    explicit EditorLines(TEditor& Editor);
    EditorLines(const EditorLines&) = delete;
    EditorLines& operator=(const EditorLines&) = delete;

    std::span<const std::string_view> Lines() const { return FLines; }

private:
    std::string FText;
    std::vector<std::string_view> FLines;
};

} // namespace kst
