#include "fakes/fake_platform.h"
#include "registry/registry_writer.h"

#include <gtest/gtest.h>

namespace modRegistryUpdate {
namespace {

const RegistryRoot hklm = RegistryRoot::localMachine;

AttributeValue text(const char* value) {
    return AttributeValue(std::string(value), "attribute", "Filename");
}

TEST(RegistryWriter, EveryOperationClosesWhatItOpened) {
    fakes::FakeRegistry registry;
    EXPECT_EQ(createRegistryKey(registry, hklm, "A\\B"), registrySuccess);
    EXPECT_EQ(setRegistryValue(registry, hklm, "a\\b", "", text("x.cfg")), registrySuccess);
    EXPECT_EQ(setRegistryValue(registry, hklm, "A\\B", "", text("y.cfg")), registrySuccess);
    EXPECT_EQ(registry.value("A\\B", ""), "y.cfg");
    EXPECT_THROW(
        setRegistryValue(registry, hklm, "A\\B", "n", AttributeValue({}, "attribute", "Filename")),
        Failure);
    EXPECT_EQ(registry.value("A\\B", "n"), std::nullopt);
    EXPECT_EQ(registry.openHandles, 0);
}

TEST(RegistryWriter, FailedOpenReportsItsOwnStatusAndWritesNothing) {
    fakes::FakeRegistry registry;
    registry.deniedKeys = {"X"};
    EXPECT_EQ(createRegistryKey(registry, hklm, "X"), 5);
    EXPECT_EQ(setRegistryValue(registry, hklm, "X", "n", text("v")), 5);
    EXPECT_EQ(setRegistryValue(registry, hklm, "Missing", "n", text("v")), 2);
    EXPECT_TRUE(registry.values.empty());
    EXPECT_THROW(
        setRegistryValue(registry, hklm, "X", "n", AttributeValue({}, "attribute", "Filename")),
        Failure);
    EXPECT_EQ(registry.openHandles, 0);
}

} // namespace
} // namespace modRegistryUpdate
