#include "fakes/fake_platform.h"
#include "run/run_registry_update.h"

#include <gtest/gtest.h>

namespace modRegistryUpdate {
namespace {

using fakes::FakeElement;
using fakes::FakePlatform;
using Lines = std::vector<std::string>;

TEST(RunRegistryUpdate, CleanRunLeavesAnEmptyClosedLogBesideTheProgram) {
    FakePlatform fake;
    fake.xml.documents["meters.xml"] = FakeElement{"Meters", {}, {}};
    runRegistryUpdate(fake.platform);
    EXPECT_EQ(fake.logs.path, "/prog/registryErrorLog.txt");
    EXPECT_EQ(fake.logs.lines, Lines{});
    EXPECT_TRUE(fake.logs.closed);
    EXPECT_EQ(fake.registry.saves, 1);
}

TEST(RunRegistryUpdate, LogThatCannotBeCreatedStopsTheRunBeforeTheDocument) {
    FakePlatform fake;
    fake.logs.failCreate = true;
    fake.xml.failCreate = true; // the pass would log this if it ran
    runRegistryUpdate(fake.platform);
    EXPECT_EQ(fake.runtime.unlogged, Lines{"Path not found Could not create error file"});
    EXPECT_EQ(fake.products.created, 0);
    EXPECT_EQ(fake.registry.saves, 0);
}

TEST(RunRegistryUpdate, MissingOrUnreadableArgumentIsLoggedBeforeTheFailedLoad) {
    FakePlatform noArgument;
    noArgument.runtime.arguments = "";
    runRegistryUpdate(noArgument.platform);
    EXPECT_EQ(noArgument.logs.lines,
              (Lines{"Missing command line argument", " Error reading xml document: meters.xml"}));

    FakePlatform unreadable;
    unreadable.runtime.arguments.reset();
    runRegistryUpdate(unreadable.platform);
    EXPECT_EQ(unreadable.logs.lines,
              (Lines{"No command line. Could not read commandline, invalid settings",
                     " Error reading xml document: meters.xml"}));
}

TEST(RunRegistryUpdate, FailureEscapingThePassEndsTheRunButChangesAreStillSaved) {
    FakePlatform fake;
    fake.xml.documents["meters.xml"] = FakeElement{"Meters", {}, {}};
    fake.products.registered = false;
    fake.logs.writesBeforeFailure = 0; // the pass's own line cannot be written
    runRegistryUpdate(fake.platform);
    EXPECT_EQ(fake.runtime.unlogged, Lines{"Disk full Could not create registry file"});
    EXPECT_EQ(fake.registry.saves, 1);
}

TEST(RunRegistryUpdate, FailedSaveIsLoggedWithTheStore) {
    FakePlatform fake;
    fake.xml.documents["meters.xml"] = FakeElement{"Meters", {}, {}};
    fake.registry.failSave = true;
    runRegistryUpdate(fake.platform);
    EXPECT_EQ(fake.logs.lines,
              Lines{"Access is denied. Could not save registry store: /prog/store"});
}

} // namespace
} // namespace modRegistryUpdate
