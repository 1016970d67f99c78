// Facts of the store's name comparison that otherwise only the tests against Wine's registry
// show, which the Linux tests cannot run.
#include "text/unicode_text.h"

#include <gtest/gtest.h>

namespace modRegistryUpdate::text {
namespace {

TEST(UnicodeText, UpperCaseOnlyWhereTheMappingLeadsBackAndNeverBeyondUPlusFFFF) {
    EXPECT_EQ(upperCaseUtf8("iσǆÿk"), "IΣǄŸK");
    EXPECT_EQ(upperCaseUtf8("ıſςµǅϐᲀß𐐨"), "ıſςµǅϐᲀß𐐨");
    EXPECT_FALSE(equalFolded("K𐐀", "K𐐨"));
    EXPECT_TRUE(equalFolded("Zähler ǅ", "zÄHLER ǅ"));
}

} // namespace
} // namespace modRegistryUpdate::text
