#include "fakes/fake_platform.h"
#include "run/run_registry_update.h"

#include <gtest/gtest.h>

namespace modRegistryUpdate {
namespace {

using Lines = std::vector<std::string>;

TEST(RunRegistryUpdate, LogFailingMidRunIsReportedElsewhereAndChangesAreStillSaved) {
    fakes::FakePlatform fake;
    fake.logs.writesBeforeFailure = 0; // the load failure line cannot be written
    runRegistryUpdate(fake.platform);
    EXPECT_EQ(fake.runtime.unlogged, Lines{"Disk full Could not create registry file"});
    EXPECT_EQ(fake.registry.saves, 1);
}

TEST(RunRegistryUpdate, UnreadableCommandLineIsLoggedBeforeTheFailedLoad) {
    fakes::FakePlatform fake;
    fake.runtime.arguments.reset();
    runRegistryUpdate(fake.platform);
    EXPECT_EQ(fake.logs.lines, (Lines{"No command line. Could not read commandline, invalid "
                                      "settings",
                                      " Error reading xml document: meters.xml"}));
}

} // namespace
} // namespace modRegistryUpdate
