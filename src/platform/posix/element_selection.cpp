#include "platform/posix/element_selection.h"

#include <algorithm>

namespace modRegistryUpdate::posix {

std::vector<ElementTree::Index> selectElements(const ElementTree& tree, ElementTree::Index context,
                                               const ElementPath& path) {
    // Room for a device's few children at each step, so that most selections allocate twice.
    constexpr std::size_t usualCount = 16;
    std::vector<ElementTree::Index> reached;
    std::vector<ElementTree::Index> next;
    reached.reserve(usualCount);
    next.reserve(usualCount);
    reached.push_back(context);
    for (const ElementStep& step : path.steps) {
        // Names are interned: a name the document never holds reaches nothing, and the others
        // are compared as pointers. Any name is no pointer: null stands for it.
        const bool anyName = step.name == ElementStep::anyName;
        const xmlChar* name =
            anyName ? nullptr
                    : xmlDictExists(tree.names.get(),
                                    reinterpret_cast<const xmlChar*>(step.name.c_str()),
                                    static_cast<int>(step.name.size()));
        if (!name && !anyName)
            return {};
        const auto reaches = [&](ElementTree::Index i) {
            return anyName || tree.elements[i].name == name;
        };
        next.clear();
        if (step.axis == ElementStep::Axis::descendant) {
            // Descendants are the elements up to the element's end; a reached element inside
            // another's range was scanned with it.
            ElementTree::Index scanned = 0;
            for (ElementTree::Index from : reached) {
                if (from < scanned)
                    continue;
                scanned = tree.elements[from].end;
                for (ElementTree::Index i = from + 1; i < scanned; ++i) {
                    if (reaches(i))
                        next.push_back(i);
                }
            }
        } else {
            for (ElementTree::Index from : reached) {
                for (ElementTree::Index child = tree.elements[from].firstChild; child != 0;
                     child = tree.elements[child].nextSibling) {
                    if (reaches(child))
                        next.push_back(child);
                }
            }
            // Children of nested elements interleave: document order is index order.
            if (!std::is_sorted(next.begin(), next.end()))
                std::sort(next.begin(), next.end());
        }
        reached.swap(next);
    }
    return reached;
}

} // namespace modRegistryUpdate::posix
