// A copy of bytes in a buffer of exactly their size, so that a read past either end is caught
// under AddressSanitizer.
#pragma once

#include <algorithm>
#include <memory>
#include <string_view>

namespace kst {

class ExactBytes {
public:
    explicit ExactBytes(std::string_view Bytes)
        : FBytes(std::make_unique<char[]>(Bytes.size())), FView(FBytes.get(), Bytes.size()) {
        std::copy(Bytes.begin(), Bytes.end(), FBytes.get());
    }
    std::string_view View() const { return FView; }

private:
    std::unique_ptr<char[]> FBytes;
    std::string_view FView;
};

} // namespace kst
