// Facts of the store's name comparison that otherwise only the differential test against Wine's
// registry shows, which the Linux tests cannot run.
#include "store/unicode_text.h"

#include <gtest/gtest.h>

namespace modRegistryUpdate::store {
namespace {

TEST(UnicodeText, UpperCaseOnlyWhereTheMappingLeadsBack) {
    EXPECT_EQ(upperCaseUnit(u'i'), u'I');
    EXPECT_EQ(upperCaseUnit(u'σ'), u'Σ');
    EXPECT_EQ(upperCaseUnit(u'ǆ'), u'Ǆ');
    EXPECT_EQ(upperCaseUnit(u'ÿ'), u'Ÿ');
    for (const char16_t kept : {u'ı', u'ſ', u'ς', u'µ', u'ǅ', u'ϐ', u'ᲀ', u'ß'})
        EXPECT_EQ(upperCaseUnit(kept), kept) << static_cast<int>(kept);
}

TEST(UnicodeText, CharactersBeyondUPlusFFFFAreUnitsWithoutUpperCase) {
    EXPECT_FALSE(equalFolded("K𐐀", "K𐐨"));
    EXPECT_EQ(upperCaseUtf8("k𐐨"), "K𐐨");
}

} // namespace
} // namespace modRegistryUpdate::store
