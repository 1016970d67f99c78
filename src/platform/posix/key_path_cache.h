#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/posix/reg_store.h"

namespace modRegistryUpdate::posix {

/// Resolves key paths, remembering the keys along the last one: a run opens the same key once
/// for every value it writes and creates each key beside or below the last, so most paths
/// walk only the segments that differ from the one before.
class KeyPathCache {
public:
    /// The key at this path, or null when it does not exist; with `create`, made with its
    /// missing parents instead, `created` telling whether any was.
    RegKey* resolve(RegStore& store, std::string_view path, bool create, bool& created);

private:
    std::string lastPath_;
    std::vector<std::pair<std::size_t, RegKey*>> lastKeys_; ///< the key ending at each offset
};

} // namespace modRegistryUpdate::posix
