// The blocks open at the start of a line of a script, innermost on top. A state is an immutable
// stack: pushing or popping makes a new state that shares the blocks below with the old one, so
// the states of all the lines a block holds for cost one block, and two states are the same
// exactly when they are the same object (a comparison of one pointer).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kst {

// The kinds of block the script parser tells apart (script/script_parser.h).
enum class TBlockKind : std::uint8_t;

struct TOpenBlock {
    TBlockKind Kind{};
    int Line = 0;
    int Column = 0;
    int Level = 0;
};

bool IsDefinition(TBlockKind Kind);

class TBlockState {
public:
    TBlockState() = default;
    TBlockState(const TBlockState& Other);
    TBlockState(TBlockState&& Other) noexcept;
    TBlockState& operator=(const TBlockState& Other);
    TBlockState& operator=(TBlockState&& Other) noexcept;
    ~TBlockState();

    bool Empty() const { return FTop == nullptr; }
    std::size_t Size() const;
    // The innermost open block; only when not Empty().
    const TOpenBlock& Top() const;

    TBlockState Pushed(const TOpenBlock& Block) const;
    TBlockState Popped() const;
    // The state with only its Count outermost blocks.
    TBlockState Outermost(std::size_t Count) const;
    // The place (0 the outermost) of the innermost open block of Kind, Size() when none. Only a
    // definition's closer looks beyond the innermost definition.
    std::size_t Innermost(TBlockKind Kind) const;
    // The open blocks from the one at Index on, outermost first.
    std::vector<TOpenBlock> BlocksFrom(std::size_t Index) const;

    bool operator==(const TBlockState& Other) const { return FTop == Other.FTop; }

private:
    struct Node;
    explicit TBlockState(Node* Top);
    void Release();

    Node* FTop = nullptr;
};

} // namespace kst
