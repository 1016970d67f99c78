#include "platform/posix/element_selection.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

#include "run/failure.h"

namespace modRegistryUpdate::posix {
namespace {

ElementTree parsed(const std::string& text) {
    std::FILE* file = std::tmpfile();
    std::fputs(text.c_str(), file);
    std::rewind(file);
    ElementTree tree;
    EXPECT_TRUE(parseElementTree(fileno(file), text.size(), "", tree));
    std::fclose(file);
    return tree;
}

std::vector<ElementTree::Index> select(ElementTree& tree, const std::string& expression) {
    return selectElements(tree, 0, compileSelection(expression, tree));
}

// The program's own selections never reach an element twice; a general path can, and must still
// give each element once, in document order.
TEST(ElementSelection, NestedMatchesComeOnceInDocumentOrder) {
    //                       1    2    3    4    5    6    7
    ElementTree tree = parsed("<A><A><B/><A><B/></A></A><B/></A>");
    EXPECT_EQ(select(tree, ".//A//B"), (std::vector<ElementTree::Index>{3, 5, 6}));
    EXPECT_EQ(select(tree, "//A/B"), (std::vector<ElementTree::Index>{3, 5, 6}));
    EXPECT_EQ(select(tree, "/A/B"), (std::vector<ElementTree::Index>{6}));
    EXPECT_EQ(select(tree, "A/A/B"), (std::vector<ElementTree::Index>{3}));
}

TEST(ElementSelection, AnythingButAPathOfNamesIsRefused) {
    ElementTree tree = parsed("<A/>");
    for (const char* expression : {"", ".", "./", "A/", "A[1]", "@A", "p:A", "A|B", "*", "./A//"})
        EXPECT_THROW(compileSelection(expression, tree), Failure) << expression;
}

} // namespace
} // namespace modRegistryUpdate::posix
