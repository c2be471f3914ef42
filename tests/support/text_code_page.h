// Makes a code page the text's for a test's lifetime, then gives the text back the one before.
#pragma once

#include "core/code_page.h"

namespace kst {

class ScopedTextCodePage {
public:
    explicit ScopedTextCodePage(const TCodePage& CodePage) : FPrevious(TextCodePage()) {
        UseTextCodePage(CodePage);
    }
    ~ScopedTextCodePage() { UseTextCodePage(FPrevious); }
    ScopedTextCodePage(const ScopedTextCodePage&) = delete;
    ScopedTextCodePage& operator=(const ScopedTextCodePage&) = delete;

private:
    const TCodePage& FPrevious;
};

} // namespace kst
