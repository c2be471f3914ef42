#include "display/image_list.h"

#include "core/errors.h"

#include <utility>

namespace kst {

int TImageList::Add(std::unique_ptr<Surface> Image) {
    if (Image == nullptr || Image->Size() != FSize) {
        throw Exception("Invalid image size");
    }
    FImages.push_back(std::move(Image));
    return Count() - 1;
}

const Surface& TImageList::Image(int Index) const {
    if (!Holds(Index)) {
        RaiseListIndexError();
    }
    return *FImages[static_cast<std::size_t>(Index)];
}

} // namespace kst
