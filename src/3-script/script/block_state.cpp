#include "script/block_state.h"

#include "script/script_parser.h"

#include <algorithm>
#include <utility>

namespace kst {

namespace {

constexpr std::size_t kBlockKinds = 10;

} // namespace

bool IsDefinition(TBlockKind Kind) {
    return Kind == TBlockKind::Sub || Kind == TBlockKind::Function ||
           Kind == TBlockKind::Property || Kind == TBlockKind::Class;
}

// A block with the ones below it. Each node knows the innermost node of every kind at or below it
// and the innermost definition, so that a closer finds its block at once however many are open.
struct TBlockState::Node {
    TOpenBlock Block;
    Node* Below = nullptr;
    std::size_t Depth = 1;
    std::array<const Node*, kBlockKinds> InnermostOfKind{};
    const Node* InnermostDefinition = nullptr;
    // The states and nodes above that hold this one; single-threaded, as the text is.
    std::uint32_t Holders = 1;
};

TBlockState::TBlockState(Node* Top) : FTop(Top) {}

TBlockState::TBlockState(const TBlockState& Other) : FTop(Other.FTop) {
    if (FTop != nullptr) {
        ++FTop->Holders;
    }
}

TBlockState::TBlockState(TBlockState&& Other) noexcept : FTop(std::exchange(Other.FTop, nullptr)) {}

TBlockState& TBlockState::operator=(const TBlockState& Other) {
    if (this != &Other) {
        TBlockState copy(Other);
        std::swap(FTop, copy.FTop);
    }
    return *this;
}

TBlockState& TBlockState::operator=(TBlockState&& Other) noexcept {
    if (this != &Other) {
        Release();
        FTop = std::exchange(Other.FTop, nullptr);
    }
    return *this;
}

TBlockState::~TBlockState() {
    Release();
}

// Frees the nodes no one holds any more one after the other, never recursively: 100,000 nested
// blocks go without a deep call stack.
void TBlockState::Release() {
    Node* node = std::exchange(FTop, nullptr);
    while (node != nullptr && --node->Holders == 0) {
        Node* below = node->Below;
        delete node;
        node = below;
    }
}

std::size_t TBlockState::Size() const {
    return FTop == nullptr ? 0 : FTop->Depth;
}

const TOpenBlock& TBlockState::Top() const {
    return FTop->Block;
}

TBlockState TBlockState::Pushed(const TOpenBlock& Block) const {
    auto* node = new Node{.Block = Block, .Below = FTop};
    if (FTop != nullptr) {
        ++FTop->Holders;
        node->Depth = FTop->Depth + 1;
        node->InnermostOfKind = FTop->InnermostOfKind;
        node->InnermostDefinition = FTop->InnermostDefinition;
    }
    node->InnermostOfKind[static_cast<std::size_t>(Block.Kind)] = node;
    if (IsDefinition(Block.Kind)) {
        node->InnermostDefinition = node;
    }
    return TBlockState(node);
}

TBlockState TBlockState::Popped() const {
    return Outermost(Size() - 1);
}

TBlockState TBlockState::Outermost(std::size_t Count) const {
    Node* node = FTop;
    while (node != nullptr && node->Depth > Count) {
        node = node->Below;
    }
    if (node != nullptr) {
        ++node->Holders;
    }
    return TBlockState(node);
}

std::size_t TBlockState::Innermost(TBlockKind Kind) const {
    if (FTop == nullptr) {
        return 0;
    }
    const Node* place = FTop->InnermostOfKind[static_cast<std::size_t>(Kind)];
    if (place == nullptr) {
        return Size();
    }
    const Node* definition = FTop->InnermostDefinition;
    if (!IsDefinition(Kind) && definition != nullptr && definition->Depth > place->Depth) {
        return Size();
    }
    return place->Depth - 1;
}

std::vector<TOpenBlock> TBlockState::BlocksFrom(std::size_t Index) const {
    std::vector<TOpenBlock> blocks;
    for (const Node* node = FTop; node != nullptr && node->Depth > Index; node = node->Below) {
        blocks.push_back(node->Block);
    }
    std::ranges::reverse(blocks);
    return blocks;
}

} // namespace kst
