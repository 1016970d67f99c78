#include "platform/posix/element_selection.h"

#include "run/failure.h"

#include <algorithm>
#include <libxml/tree.h>

namespace modRegistryUpdate::posix {
namespace {

bool matches(const ElementTree::Element& element, const ElementSelection::Step& step) {
    return element.name == step.name;
}

} // namespace

ElementSelection compileSelection(const std::string& expression, ElementTree& tree) {
    const auto invalid = [&] {
        return Failure("Invalid selection \"" + expression + "\"");
    };
    ElementSelection selection;
    std::size_t at = 0;
    if (expression.compare(0, 1, "/") == 0)
        selection.fromDocument = true;
    else if (expression.compare(0, 2, "./") == 0)
        at = 1;
    bool first = at == 0 && !selection.fromDocument;
    while (first || at < expression.size()) {
        bool anyDepth = false;
        if (!first) {
            if (expression[at] != '/')
                throw invalid();
            anyDepth = expression.compare(at, 2, "//") == 0;
            at += anyDepth ? 2 : 1;
        }
        first = false;
        const std::size_t end = std::min(expression.find('/', at), expression.size());
        const std::string name = expression.substr(at, end - at);
        // A prefixed name would need namespaces the program never declares.
        if (xmlValidateNCName(reinterpret_cast<const xmlChar*>(name.c_str()), 0) != 0)
            throw invalid();
        selection.steps.push_back(
            {anyDepth,
             xmlDictLookup(tree.names.get(), reinterpret_cast<const xmlChar*>(name.c_str()),
                           static_cast<int>(name.size()))});
        at = end;
    }
    return selection;
}

std::vector<ElementTree::Index> selectElements(const ElementTree& tree, ElementTree::Index context,
                                               const ElementSelection& selection) {
    // Room for a device's few children at each step, so that most selections allocate twice.
    constexpr std::size_t usualCount = 16;
    std::vector<ElementTree::Index> reached;
    std::vector<ElementTree::Index> next;
    reached.reserve(usualCount);
    next.reserve(usualCount);
    reached.push_back(selection.fromDocument ? 0 : context);
    for (const ElementSelection::Step& step : selection.steps) {
        next.clear();
        if (step.anyDepth) {
            // Descendants are the elements up to the element's end; a reached element inside
            // another's range was scanned with it.
            ElementTree::Index scanned = 0;
            for (ElementTree::Index from : reached) {
                if (from < scanned)
                    continue;
                scanned = tree.elements[from].end;
                for (ElementTree::Index i = from + 1; i < scanned; ++i) {
                    if (matches(tree.elements[i], step))
                        next.push_back(i);
                }
            }
        } else {
            for (ElementTree::Index from : reached) {
                for (ElementTree::Index child = tree.elements[from].firstChild; child != 0;
                     child = tree.elements[child].nextSibling) {
                    if (matches(tree.elements[child], step))
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
