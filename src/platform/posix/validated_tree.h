#pragma once

#include "platform/posix/element_tree.h"

#include <string>

namespace modRegistryUpdate::posix {

/// Parses the open file of `size` bytes, found at `location`, which has a document type
/// declaration: validated against its internal and external subsets together, entities expanded,
/// the external subset and external entities read from local files relative to the document.
/// Returns false when it is not well-formed, not valid, or something it names cannot be read.
bool parseValidatedTree(int fd, std::size_t size, const std::string& location, ElementTree& tree);

} // namespace modRegistryUpdate::posix
