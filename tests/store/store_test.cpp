// Names compared as the registry compares them, which otherwise only the tests against Wine's
// registry show.
#include "store/key_tree.h"
#include "text/unicode_text.h"

#include <gtest/gtest.h>

#include <string>

namespace modRegistryUpdate::store {
namespace {

TEST(Store, NamesCompareUnitByUnitInTheRegistrysUpperCase) {
    // Pattern upper-casing uses the same table.
    EXPECT_EQ(text::upperCaseUtf8("iσǆÿk"), "IΣǄŸK");
    EXPECT_EQ(text::upperCaseUtf8("ıſςµǅϐᲀß𐐨"), "ıſςµǅϐᲀß𐐨");
    const struct {
        std::string made;
        std::string asked;
        bool same;
    } cases[] = {
        {"Zähler ǅ", "zÄHLER ǅ", true},
        {"iσǆÿk", "IΣǄŸK", true},
        {"Mode0", "Mode1", false},
        {"ı", "I", false},
        {"K𐐀", "K𐐨", false},                      // beyond U+FFFF: two units without an upper case
        {"\xED\xA0\x80x", "\xED\xA0\x80X", true}, // a lone surrogate is a unit of its own
        {"a\xFF", "A\xFF", true},                 // a byte that is not UTF-8 equals only itself
        {"a\xFF", "a\xFE", false},                // and is no U+FFFD that any such byte would equal
    };
    for (const auto& [made, asked, same] : cases) {
        KeyTree tree;
        Key& key = tree.create(made);
        EXPECT_EQ(tree.find(asked) == &key, same) << made << " / " << asked << " as keys";
        // A key of a few values scans them, one of many looks them up by hash.
        for (const int others : {0, 9}) {
            for (int other = 0; other < others; ++other)
                tree.putValue(key, Value{"Other" + std::to_string(other), {}});
            tree.putValue(key, Value{made, {}});
            EXPECT_EQ(tree.findValue(key, asked) != nullptr, same)
                << made << " / " << asked << " among " << others + 1 << " values";
        }
    }
}

} // namespace
} // namespace modRegistryUpdate::store
