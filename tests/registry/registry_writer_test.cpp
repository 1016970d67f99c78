#include "fakes/fake_platform.h"
#include "registry/registry_writer.h"

#include <gtest/gtest.h>

namespace modRegistryUpdate {
namespace {

// The cases cannot tell the statuses apart: each build words them its own way, so their logs
// hold "{*}" there.
TEST(RegistryWriter, RefusedOpenReportsTheRegistrysOwnStatus) {
    fakes::FakeRegistry registry;
    const RegistryStatus refused = setRegistryValue(registry, RegistryRoot::localMachine, "Missing",
                                                    "n", AttributeValue("v", "a", "b"));
    EXPECT_EQ(refused.code(), registryFileNotFound);
    EXPECT_EQ(refused.message(), "Status 2.");
}

} // namespace
} // namespace modRegistryUpdate
