#pragma once

// Storage for the texts of a catalogue's records: copied one after another into large blocks,
// so a build of a million records makes a few dozen allocations and letting it go frees as many.
#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace salvora {

class TextArena {
  public:
    TextArena() = default;
    TextArena(TextArena&&) = default;
    TextArena& operator=(TextArena&&) = default;

    // A copy of the text, valid as long as the arena.
    std::string_view copy(std::string_view text) {
        char* at = allocate(text.size());
        if (!text.empty()) std::char_traits<char>::copy(at, text.data(), text.size());
        return {at, text.size()};
    }

    // Room for `size` characters, valid as long as the arena.
    char* allocate(std::size_t size) {
        if (size > free_) grow(size);
        char* at = next_;
        next_ += size;
        free_ -= size;
        return at;
    }

    // Takes the other arena's blocks over; texts in them stay where they are.
    void absorb(TextArena&& other);

  private:
    void grow(std::size_t size);

    std::vector<std::unique_ptr<char[]>> blocks_;
    char* next_ = nullptr;
    std::size_t free_ = 0;
    std::size_t nextBlockSize_ = std::size_t{1} << 16;
};

}  // namespace salvora
