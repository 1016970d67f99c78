#pragma once

#include <algorithm>
#include <cstring>
#include <memory_resource>
#include <new>
#include <string_view>
#include <type_traits>

namespace modRegistryUpdate::store {

/// Memory for a key tree's keys, values and names, handed back all at once when the tree goes:
/// a store holds hundreds of thousands of short texts, which one allocation each would make a
/// run spend much of its time in the heap, once to make them and once again to free them.
class Arena {
public:
    Arena() = default;
    Arena(const Arena&) = delete;
    Arena& operator=(const Arena&) = delete;

    /// A copy of the text that lasts as long as the arena.
    std::string_view keep(std::string_view text) {
        if (text.empty())
            return std::string_view();
        char* copy = static_cast<char*>(memory_.allocate(text.size(), 1));
        std::memcpy(copy, text.data(), text.size());
        return std::string_view(copy, text.size());
    }

    /// `text`, which has `room` bytes of the arena's to itself (none for a text the arena does not
    /// hold), made `replacement`: over its own bytes when they are room enough, else in new room
    /// of at least twice as much. A text rewritten or lengthened many times then costs the arena a
    /// few times its longest form rather than the sum of all.
    std::string_view rewrite(std::string_view text, std::size_t& room,
                             std::string_view replacement) {
        char* place = roomFor(text, room, replacement.size());
        if (!replacement.empty())
            std::memmove(place, replacement.data(), replacement.size());
        return std::string_view(place, replacement.size());
    }

    /// `text`, which has `room` bytes to itself (see `rewrite`), followed by `more`.
    std::string_view append(std::string_view text, std::size_t& room, std::string_view more) {
        const std::size_t size = text.size() + more.size();
        char* place = roomFor(text, room, size);
        if (place != text.data())
            text.copy(place, text.size());
        more.copy(place + text.size(), more.size());
        return std::string_view(place, size);
    }

    /// A new T, which must need no destructor: none is ever called.
    template <typename T> T& make() {
        static_assert(std::is_trivially_destructible_v<T>);
        return *new (memory_.allocate(sizeof(T), alignof(T))) T();
    }

    /// For containers whose elements live as long as the arena.
    std::pmr::memory_resource* resource() { return &memory_; }

private:
    /// Where a text with `room` bytes to itself can hold `size` bytes: its own place when they
    /// fit, else new room, which `room` then tells.
    char* roomFor(std::string_view text, std::size_t& room, std::size_t size) {
        if (size <= room)
            return const_cast<char*>(text.data());
        room = std::max(size, 2 * room);
        return static_cast<char*>(memory_.allocate(room, 1));
    }

    // Blocks grow from this size, so that a small store costs little and a large one few blocks.
    std::pmr::monotonic_buffer_resource memory_{64 * 1024};
};

} // namespace modRegistryUpdate::store
