#include "store/key_path_cache.h"

#include <algorithm>

namespace modRegistryUpdate::store {

Key* KeyPathCache::resolve(KeyTree& store, std::string_view path, bool create, bool& created) {
    created = false;
    // The same path again, as for every value written into the key just opened.
    if (path == lastPath_ && !lastKeys_.empty())
        return lastKeys_.back().second;
    // The deepest remembered key whose path text starts this one, ending where a segment does.
    const std::size_t common = static_cast<std::size_t>(
        std::mismatch(path.begin(), path.end(), lastPath_.begin(), lastPath_.end()).first -
        path.begin());
    Key* key = &store.root();
    std::size_t start = 0;
    std::size_t kept = 0;
    for (const auto& [end, known] : lastKeys_) {
        if (end > common || (end < path.size() && path[end] != '\\'))
            break;
        key = known;
        start = end;
        ++kept;
    }
    lastKeys_.resize(kept);
    lastPath_.assign(path);

    const bool found = forEachSegment(path.substr(start), [&](std::string_view segment) {
        key = create ? &store.child(*key, segment, true, created) : store.child(*key, segment);
        if (key)
            lastKeys_.emplace_back(segment.data() + segment.size() - path.data(), key);
        return key != nullptr;
    });
    if (!found) {
        // Only the part that exists is worth remembering.
        lastPath_.resize(lastKeys_.empty() ? 0 : lastKeys_.back().first);
        return nullptr;
    }
    return key;
}

} // namespace modRegistryUpdate::store
