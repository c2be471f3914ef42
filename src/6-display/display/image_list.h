// A list of equally sized bitmaps drawn with one colour left out, such as the row-mark images an
// editor shows in its image bar.
#pragma once

#include "core/notify.h"
#include "platform/surface.h"

#include <memory>
#include <vector>

namespace kst {

class TImageList : public TComponent {
public:
    static constexpr TSize kDefaultSize{16, 16};

    TImageList(TCreateKey Key, TPersistent* Owner, TSize Size = kDefaultSize)
        : TComponent(Key, Owner), FSize(Size) {}

    const char* ClassName() const override { return "TImageList"; }

    // Appends Image and returns its index. An image of another size than the list's is refused.
    int Add(std::unique_ptr<Surface> Image);
    int Count() const { return static_cast<int>(FImages.size()); }
    bool Holds(int Index) const { return Index >= 0 && Index < Count(); }
    // Raises EStringListError for an index the list does not hold.
    const Surface& Image(int Index) const;

    int Width() const { return FSize.Width; }
    int Height() const { return FSize.Height; }

    // The colour left out when an image is drawn.
    TColor TransparentColor = clWhite;

private:
    TSize FSize;
    std::vector<std::unique_ptr<Surface>> FImages;
};

} // namespace kst
