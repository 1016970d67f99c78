#include "fakes/fake_platform.h"
#include "registry/registry_writer.h"
#include "run/failure.h"

#include <gtest/gtest.h>

namespace modRegistryUpdate {
namespace {

const RegistryRoot hklm = RegistryRoot::localMachine;

AttributeValue text(std::optional<std::string> value) {
    return AttributeValue(std::move(value), "attribute", "Filename");
}

TEST(RegistryWriter, EveryOperationClosesWhatItOpenedHoweverItEnds) {
    fakes::FakeRegistry registry;
    EXPECT_TRUE(createRegistryKey(registry, hklm, "A").ok());
    EXPECT_TRUE(setRegistryValue(registry, hklm, "A", "", text("x.cfg")).ok());
    EXPECT_THROW(setRegistryValue(registry, hklm, "A", "n", text({})), Failure);
    EXPECT_THROW(setRegistryValue(registry, hklm, "Missing", "n", text({})), Failure);
    EXPECT_EQ(registry.values["A"], (std::map<std::string, std::string>{{"", "x.cfg"}}));
    EXPECT_EQ(registry.openHandles, 0);
}

TEST(RegistryWriter, RefusedOpenReportsItsOwnStatusAndWritesNothing) {
    fakes::FakeRegistry registry;
    registry.deniedKeys = {"X"};
    EXPECT_EQ(createRegistryKey(registry, hklm, "X").code(), registryAccessDenied);
    const RegistryStatus refused = setRegistryValue(registry, hklm, "X", "n", text("v"));
    EXPECT_EQ(refused.code(), registryAccessDenied);
    EXPECT_EQ(refused.message(), "Status 5.");
    EXPECT_EQ(setRegistryValue(registry, hklm, "Missing", "n", text("v")).code(),
              registryFileNotFound);
    EXPECT_TRUE(registry.values.empty());
    EXPECT_EQ(registry.openHandles, 0);
}

} // namespace
} // namespace modRegistryUpdate
