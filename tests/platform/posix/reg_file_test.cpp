#include "crlf.h"
#include "platform/posix/reg_file.h"
#include "platform/posix/unicode_text.h"

#include <gtest/gtest.h>

namespace modRegistryUpdate::posix {
namespace {

const std::string exported = crlf(R"(Windows Registry Editor Version 5.00

; kept as written
[HKEY_LOCAL_MACHINE\SOFTWARE\Other]
"Path"="C:\\Program Files\\x \"quoted\""
@="default"
"Count"=dword:0000002A
"Blob"=hex:01,02,\
  03
"Multi"=hex(7):41,00,00,00,00,00

[hkey_local_machine\software\other\Child]
"Text"="a"

; at the end
)");

TEST(RegFile, UntouchedContentIsWrittenBackAsItWasRead) {
    RegStore store;
    readRegFile(exported, store);
    EXPECT_EQ(writeRegFile(store), exported);

    RegKey* other = store.find("software\\OTHER");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(store.findValue(*other, "path")->data, "C:\\Program Files\\x \"quoted\"");
    EXPECT_EQ(store.findValue(*other, "")->data, "default");
    EXPECT_EQ(store.findValue(*other, "count")->number, 42u);
    EXPECT_EQ(store.findValue(*other, "blob")->data, std::string("\x01\x02\x03"));
    EXPECT_EQ(store.findValue(*other, "multi")->type, 7u);
}

TEST(RegFile, ChangedAndNewEntriesAreWrittenInExportForm) {
    RegStore store;
    readRegFile(exported, store);
    bool created = false;
    RegKey& key = store.create("SOFTWARE\\New\\Deep", true, created);
    RegValue path;
    path.name = "a\"b";
    path.data = "C:\\x";
    store.putValue(key, std::move(path));
    RegValue multiLine;
    multiLine.name = "Text";
    multiLine.data = "line1\nline2";
    store.putValue(*store.find("SOFTWARE\\Other\\Child"), std::move(multiLine));

    const std::string written = writeRegFile(store);
    EXPECT_NE(written.find(crlf("[HKEY_LOCAL_MACHINE\\SOFTWARE\\New]\n\n"
                                "[HKEY_LOCAL_MACHINE\\SOFTWARE\\New\\Deep]\n"
                                "\"a\\\"b\"=\"C:\\\\x\"\n")),
              std::string::npos);
    EXPECT_NE(written.find("\"Text\"=hex(1):6c,00,69,00"), std::string::npos);

    RegStore reread;
    readRegFile(written, reread);
    EXPECT_EQ(reread.findValue(*reread.find("software\\other\\child"), "TEXT")->data,
              std::string("l\0i\0n\0e\0001\0\n\0l\0i\0n\0e\0002\0\0\0", 24));
    EXPECT_EQ(reread.findValue(*reread.find("SOFTWARE\\NEW\\DEEP"), "A\"B")->data, "C:\\x");
}

TEST(RegFile, Utf16ExportWithByteOrderMarkIsRead) {
    RegStore store;
    readRegFile("\xFF\xFE" +
                    utf8ToUtf16le(crlf("Windows Registry Editor Version 5.00\n\n"
                                       "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Gr\xC3\xBC\xC3\x9F]\n"
                                       "\"N\"=\"\xE2\x82\xAC\"\n")),
                store);
    RegKey* key = store.find("SOFTWARE\\GR\xC3\x9C\xC3\x9F");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(store.findValue(*key, "n")->data, "\xE2\x82\xAC");
}

TEST(RegFile, MalformedFilesAreRejectedWithTheirLine) {
    const auto lineOf = [](const std::string& text) {
        RegStore store;
        try {
            readRegFile(crlf(text), store);
        } catch (const RegFileError& error) {
            return error.line;
        }
        return std::size_t{0};
    };
    EXPECT_EQ(lineOf("REGEDIT4\n"), 1u);
    EXPECT_EQ(lineOf("Windows Registry Editor Version 5.00\n\"v\"=\"x\"\n"), 2u);
    EXPECT_EQ(lineOf("Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n"), 2u);
    EXPECT_EQ(lineOf("Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\X]\n\"a\"=\"b\n"),
              3u);
    EXPECT_EQ(lineOf("Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\X]\n"
                     "\"a\"=hex:01,\\\n"),
              4u);
    EXPECT_EQ(lineOf("Windows Registry Editor Version 5.00\n[-HKEY_LOCAL_MACHINE\\X]\n"), 2u);
    EXPECT_EQ(lineOf("Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\X]\n"
                     "\"a\"=dword:1234567890\n"),
              3u);
    EXPECT_EQ(lineOf("Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\X]\ngarbage\n"),
              3u);
    EXPECT_EQ(lineOf(""), 0u);
}

} // namespace
} // namespace modRegistryUpdate::posix
