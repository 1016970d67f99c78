#pragma once

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
    std::string_view keep(std::string_view text) { return join(text, std::string_view()); }

    /// The two texts one after the other, as a copy that lasts as long as the arena.
    std::string_view join(std::string_view first, std::string_view second) {
        const std::size_t size = first.size() + second.size();
        if (size == 0)
            return std::string_view();
        char* copy = static_cast<char*>(memory_.allocate(size, 1));
        // Copied as views copy, which allow the null data of an empty view.
        first.copy(copy, first.size());
        second.copy(copy + first.size(), second.size());
        return std::string_view(copy, size);
    }

    /// A new T, which must need no destructor: none is ever called.
    template <typename T> T& make() {
        static_assert(std::is_trivially_destructible_v<T>);
        return *new (memory_.allocate(sizeof(T), alignof(T))) T();
    }

    /// For containers whose elements live as long as the arena.
    std::pmr::memory_resource* resource() { return &memory_; }

private:
    // Blocks grow from this size, so that a small store costs little and a large one few blocks.
    std::pmr::monotonic_buffer_resource memory_{64 * 1024};
};

} // namespace modRegistryUpdate::store
