#include "store/key_path_cache.h"

namespace modRegistryUpdate::store {

Key* KeyPathCache::repeated(std::string_view path) const {
    return path == lastPath_ && !lastKeys_.empty() ? lastKeys_.back().second : nullptr;
}

bool KeyPathCache::startsWithPathTo(std::string_view path, std::size_t end) const {
    return end <= path.size() && (end == path.size() || path[end] == '\\') &&
           path.substr(0, end) == std::string_view(lastPath_).substr(0, end);
}

Key* KeyPathCache::resolve(KeyTree& store, std::string_view path, bool create) {
    if (Key* same = repeated(path))
        return same;
    // The deepest remembered key whose path text starts this one, ending where a segment does:
    // any shallower one then does too.
    std::size_t kept = lastKeys_.size();
    while (kept > 0 && !startsWithPathTo(path, lastKeys_[kept - 1].first))
        --kept;
    Key* key = kept > 0 ? lastKeys_[kept - 1].second : &store.root();
    const std::size_t start = kept > 0 ? lastKeys_[kept - 1].first : 0;
    lastKeys_.resize(kept);
    lastPath_.assign(path);

    const bool found = forEachSegment(path.substr(start), [&](std::string_view segment) {
        key = create ? &store.findOrMakeChild(*key, segment) : store.child(*key, segment);
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
