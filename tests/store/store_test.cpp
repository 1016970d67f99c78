// What a run of the Linux program cannot show of its store: the line a parse error names, and
// names compared as the registry compares them, which otherwise only the tests against Wine's
// registry show.
#include "store/file_text.h"
#include "store/key_tree.h"
#include "store/reg_file.h"
#include "store/store_error.h"
#include "text/unicode_text.h"

#include <gtest/gtest.h>

#include <string>

namespace modRegistryUpdate::store {
namespace {

const std::string header = "Windows Registry Editor Version 5.00\r\n\r\n";
const std::string section = "[HKEY_LOCAL_MACHINE\\A]\r\n";

/// The error reading the file raises, or "" when it reads.
std::string readError(const std::string& bytes) {
    KeyTree tree;
    FileText text;
    try {
        readRegFile(bytes, tree, text);
    } catch (const StoreError& failure) {
        return failure.what();
    }
    return "";
}

TEST(Store, AParseErrorNamesItsLine) {
    const struct {
        std::string file;
        std::string error;
    } cases[] = {
        {"REGEDIT4\r\n",
         "line 1: the file does not start with \"Windows Registry Editor Version 5.00\""},
        {header + "\"a\"=\"b\"\r\n", "line 3: a value before the first key"},
        {header + section + "\"a\"=\"b\r\n", "line 4: a quoted string is not closed"},
        // Continued lines count, whether the fault stands on one or after them.
        {header + section + "\"h\"=hex:01,\\\r\n  zz\r\n",
         "line 5: hex data holds something other than two-digit bytes"},
        {header + section + "\"h\"=hex:01,\\\r\n  02\r\nbogus\r\n", "line 6: unrecognised text"},
        {header + section + "\"a\"=\"b\"\n\n\"c\"=-\n",
         "line 6: a value deletion cannot be part of a store"},
        {"\xFF\xFE" + text::utf8ToUtf16le(header) + "[",
         "line 3: the file ends in half a UTF-16 character"},
        {header + section + "\"a\"=\"b\"\r\n; comment\r\n", ""},
    };
    for (const auto& [file, error] : cases)
        EXPECT_EQ(readError(file), error) << file;
}

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
