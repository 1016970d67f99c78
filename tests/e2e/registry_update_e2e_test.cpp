// Runs the built program as a process in a fresh folder, then reads its log and registry.

#include "program_under_test.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace modRegistryUpdate::e2e {
namespace {

/// A document whose one product matches and includes these vendors' devices.
std::string document(const std::string& devices,
                     const std::vector<std::string>& vendors = {"Acme"}) {
    std::string text = "<?xml version=\"1.0\"?>\n<Meters>\n<Product name=\"analyzer\">";
    for (const std::string& vendor : vendors)
        text += "<IncludeKey vendor=\"" + vendor + "\"/>";
    return text + "</Product>\n" + devices + "</Meters>\n";
}

struct EndToEnd : ::testing::Test {
    ProgramUnderTest program;
};

TEST_F(EndToEnd, ExampleDocumentWritesItsProductsDevicesAndLeavesAnEmptyLog) {
    program.setRegistry(*readFile(EXAMPLES_DIR "/HKEY_LOCAL_MACHINE.reg"));
    program.writeFile("meters.xml", *readFile(EXAMPLES_DIR "/meters.xml"));
    program.run({"meters.xml"});
    EXPECT_EQ(program.log(), "");
    EXPECT_EQ(program.value(deviceInfo + "NW-200\\2.1", "AC+DC"), "nw200_v2_acdc.cfg");
    EXPECT_EQ(program.value(deviceInfo + "NW-200\\TemplateStrings\\AC", "FREQ"), "nw200_freq.tpl");
    EXPECT_EQ(program.value(deviceInfo + "VX9\\TemplateStrings\\DC", "OFFSET"), "vx9_offset.tpl");
    EXPECT_TRUE(program.hasKey(deviceInfo + "NW-310\\3.0"));
    EXPECT_FALSE(program.hasKey(deviceInfo + "L-1")); // its product does not match
}

TEST_F(EndToEnd, DocumentsThatDoNotLoadLogTheFixedLineAndWriteNothing) {
    program.setRegistry(productRegistration);
    program.writeFile("broken.xml", "<Meters><Device></Meters>");
    std::filesystem::create_directory(program.folder() + "/folder.xml");
    for (const char* path : {"missing.xml", "broken.xml", "folder.xml", "\"meters.xml\""}) {
        program.run({path});
        EXPECT_EQ(program.log(), loadFailure) << path;
    }
    program.run({});
    EXPECT_EQ(program.log(), "Missing command line argument\r\n" + loadFailure);
    EXPECT_FALSE(program.hasKey("SOFTWARE\\Fluxmeter"));
}

TEST_F(EndToEnd, FailureInsideAnIncludeCostsThatIncludeOnly) {
    program.setRegistry(productRegistration);
    program.writeFile("m.xml", document(R"(
<Device vendor="Acme" type="A"><RegistryData><Firmware version="1">
  <Key voltsMode="AC" Filename="a.cfg"/><Key voltsMode="DC"/><Key voltsMode="X" Filename="x"/>
</Firmware></RegistryData></Device>
<Device vendor="Acme" type="B"/>
<Device vendor="Beta" type="C"/>
)",
                                        {"Acme", "Beta"}));
    program.run({"m.xml"});
    EXPECT_EQ(program.log(), "Invalid use of Null: attribute \"Filename\" is missing at "
                             "/Meters/Device[1]/RegistryData/Firmware/Key[2] Sub: "
                             "parseNodes: An error has occured developing registry file\r\n");
    EXPECT_EQ(program.value(deviceInfo + "A\\1", "AC"), "a.cfg");
    EXPECT_EQ(program.value(deviceInfo + "A\\1", "X"), std::nullopt);
    EXPECT_FALSE(program.hasKey(deviceInfo + "B"));
    EXPECT_TRUE(program.hasKey(deviceInfo + "C"));
}

