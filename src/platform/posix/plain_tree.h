#pragma once

#include "platform/posix/element_tree.h"

#include <cstddef>

namespace modRegistryUpdate::posix {

/// How a plain reading of a document ended.
enum class PlainReading {
    loaded,
    failed,       ///< not well-formed, unreadable, or too big for the tree
    declaresType, ///< it has a document type declaration, of which nothing was read
};

/// Parses the open file of `size` bytes as strict XML 1.0 into `tree`, reading only its elements
/// and attributes, as they come. A document with a document type declaration is left at that
/// declaration: it must be read by `parseValidatedTree`. Unless it is `loaded`, `tree` holds
/// nothing worth keeping.
PlainReading parsePlainTree(int fd, std::size_t size, ElementTree& tree);

} // namespace modRegistryUpdate::posix
