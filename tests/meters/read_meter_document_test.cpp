#include "fakes/fake_platform.h"
#include "meters/document_builders.h"
#include "meters/read_meter_document.h"

#include <gtest/gtest.h>

namespace modRegistryUpdate {
namespace {

using namespace fakes;
using Lines = std::vector<std::string>;

struct DocumentPass : ::testing::Test {
    void run(FakeElement meters) {
        fake.xml.documents["meters.xml"] = std::move(meters);
        readMeterDocument(module);
    }

    /// A document whose products include one vendor each, with one device per vendor.
    void runProducts(std::vector<FakeElement> products) {
        FakeElement meters{"Meters", {}, std::move(products)};
        for (const char* vendor : {"A", "B", "C"})
            meters.children.push_back(device(vendor, vendor, {}));
        run(meters);
    }

    bool built(const std::string& type) const {
        const std::string name = fake.products.properties.at("ProductName").value();
        return fake.registry.hasKey("SOFTWARE\\M\\" + name + "\\V\\DeviceInfo\\" + type);
    }

    FakePlatform fake;
    std::unique_ptr<TextLog> log = fake.logs.createTextFile("log");
    Module module{fake.platform, *log};
};

TEST_F(DocumentPass, FailedLoadNamesTheFixedDocumentWhateverThePath) {
    fake.runtime.arguments = "/somewhere/else.xml";
    readMeterDocument(module);
    EXPECT_EQ(fake.logs.lines, Lines{" Error reading xml document: meters.xml"});
}

TEST_F(DocumentPass, EveryMatchingProductIsBuiltIgnoringCaseAndPosition) {
    fake.products.properties["ProductName"] = "Power Analyzer Pro";
    runProducts({product("analyzer", {"A"}), product("^Pro", {"B"}), product("PRO$", {"C"})});
    EXPECT_EQ(fake.logs.lines, Lines{});
    EXPECT_TRUE(built("A"));
    EXPECT_FALSE(built("B"));
    EXPECT_TRUE(built("C"));
}

TEST_F(DocumentPass, ProductsUnderNestedMetersAreMatchedToo) {
    run({"Root", {}, {{"Meters", {}, {product("", {"A"})}}}});
    EXPECT_EQ(fake.logs.lines, Lines{});
    EXPECT_EQ(fake.products.created, 1); // the name was read; no device was reachable
}

TEST_F(DocumentPass, UpperCasedPatternTurnsClassEscapesIntoTheirOpposites) {
    fake.products.properties["ProductName"] = "x";
    runProducts({product("^\\d$", {"A"}), product("^\\w$", {"B"})});
    EXPECT_TRUE(built("A")); // \d became \D, which "X" matches
    EXPECT_FALSE(built("B"));
}

TEST_F(DocumentPass, BadProductEndsThePassKeepingEarlierEntries) {
    FakeElement nameless{"Product", {}, {{"IncludeKey", {{"vendor", "C"}}, {}}}};
    runProducts({product("", {"A"}), product("(", {"B"}), nameless});
    ASSERT_EQ(fake.logs.lines.size(), 1u);
    EXPECT_EQ(fake.logs.lines[0].rfind("Invalid regular expression \"(\"", 0), 0u);
    EXPECT_EQ(fake.logs.lines[0].back(), ' ');
    EXPECT_TRUE(built("A"));

    fake.logs.lines.clear();
    runProducts({product("", {"A"}), nameless, product("", {"B"})});
    EXPECT_EQ(fake.logs.lines,
              Lines{"Invalid use of Null: attribute \"name\" is missing at /Product "});
    EXPECT_FALSE(built("B"));
}

TEST_F(DocumentPass, MissingProductComponentEndsThePassEvenWithoutProducts) {
    fake.products.registered = false;
    run({"Meters", {}, {}});
    EXPECT_EQ(fake.logs.lines, Lines{"Class not registered "});
}

} // namespace
} // namespace modRegistryUpdate
