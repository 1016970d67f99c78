#pragma once

// In-memory stand-ins for the platform, for the few faults a run of the program cannot stage:
// a log that fails in the middle of a run, a registry that refuses a given call, a key left
// open. Each records what the logic asked of it.

#include "platform/platform.h"

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace modRegistryUpdate::fakes {

class FakeRuntime : public Runtime {
public:
    std::string pathBesideProgram(const std::string& fileName) override { return fileName; }
    std::string argumentText() override;
    std::string upperCase(const std::string& text) override { return text; }
    void reportWithoutLog(const std::string& line) override { unlogged.push_back(line); }

    std::optional<std::string> arguments = std::string("meters.xml"); ///< none: reading fails
    std::vector<std::string> unlogged;
};

class FakeTextLogFactory : public TextLogFactory {
public:
    std::unique_ptr<TextLog> createTextFile(const std::string& path) override;

    std::size_t writesBeforeFailure = SIZE_MAX;
    std::vector<std::string> lines;
};

/// A service whose documents never load.
class FakeXmlService : public XmlService {
public:
    std::unique_ptr<XmlLoader> createDocument() override;
};

class FakeProductFactory : public ProductComponentFactory {
public:
    std::unique_ptr<ProductComponent> create(const std::string& programmaticId) override;

    std::map<std::string, std::optional<std::string>> properties = {
        {"Manufacturer", "M"}, {"ProductName", "N"}, {"ProductVersion", "V"}};
    bool registered = true; ///< false: creating the component fails
};

class FakeRegistry : public Registry {
public:
    OpenedKey createKey(RegistryRoot root, const std::string& path) override;
    OpenedKey openKey(RegistryRoot root, const std::string& path) override;
    RegistryStatus saveChanges() override;
    std::string storeLocation() const override { return "store"; }

    std::map<std::string, std::map<std::string, std::string>> values; ///< by key, then name
    std::set<std::string> deniedKeys; ///< creating or opening them is denied
    int saves = 0;
    int openHandles = 0;
};

/// All the fakes, wired together.
struct FakePlatform {
    FakeRuntime runtime;
    FakeTextLogFactory logs;
    FakeXmlService xml;
    FakeProductFactory products;
    FakeRegistry registry;
    Platform platform{runtime, logs, xml, products, registry};
};

} // namespace modRegistryUpdate::fakes