TEST_F(EndToEnd, MissingProductComponentIsOneLineWithATrailingSpace) {
    program.setRegistry("Windows Registry Editor Version 5.00\r\n\r\n");
    program.writeFile("m.xml", document("<Device vendor=\"Acme\" type=\"A\"/>"));
    program.run({"m.xml"});
    const std::string log = program.log().value_or("");
    EXPECT_EQ(log.find("\r\n"), log.size() - 2);
    EXPECT_EQ(log.substr(log.size() - 3), " \r\n");
    if (program.isNative()) {
        EXPECT_EQ(log, "Cannot create ProductInfo.ProductInfo: the component is not registered "
                       "\r\n");
    }
}

TEST_F(EndToEnd, VendorTextIsDataNotPartOfAQuery) {
    program.setRegistry(productRegistration);
    program.writeFile("m.xml", R"(<Meters>
<Product name=""><IncludeKey vendor="O'Brien' or @vendor='Acme"/></Product>
<Device vendor="Acme" type="Wrong"/>
<Device vendor="O'Brien' or @vendor='Acme" type="Right"/>
</Meters>)");
    program.run({"m.xml"});
    EXPECT_EQ(program.log(), "");
    EXPECT_TRUE(program.hasKey(deviceInfo + "Right"));
    EXPECT_FALSE(program.hasKey(deviceInfo + "Wrong"));
}

TEST_F(EndToEnd, FailedRegistryOperationsAreLoggedAndTheRunGoesOn) {
    program.setRegistry(productRegistration);
    const std::string tooLong(300, 'T');
    program.writeFile("m.xml", document("<Device vendor=\"Acme\" type=\"" + tooLong +
                                        "\"><RegistryData><Firmware version=\"1\">"
                                        "<Key voltsMode=\"AC\" Filename=\"a\"/></Firmware>"
                                        "</RegistryData></Device><Device vendor=\"Acme\" "
                                        "type=\"Fine\"/>"));
    program.run({"m.xml"});
    const std::string key = "HKEY_LOCAL_MACHINE\\" + deviceInfo + tooLong;
    // The description is the system's message for the status, worded by each platform.
    const std::string log = program.log().value_or("");
    const std::string invalid = log.substr(0, log.find(" Could not"));
    EXPECT_FALSE(invalid.empty());
    EXPECT_EQ(log, invalid + " Could not create registry key: " + key + "\r\n" + invalid +
                       " Could not create registry key: " + key + "\\1\r\n" + invalid +
                       " Could not write registry value \"AC\" in " + key + "\\1\r\n");
    if (program.isNative()) {
        EXPECT_EQ(invalid, "The parameter is incorrect.");
    }
    EXPECT_TRUE(program.hasKey(deviceInfo + "Fine"));
}

TEST_F(EndToEnd, TextOutsideTheAnsiCodePageAndNumericVersionsAreStoredExactly) {
    const std::string meter = "Z\xC3\xA4hler-\xCE\xA9-\xE8\xA8\x88"; // Zähler-Ω-計
    std::string registration = productRegistration;
    registration.replace(registration.find("\"4.2\""), 5, "dword:00000007");
    program.setRegistry(registration);
    program.writeFile("m.xml",
                      document("<Device vendor=\"Acme\" type=\"" + meter +
                               "\"><RegistryData><Firmware version=\"1\">"
                               "<Key voltsMode=\"\xE2\x82\xAC\" Filename=\"\xE2\x82\xAC.cfg\"/>"
                               "</Firmware></RegistryData></Device>"));
    program.run({"m.xml"});
    EXPECT_EQ(program.log(), "");
    EXPECT_EQ(
        program.value("SOFTWARE\\Fluxmeter\\Power Analyzer Pro\\7\\DeviceInfo\\" + meter + "\\1",
                      "\xE2\x82\xAC"),
        "\xE2\x82\xAC.cfg");
}

