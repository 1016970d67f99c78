#include "platform/failure.h"
#include "platform/posix/reg_file.h"
#include "platform/posix/store_product_component.h"
#include "platform/posix/store_registry.h"
#include "platform/posix/temporary_folder.h"
#include "platform/posix/unicode_text.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace modRegistryUpdate::posix {
namespace {

const RegistryRoot hklm = RegistryRoot::localMachine;

struct StoreRegistryTest : ::testing::Test {
    void writeStore(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    std::string readStore() const {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    TemporaryFolder folder;
    std::string path = folder.path() + "/HKEY_LOCAL_MACHINE.reg";
    StoreFile file{[this] {
        return path;
    }};
    StoreRegistry registry{file};
};

TEST_F(StoreRegistryTest, KeysFollowTheRegistrysRulesForNamesAndPaths) {
    RegistryKey key = 0;
    EXPECT_EQ(registry.openKey(hklm, "SOFTWARE\\A", key), 2);
    EXPECT_EQ(registry.createKey(hklm, "SOFTWARE\\\\A\\B\\", key), registrySuccess);
    EXPECT_EQ(registry.openKey(hklm, "software\\a\\b", key), registrySuccess);
    EXPECT_EQ(registry.setTextValue(key, "Name", "one"), registrySuccess);
    EXPECT_EQ(registry.setTextValue(key, "NAME", "two"), registrySuccess);
    EXPECT_EQ(registry.setTextValue(key, "", "default"), registrySuccess);

    RegistryKey untouched = 0;
    EXPECT_EQ(registry.createKey(hklm, "\\SOFTWARE", untouched), 161);
    EXPECT_EQ(registry.createKey(hklm, "SOFTWARE\\" + std::string(256, 'k'), untouched), 87);
    EXPECT_EQ(registry.createKey(hklm, "SOFTWARE\\" + std::string(255, 'k'), untouched), 0);
    EXPECT_EQ(registry.setTextValue(key, std::string(16384, 'v'), "x"), 87);
    EXPECT_EQ(registry.setTextValue(0, "v", "x"), 6);
    EXPECT_EQ(registry.saveChanges(), registrySuccess);

    // A store the run creates is written as Windows exports: UTF-16LE with a byte-order mark.
    const std::string saved = readStore();
    EXPECT_EQ(saved.substr(0, 2), "\xFF\xFE");
    EXPECT_NE(saved.find(utf8ToUtf16le(
                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\A\\B]\r\n\"Name\"=\"two\"\r\n@=\"default\"")),
              std::string::npos);
    EXPECT_EQ(registry.storeLocation(), path);
}

TEST_F(StoreRegistryTest, MalformedStoreFailsEveryOperationAndIsNeverOverwritten) {
    const std::string malformed = "Windows Registry Editor Version 5.00\r\n\r\nnonsense\r\n";
    writeStore(malformed);
    RegistryKey key = 0;
    const RegistryStatus status = registry.createKey(hklm, "SOFTWARE\\A", key);
    EXPECT_NE(status, registrySuccess);
    EXPECT_EQ(registry.describe(status),
              "The registry store " + path + " cannot be read: line 3: unrecognised text");
    EXPECT_NE(registry.openKey(hklm, "SOFTWARE", key), registrySuccess);
    StoreProductComponentFactory products(file);
    EXPECT_THROW(products.create("ProductInfo.ProductInfo"), Failure);
    EXPECT_EQ(registry.saveChanges(), registrySuccess);
    EXPECT_EQ(readStore(), malformed);
}

TEST_F(StoreRegistryTest, FailedSaveLeavesTheOldStoreWhole) {
    const std::string old =
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\X]\r\n\r\n";
    writeStore(old);
    RegistryKey key = 0;
    ASSERT_EQ(registry.createKey(hklm, "X\\Y", key), registrySuccess);
    mkdir((path + ".new").c_str(), 0755); // the temporary file cannot be created
    const RegistryStatus status = registry.saveChanges();
    EXPECT_NE(status, registrySuccess);
    EXPECT_NE(registry.describe(status).find(path + ".new"), std::string::npos);
    EXPECT_EQ(readStore(), old);
}

TEST_F(StoreRegistryTest, ProductComponentReadsItsClassKey) {
    writeStore("Windows Registry Editor Version 5.00\r\n\r\n"
               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\ProductInfo.ProductInfo]\r\n"
               "\"Manufacturer\"=\"Acme\"\r\n\"ProductVersion\"=dword:0000000c\r\n"
               "\"ProductName\"=hex(1):4e,00,00,00\r\n\"Odd\"=hex:01\r\n");
    StoreProductComponentFactory products(file);
    const auto product = products.create("ProductInfo.ProductInfo");
    EXPECT_EQ(product->getProperty("manufacturer"), "Acme");
    EXPECT_EQ(product->getProperty("ProductVersion"), "12");
    EXPECT_EQ(product->getProperty("ProductName"), "N");
    EXPECT_EQ(product->getProperty("Missing"), std::nullopt);
    EXPECT_THROW(product->getProperty("Odd"), Failure);
    EXPECT_THROW(products.create("Other.Component"), Failure);
    EXPECT_EQ(registry.saveChanges(), registrySuccess);
}

} // namespace
} // namespace modRegistryUpdate::posix
