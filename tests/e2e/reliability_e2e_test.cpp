// The program under hostile input and surroundings: killed mid-save, run several at once, fed
// documents built to hurt, left without room or rights to write.

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "program_under_test.h"

namespace modRegistryUpdate::e2e {
namespace {

namespace fs = std::filesystem;

const unsigned nobody = 65534;

/// A document including `vendor`, with `devices` devices of it, each one firmware of two keys.
std::string document(const std::string& vendor, int devices, const std::string& extra = "") {
    std::string text =
        "<Meters><Product name=\"\"><IncludeKey vendor=\"" + vendor + "\"/></Product>" + extra;
    for (int i = 0; i < devices; ++i)
        text += "<Device vendor=\"" + vendor + "\" type=\"" + vendor + std::to_string(i) +
                "\"><RegistryData><Firmware version=\"1\"><Key voltsMode=\"AC\" Filename=\"a" +
                std::to_string(i) +
                "\"/><Key voltsMode=\"DC\" Filename=\"d\"/></Firmware>"
                "</RegistryData></Device>";
    return text + "</Meters>";
}

/// A store of the product's productRegistration and `keys` keys of other software.
std::string largeStore(int keys) {
    std::string text = productRegistration;
    for (int i = 0; i < keys; ++i)
        text += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other\\Key" + std::to_string(i) +
                "]\r\n\"Value\"=\"" + std::string(100, 'v') + "\"\r\n\r\n";
    return text;
}

bool isRoot() {
    return geteuid() == 0;
}

struct Reliability : ::testing::Test {
    void SetUp() override {
        if (!program.isNative())
            GTEST_SKIP() << "the native build's own store and process";
    }
    ProgramUnderTest program;
};

TEST_F(Reliability, KilledRunsLeaveTheOldStoreOrTheNewOneNeverAPart) {
    const std::string old = largeStore(20000);
    program.writeFile("m.xml", document("Acme", 2000));
    program.setRegistry(old);
    const auto began = std::chrono::steady_clock::now();
    program.run({"m.xml"});
    const auto runTime = std::chrono::steady_clock::now() - began;
    const std::string whole = readFile(program.storePath()).value();
    ASSERT_NE(whole, old);

    int sawOld = 0;
    int sawNew = 0;
    for (int attempt = 0; attempt < 40; ++attempt) {
        program.setRegistry(old);
        const int child = program.start({"m.xml"});
        std::this_thread::sleep_for(runTime * attempt / 36);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        const std::string after = readFile(program.storePath()).value();
        ASSERT_TRUE(after == old || after == whole) << "attempt " << attempt;
        (after == old ? sawOld : sawNew)++;
        // Whatever the killed run left behind, the next run goes through.
        program.run({"m.xml"});
        ASSERT_EQ(program.log(), "");
        ASSERT_EQ(readFile(program.storePath()), whole);
    }
    EXPECT_GT(sawOld, 0);
    EXPECT_GT(sawNew, 0);
}

TEST_F(Reliability, RunsAtOnceKeepEveryRunsWrites) {
    const std::vector<std::string> vendors = {"Acme", "Beta", "Core", "Dyne", "Echo", "Flux"};
    program.setRegistry(largeStore(2000));
    std::vector<int> children;
    for (const std::string& vendor : vendors) {
        program.writeFile(vendor + ".xml", document(vendor, 300));
        children.push_back(program.start({vendor + ".xml"}));
    }
    for (int child : children)
        waitpid(child, nullptr, 0);
    for (const std::string& vendor : vendors) {
        EXPECT_EQ(program.value(deviceInfo + vendor + "0\\1", "AC"), "a0") << vendor;
        EXPECT_EQ(program.value(deviceInfo + vendor + "299\\1", "DC"), "d") << vendor;
    }
    EXPECT_TRUE(program.hasKey("SOFTWARE\\Other\\Key1999"));
}

TEST_F(Reliability, NothingOutsideTheDocumentIsRead) {
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(listen(listener, 4), 0);
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    const std::string url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/m";

    program.setRegistry(productRegistration);
    program.writeFile("secret.txt", "SECRET");
    program.writeFile("m.xml", "<!DOCTYPE Meters SYSTEM \"" + url +
                                   ".dtd\" [<!ENTITY secret SYSTEM \"secret.txt\">"
                                   "<!ENTITY remote SYSTEM \"" +
                                   url + "\">]>" +
                                   document("Acme", 1,
                                            "<Device vendor=\"Acme\" type=\"x\">"
                                            "<RegistryData><Firmware version=\"e\">"
                                            "<Key voltsMode=\"S\" Filename=\"&secret;\"/>"
                                            "<Key voltsMode=\"R\" Filename=\"&remote;\"/>"
                                            "</Firmware></RegistryData></Device>"));
    program.run({"m.xml"});
    // An external entity in an attribute is not well-formed XML.
    EXPECT_EQ(program.log(), loadFailure);
    EXPECT_EQ(readFile(program.storePath()).value().find("SECRET"), std::string::npos);
    fcntl(listener, F_SETFL, O_NONBLOCK);
    EXPECT_LT(accept(listener, nullptr, nullptr), 0) << "the program connected to " << url;
    close(listener);
}

TEST_F(Reliability, LargeDocumentIsReadWithBoundedMemory) {
    // 1 GB and more is a run by hand: RELIABILITY_DOCUMENT_MB=1024.
    const char* setting = std::getenv("RELIABILITY_DOCUMENT_MB");
    const long megabytes = setting ? std::atol(setting) : 64;
    program.setRegistry(productRegistration);
    {
        std::ofstream out(program.folder() + "/big.xml", std::ios::binary);
        out << "<Meters><Product name=\"\"><IncludeKey vendor=\"Acme\"/></Product>";
        const std::string other = "<Device vendor=\"Other\" type=\"t\"><RegistryData>"
                                  "<Firmware version=\"1\"><Key voltsMode=\"AC\" Filename=\"" +
                                  std::string(200, 'f') +
                                  "\"/></Firmware></RegistryData></Device>\n";
        for (long written = 0; written < megabytes << 20; written += other.size())
            out << other;
        out << document("Acme", 1).substr(std::string("<Meters>").size());
    }
    program.run({"big.xml"});
    EXPECT_EQ(program.log(), "");
    EXPECT_EQ(program.value(deviceInfo + "Acme0\\1", "AC"), "a0");
    // The document is read as it is parsed; its tree takes about six times its size.
    EXPECT_LT(program.peakKilobytes(), 7 * (megabytes << 10) + 100 * 1024);
}

TEST_F(Reliability, UnwritableFolderStopsTheRunBeforeTheDocument) {
    if (!isRoot())
        GTEST_SKIP() << "needs root, to run the program as another user";
    program.setRegistry(productRegistration);
    program.writeFile("m.xml", document("Acme", 1));
    chmod(program.folder().c_str(), 0555);
    const std::string said = program.run({"m.xml"}, {nobody, {}});
    chmod(program.folder().c_str(), 0755);
    EXPECT_EQ(said, "Cannot create " + program.folder() +
                        "/registryErrorLog.txt: Permission denied Could not create error file\n");
    EXPECT_EQ(program.log(), std::nullopt);
    EXPECT_EQ(readFile(program.storePath()), productRegistration);
}

TEST_F(Reliability, FullOrReadOnlyStoreFolderAtSaveLeavesTheOldStoreWhole) {
    const std::string old = largeStore(100);
    program.setRegistry(old);
    program.writeFile("m.xml", document("Acme", 100));
    program.run({"m.xml"}, {{}, old.size() + 1000});
    EXPECT_EQ(program.log(), "Cannot write " + program.storePath() +
                                 ".new: File too large Could not save registry store: " +
                                 program.storePath() + "\r\n");
    EXPECT_EQ(readFile(program.storePath()), old);
    EXPECT_FALSE(fs::exists(program.storePath() + ".new"));

    if (!isRoot())
        GTEST_SKIP() << "needs root, to run the program as another user";
    // The store links into a folder the program may read but not write.
    const std::string locked = program.folder() + "/locked";
    fs::create_directory(locked);
    fs::rename(program.storePath(), locked + "/store.reg");
    std::ofstream(locked + "/store.reg.lock");
    chmod((locked + "/store.reg.lock").c_str(), 0666);
    fs::create_symlink(locked + "/store.reg", program.storePath());
    chmod(program.folder().c_str(), 0777);
    fs::remove(program.folder() + "/registryErrorLog.txt"); // root's, which nobody cannot replace
    program.run({"m.xml"}, {nobody, {}});
    EXPECT_EQ(program.log(), "Cannot create " + locked +
                                 "/store.reg.new: Permission denied Could not save registry "
                                 "store: " +
                                 locked + "/store.reg\r\n");
    EXPECT_EQ(readFile(locked + "/store.reg"), old);
}

TEST_F(Reliability, StoreThatIsALinkStaysALink) {
    fs::create_directory(program.folder() + "/shared");
    const std::string target = program.folder() + "/shared/HKEY_LOCAL_MACHINE.reg";
    std::ofstream(target, std::ios::binary) << productRegistration;
    fs::create_symlink(target, program.storePath());
    program.writeFile("m.xml", document("Acme", 1));
    program.run({"m.xml"});
    EXPECT_EQ(program.log(), "");
    EXPECT_TRUE(fs::is_symlink(program.storePath()));
    EXPECT_EQ(program.value(deviceInfo + "Acme0\\1", "AC"), "a0");

    fs::remove(target);
    program.run({"m.xml"});
    EXPECT_NE(program.log().value().find("Cannot follow the registry store link"),
              std::string::npos);
    EXPECT_TRUE(fs::is_symlink(program.storePath()));
    EXPECT_FALSE(fs::exists(target));
}

/// Documents built to hurt a parser; each run ends with a sound run or the load failure line.
struct HostileDocuments : ::testing::Test {
    void expectSoundRun(const std::string& name, const std::string& bytes) {
        program.writeFile(name, bytes);
        program.run({name});
        const std::string log = program.log().value_or("missing");
        EXPECT_TRUE(log.empty() || log == loadFailure) << name << ": " << log;
        EXPECT_LT(program.peakKilobytes(), 512 * 1024) << name;
    }
    ProgramUnderTest program;
};

TEST_F(HostileDocuments, EndSoundlyWithBoundedMemory) {
    program.setRegistry(productRegistration);
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "<a>";
    for (int i = 0; i < 100000; ++i)
        deep += "</a>";
    expectSoundRun("deep.xml", document("Acme", 1, deep));

    std::string bomb = "<!DOCTYPE Meters [<!ENTITY l0 \"lol\">";
    for (int i = 1; i < 10; ++i)
        bomb += "<!ENTITY l" + std::to_string(i) + " \"" + [&] {
            std::string refs;
            for (int j = 0; j < 10; ++j)
                refs += "&l" + std::to_string(i - 1) + ";";
            return refs;
        }() + "\">";
    expectSoundRun("bomb.xml", bomb + "]>" + document("Acme", 1, "<Product name=\"&l9;\"/>"));

    const std::string huge(8 << 20, 'h');
    expectSoundRun("huge.xml",
                   "<Meters><Product name=\"\"><IncludeKey vendor=\"Acme\"/></Product><Device "
                   "vendor=\"Acme\" type=\"H\"><RegistryData><Firmware version=\"1\"><Key "
                   "voltsMode=\"AC\" Filename=\"" +
                       huge + "\"/></Firmware></RegistryData></Device></Meters>");
    if (program.log() == "") {
        EXPECT_EQ(program.value(deviceInfo + "H\\1", "AC"), huge);
    }

    expectSoundRun("utf8.xml",
                   document("Acme", 1, "<Device vendor=\"Acme\" type=\"\xff\xfe\xc3\"/>"));
}

} // namespace
} // namespace modRegistryUpdate::e2e
