#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "store/key_tree.h"

namespace modRegistryUpdate::store {

/// Resolves key paths, remembering the keys along the last one: a run opens the same key once
/// for every value it writes and creates each key beside or below the last, so most paths
/// walk only the segments that differ from the one before.
class KeyPathCache {
public:
    /// The key at this path, or null when it does not exist; with `create`, made with its
    /// missing parents instead.
    Key* resolve(KeyTree& store, std::string_view path, bool create);
    /// The key of the last path resolved, when this is that path again; else null.
    Key* repeated(std::string_view path) const;

private:
    /// Whether the path starts with the last path's first `end` bytes, ending there a segment.
    bool startsWithPathTo(std::string_view path, std::size_t end) const;

    std::string lastPath_;
    std::vector<std::pair<std::size_t, Key*>> lastKeys_; ///< the key ending at each offset
};

} // namespace modRegistryUpdate::store
