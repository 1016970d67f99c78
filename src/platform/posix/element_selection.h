#pragma once

#include "platform/posix/element_tree.h"
#include "platform/xml.h"

#include <vector>

namespace modRegistryUpdate::posix {

/// The elements `path` reaches from `context` (0 for the document), in document order, each once.
/// A name matches the elements written with that name, whatever namespace they lie in, as MSXML's
/// default selection language matches them for the Windows program.
std::vector<ElementTree::Index> selectElements(const ElementTree& tree, ElementTree::Index context,
                                               const ElementPath& path);

} // namespace modRegistryUpdate::posix
