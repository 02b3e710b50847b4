#include "catalog/model/TextArena.h"

#include <algorithm>
#include <iterator>
#include <memory>

namespace salvora {
namespace {

// Blocks double up to this size: a large catalogue takes a few dozen, a small one wastes little.
constexpr std::size_t largestBlockSize = std::size_t{1} << 24;

}  // namespace

void TextArena::grow(std::size_t size) {
    const std::size_t blockSize = std::max(size, nextBlockSize_);
    nextBlockSize_ = std::min(nextBlockSize_ * 2, largestBlockSize);
    // Left uninitialised: the characters are written when handed out, never read before.
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(blockSize));
    next_ = blocks_.back().get();
    free_ = blockSize;
}

void TextArena::absorb(TextArena&& other) {
    blocks_.insert(blocks_.end(), std::make_move_iterator(other.blocks_.begin()),
                   std::make_move_iterator(other.blocks_.end()));
    other = TextArena();
}

}  // namespace salvora
