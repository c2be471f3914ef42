// A clipboard in memory for tests. Failing makes every access raise EClipboardError, as a
// clipboard that another program keeps open does.
#pragma once

#include "core/errors.h"
#include "platform/clipboard.h"

#include <optional>
#include <string>
#include <string_view>

namespace kst {

class MemoryClipboard : public Clipboard {
public:
    void SetText(std::string_view Text, bool Box) override {
        CheckOpen();
        // Reuses the last text's storage: copying a large text again costs a copy, not an
        // allocation.
        if (Content) {
            Content->assign(Text);
        } else {
            Content.emplace(Text);
        }
        FBox = Box;
        ++Writes;
    }
    std::optional<std::string> GetText() override {
        CheckOpen();
        return Content;
    }
    bool HasText() const override { return Content.has_value(); }
    bool HasBoxText() const override { return Content.has_value() && FBox; }

    // Text as another program would put it: no rectangle mark.
    void PutForeignText(std::string_view Text) {
        Content = std::string(Text);
        FBox = false;
    }

    std::optional<std::string> Content;
    bool Failing = false;
    int Writes = 0;

private:
    void CheckOpen() const {
        if (Failing) {
            throw EClipboardError("クリップボードを開けません。");
        }
    }

    bool FBox = false;
};

} // namespace kst
