#include "fakes/fake_platform.h"
#include "platform/failure.h"
#include "product/product_identity.h"

#include <gtest/gtest.h>

namespace modRegistryUpdate {
namespace {

using fakes::FakePlatform;
using Lines = std::vector<std::string>;

struct ProductIdentity : ::testing::Test {
    FakePlatform fake;
    std::unique_ptr<TextLog> log = fake.logs.createTextFile("log");
    Module module{fake.platform, *log};
};

TEST_F(ProductIdentity, SubKeyJoinsManufacturerNameAndVersionFromANewComponentEachTime) {
    EXPECT_EQ(getProductSubKey(module), "SOFTWARE\\M\\N\\V");
    fake.products.properties["Manufacturer"].reset();
    fake.products.properties["ProductVersion"] = "7";
    EXPECT_EQ(getProductSubKey(module), "SOFTWARE\\\\N\\7");
    EXPECT_EQ(fake.products.created, 2);
    EXPECT_EQ(fake.logs.lines, Lines{});
}

TEST_F(ProductIdentity, FailuresGiveEmptySubKeyAndOneLineEach) {
    fake.products.failingProperty = "ProductName";
    EXPECT_EQ(getProductSubKey(module), "");
    fake.products.registered = false;
    EXPECT_EQ(getProductSubKey(module), "");
    EXPECT_EQ(fake.logs.lines,
              (Lines{"Property read failed SubKey could not be set, missing company settings",
                     "Class not registered "}));
}

TEST_F(ProductIdentity, NullProductNameCannotBeRead) {
    fake.products.properties["ProductName"].reset();
    EXPECT_THROW(readProductName(module), Failure);
}

} // namespace
} // namespace modRegistryUpdate