TEST_F(EndToEnd, PathWithBlanksWorksQuotedOrNotAndTheRunIsSilent) {
    program.setRegistry(productRegistration);
    program.writeFile("my meters.xml", document("<Device vendor=\"Acme\" type=\"A\"/>"));
    program.run({"my", "meters.xml"});
    EXPECT_EQ(program.log(), "");
    // The argument arrives quoted on a Windows command line; the second run finds every
    // service already started, so whatever it says on standard error is its own.
    program.run({"my meters.xml"});
    const std::string said = program.run({"my meters.xml"});
    EXPECT_EQ(program.log(), "");
    EXPECT_TRUE(program.hasKey(deviceInfo + "A"));
    EXPECT_EQ(said.find("CreateWindow"), std::string::npos) << said;
    if (program.isNative()) {
        EXPECT_EQ(said, "");
    }
}

TEST_F(EndToEnd, ExistingRegistryContentSurvivesAndRunsRepeatWithoutAccumulating) {
    program.setRegistry(productRegistration + crlf(R"([HKEY_LOCAL_MACHINE\SOFTWARE\Other]
"Binary"=hex:00,ff
"Number"=dword:00000010

[HKEY_LOCAL_MACHINE\SOFTWARE\Fluxmeter\Power Analyzer Pro\4.2\DeviceInfo\A\1]
"AC"="old.cfg"
"Kept"="kept.cfg"

)"));
    program.writeFile("m.xml", document(R"(<Device vendor="Acme" type="a"><RegistryData>
<Firmware version="1"><Key voltsMode="ac" Filename="new.cfg"/><Key voltsMode="AC"/></Firmware>
</RegistryData></Device>)"));
    program.run({"m.xml"});
    program.run({"m.xml"});
    EXPECT_EQ(program.log(), "Invalid use of Null: attribute \"Filename\" is missing at "
                             "/Meters/Device/RegistryData/Firmware/Key[2] Sub: "
                             "parseNodes: An error has occured developing registry file\r\n");
    EXPECT_EQ(program.value(deviceInfo + "A\\1", "AC"), "new.cfg");
    EXPECT_EQ(program.value(deviceInfo + "A\\1", "Kept"), "kept.cfg");
    posix::RegKey* other = program.registry().find("SOFTWARE\\Other");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(program.registry().findValue(*other, "Binary")->data, std::string("\0\xff", 2));
    EXPECT_EQ(program.registry().findValue(*other, "Number")->number, 16u);
}

TEST_F(EndToEnd, StoreThatCannotBeReadOrSavedIsLeftWhole) {
    if (!program.isNative())
        GTEST_SKIP() << "the store file is the native build's own";
    const std::string malformed = productRegistration + "oops\r\n";
    program.setRegistry(malformed);
    program.writeFile("m.xml", document("<Device vendor=\"Acme\" type=\"A\"/>"));
    program.run({"m.xml"});
    EXPECT_EQ(program.log(), "Cannot create ProductInfo.ProductInfo: The registry store " +
                                 program.storePath() +
                                 " cannot be read: line 8: unrecognised text " + "\r\n");
    EXPECT_EQ(readFile(program.storePath()), malformed);

    program.setRegistry(productRegistration);
    std::filesystem::create_directory(program.storePath() + ".new");
    program.run({"m.xml"});
    EXPECT_EQ(program.log(), "Cannot create " + program.storePath() +
                                 ".new: Is a directory Could not save registry store: " +
                                 program.storePath() + "\r\n");
    EXPECT_EQ(readFile(program.storePath()), productRegistration);
}

TEST_F(EndToEnd, LogThatCannotBeCreatedStopsTheRunAndSaysWhyOnStandardError) {
    if (!program.isNative())
        GTEST_SKIP() << "the Windows program has no standard error to speak on";
    program.setRegistry(productRegistration);
    std::filesystem::create_directory(program.folder() + "/registryErrorLog.txt");
    program.writeFile("m.xml", document("<Device vendor=\"Acme\" type=\"A\"/>"));
    EXPECT_EQ(program.run({"m.xml"}), "Cannot create " + program.folder() +
                                          "/registryErrorLog.txt: Is a directory Could not "
                                          "create error file\n");
    EXPECT_EQ(readFile(program.storePath()), productRegistration);
}

} // namespace
} // namespace modRegistryUpdate::e2e
