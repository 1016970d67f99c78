#pragma once

#include "platform/posix/element_tree.h"

#include <string>
#include <vector>

namespace modRegistryUpdate::posix {

/// A location path of element names, the only selections the program makes: `./A/B`, `.//A`,
/// `//A/B`, `/A` or `A/B`. A name matches the elements written with that name, whatever namespace
/// they lie in, as MSXML's default selection language matches them for the Windows program.
struct ElementSelection {
    struct Step {
        bool anyDepth;       ///< `//`: any descendant rather than a child
        const xmlChar* name; ///< interned in the tree's dictionary
    };
    bool fromDocument = false;
    std::vector<Step> steps;
};

/// Reads a selection. Any other expression raises a Failure naming it.
ElementSelection compileSelection(const std::string& expression, ElementTree& tree);

/// The elements the selection reaches from `context`, in document order, each once.
std::vector<ElementTree::Index> selectElements(const ElementTree& tree, ElementTree::Index context,
                                               const ElementSelection& selection);

} // namespace modRegistryUpdate::posix
