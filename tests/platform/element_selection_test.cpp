#include "platform/posix/element_selection.h"
#include "platform/posix/plain_tree.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace modRegistryUpdate::posix {
namespace {

ElementTree parsed(const std::string& text) {
    std::FILE* file = std::tmpfile();
    std::fputs(text.c_str(), file);
    std::rewind(file);
    ElementTree tree;
    EXPECT_EQ(parsePlainTree(fileno(file), text.size(), tree), PlainReading::loaded);
    std::fclose(file);
    return tree;
}

using Axis = ElementStep::Axis;

// The program's own selections never reach an element twice; a path of descendants can, and must
// still give each element once, in document order.
TEST(ElementSelection, NestedMatchesComeOnceInDocumentOrder) {
    //                       1    2    3    4    5    6    7
    ElementTree tree = parsed("<A><A><B/><A><B/></A></A><B/></A>");
    const auto select = [&](ElementTree::Index context, std::vector<ElementStep> steps) {
        return selectElements(tree, context, ElementPath{std::move(steps)});
    };
    using Reached = std::vector<ElementTree::Index>;
    EXPECT_EQ(select(0, {{Axis::descendant, "A"}, {Axis::descendant, "B"}}), (Reached{3, 5, 6}));
    EXPECT_EQ(select(0, {{Axis::descendant, "A"}, {Axis::child, "B"}}), (Reached{3, 5, 6}));
    EXPECT_EQ(select(0, {{Axis::child, "A"}, {Axis::child, "B"}}), (Reached{6}));
    EXPECT_EQ(select(2, {{Axis::child, "A"}, {Axis::child, "B"}}), (Reached{5}));
    EXPECT_EQ(select(2, {{Axis::child, "C"}}), Reached{});
    EXPECT_EQ(select(2, {{Axis::child, "*"}}), (Reached{3, 4}));
    EXPECT_EQ(select(0, {{Axis::descendant, "*"}}), (Reached{1, 2, 3, 4, 5, 6}));
}

} // namespace
} // namespace modRegistryUpdate::posix
