#include "fakes/fake_platform.h"
#include "meters/document_builders.h"
#include "meters/parse_nodes.h"

#include <gtest/gtest.h>

namespace modRegistryUpdate {
namespace {

using namespace fakes;
using Lines = std::vector<std::string>;

const std::string base = "SOFTWARE\\M\\N\\V\\DeviceInfo\\";

struct ParseNodes : ::testing::Test {
    /// Loads the document and runs every include of its first product.
    void build(FakeElement meters) {
        fake.xml.documents["doc"] = std::move(meters);
        document.xml = fake.xml.createDocument();
        ASSERT_TRUE(document.xml->load("doc"));
        for (const auto& include :
             document.xml->selectNodes("//Meters/Product")[0]->selectNodes("./IncludeKey"))
            parseNodes(module, document, *include);
    }

    FakePlatform fake;
    std::unique_ptr<TextLog> log = fake.logs.createTextFile("log");
    Module module{fake.platform, *log};
    MeterDocument document;
};

TEST_F(ParseNodes, WritesFirmwareAndTemplateStringTreeOfTheIncludedVendorOnly) {
    FakeElement nested{"Group", {}, {entry("FREQ", "freq.tpl")}};
    build({"Meters",
           {},
           {product("", {"Acme"}),
            device("Acme", "T1",
                   {firmware("1.0", {key("AC", "ac.cfg"), key("", "default.cfg")}),
                    {"Firmware", {}, {key("DC", "noversion.cfg")}}},
                   {category("AC", {entry("VRMS", "vrms.tpl"), nested}), category("DC", {})}),
            device("Acme", "T2", {}), device("acme", "Other", {firmware("9", {key("AC", "x")})})}});

    EXPECT_EQ(fake.logs.lines, Lines{});
    EXPECT_EQ(fake.registry.value(base + "T1\\1.0", "AC"), "ac.cfg");
    EXPECT_EQ(fake.registry.value(base + "T1\\1.0", ""), "default.cfg");
    EXPECT_EQ(fake.registry.value(base + "T1\\", "DC"), "noversion.cfg");
    EXPECT_EQ(fake.registry.value(base + "T1\\TemplateStrings\\AC", "VRMS"), "vrms.tpl");
    EXPECT_EQ(fake.registry.value(base + "T1\\TemplateStrings\\AC", "FREQ"), "freq.tpl");
    EXPECT_TRUE(fake.registry.hasKey(base + "T1\\TEMPLATESTRINGS\\DC"));
    EXPECT_TRUE(fake.registry.hasKey(base + "T2"));
    EXPECT_FALSE(fake.registry.hasKey(base + "T2\\TEMPLATESTRINGS"));
    EXPECT_FALSE(fake.registry.hasKey(base + "OTHER"));
    EXPECT_EQ(fake.products.created, 2); // one component per device
}

TEST_F(ParseNodes, VendorIsMatchedAsExactTextWhateverItHolds) {
    const std::string tricky = "O'Brien' or @vendor='Acme";
    build({"Meters",
           {},
           {product("", {tricky}),
            device("Acme", "A", {}),
            device(tricky, "B", {}),
            {"Nested", {}, {device(tricky, "C", {})}}}});
    EXPECT_EQ(fake.logs.lines, Lines{});
    EXPECT_EQ(fake.registry.keys, (std::set<std::string>{"SOFTWARE\\M\\N\\V\\DEVICEINFO\\B"}));
}

TEST_F(ParseNodes, MissingAttributeSkipsRestOfIncludeOnly) {
    FakeElement noFilename{"Key", {{"voltsMode", "K3"}}, {}};
    FakeElement noVendor{"IncludeKey", {}, {}};
    FakeElement first = product("", {"Acme"});
    first.children.push_back(noVendor);
    first.children.push_back({"IncludeKey", {{"vendor", "Beta"}}, {}});
    build({"Meters",
           {},
           {first,
            device("Acme", "T",
                   {firmware("1", {key("K1", "1"), key("K2", "2"), noFilename, key("K4", "4")}),
                    firmware("2", {key("K5", "5")})}),
            device("Acme", "Later", {}), device("Beta", "B", {})}});

    const std::string suffix = " Sub: parseNodes: An error has occured developing registry file";
    EXPECT_EQ(
        fake.logs.lines,
        (Lines{"Invalid use of Null: attribute \"Filename\" is missing at /Key" + suffix,
               "Invalid use of Null: attribute \"vendor\" is missing at /IncludeKey" + suffix}));
    EXPECT_EQ(fake.registry.value(base + "T\\1", "K2"), "2");
    EXPECT_EQ(fake.registry.value(base + "T\\1", "K4"), std::nullopt);
    EXPECT_FALSE(fake.registry.hasKey(base + "T\\2"));
    EXPECT_FALSE(fake.registry.hasKey(base + "LATER"));
    EXPECT_TRUE(fake.registry.hasKey(base + "B"));
    EXPECT_EQ(fake.registry.openHandles, 0);
}

TEST_F(ParseNodes, UnavailableProductIdentityAbandonsTheInclude) {
    fake.products.registered = false;
    build(
        {"Meters", {}, {product("", {"Acme"}), device("Acme", "A", {}), device("Acme", "B", {})}});
    EXPECT_EQ(fake.logs.lines,
              (Lines{"Class not registered ", "Could not generate a subkey, exiting..."}));
    EXPECT_TRUE(fake.registry.keys.empty());
}

TEST_F(ParseNodes, RegistryFailuresAreLoggedAndTheIncludeGoesOn) {
    fake.registry.deniedKeys = {base + "T\\1"};
    build({"Meters",
           {},
           {product("", {"Acme"}),
            device("Acme", "T",
                   {firmware("1", {key("AC", "a")}), firmware("2", {key("DC", "d")})})}});
    EXPECT_EQ(fake.logs.lines,
              (Lines{"Access is denied. Could not create registry key: HKEY_LOCAL_MACHINE\\" +
                         base + "T\\1",
                     "Access is denied. Could not write registry value \"AC\" in "
                     "HKEY_LOCAL_MACHINE\\" +
                         base + "T\\1"}));
    EXPECT_EQ(fake.registry.value(base + "T\\2", "DC"), "d");
}

TEST_F(ParseNodes, SelectionFailureIsAFailureOfTheInclude) {
    fake.xml.failingExpression = "./Key";
    build({"Meters", {}, {product("", {"Acme"}), device("Acme", "T", {firmware("1", {})})}});
    EXPECT_EQ(fake.logs.lines,
              Lines{"Selection failed Sub: parseNodes: An error has occured developing registry "
                    "file"});
}

} // namespace
} // namespace modRegistryUpdate
