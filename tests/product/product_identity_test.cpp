#include "fakes/fake_platform.h"
#include "product/product_identity.h"

#include <gtest/gtest.h>

namespace modRegistryUpdate {
namespace {

// A component gone between two creations in one run: no run can stage it, as the product name
// is read first and a failure there ends the pass.
TEST(ProductIdentity, ComponentThatCannotBeCreatedIsLoggedWithoutCompanyContext) {
    fakes::FakePlatform fake;
    fake.products.registered = false;
    const std::unique_ptr<TextLog> log = fake.logs.createTextFile("log");
    Module module{fake.platform, *log};
    EXPECT_EQ(getProductSubKey(module), "");
    EXPECT_EQ(fake.logs.lines, std::vector<std::string>{"Class not registered "});
}

} // namespace
} // namespace modRegistryUpdate
