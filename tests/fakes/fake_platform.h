#pragma once

// In-memory stand-ins for every platform interface, each recording what the logic asked of it
// and able to fail where a test says so.

#include "platform/platform.h"
#include "platform/portable/ecmascript_regex.h"

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace modRegistryUpdate::fakes {

class FakeRuntime : public Runtime {
public:
    std::string pathBesideProgram(const std::string& fileName) override;
    std::string argumentText() override;
    std::string upperCase(const std::string& text) override;
    void reportWithoutLog(const std::string& line) override { unlogged.push_back(line); }

    std::optional<std::string> arguments = std::string("meters.xml"); ///< none: reading fails
    std::vector<std::string> unlogged;
};

class FakeTextLogFactory : public TextLogFactory {
public:
    std::unique_ptr<TextLog> createTextFile(const std::string& path) override;

    bool failCreate = false;
    std::size_t writesBeforeFailure = SIZE_MAX;
    std::string path;
    std::vector<std::string> lines;
    bool closed = false;
};

/// An element of a document built in the test.
struct FakeElement {
    std::string name;
    std::map<std::string, std::string> attributes;
    std::vector<FakeElement> children;
};

class FakeXmlService : public XmlService {
public:
    std::unique_ptr<XmlDocument> createDocument() override;

    std::map<std::string, FakeElement> documents; ///< document element by location
    std::string failingExpression;                ///< selecting it raises a Failure
    bool failCreate = false;
};

class FakeProductFactory : public ProductComponentFactory {
public:
    std::unique_ptr<ProductComponent> create(const std::string& programmaticId) override;

    bool registered = true;
    std::map<std::string, std::optional<std::string>> properties = {
        {"Manufacturer", "M"}, {"ProductName", "N"}, {"ProductVersion", "V"}};
    std::string failingProperty; ///< reading it raises a Failure
    int created = 0;
};

class FakeRegistry : public Registry {
public:
    RegistryStatus createKey(RegistryRoot root, const std::string& path, RegistryKey& key) override;
    RegistryStatus openKey(RegistryRoot root, const std::string& path, RegistryKey& key) override;
    RegistryStatus setTextValue(RegistryKey key, const std::string& valueName,
                                const std::string& text) override;
    void closeKey(RegistryKey key) override;
    std::string describe(RegistryStatus status) const override;
    RegistryStatus saveChanges() override;
    std::string storeLocation() const override { return "/prog/store"; }

    /// The value's text, or no value when the key or value is missing.
    std::optional<std::string> value(const std::string& path, const std::string& name) const;

    /// Whether the key exists, its path compared without regard to case.
    bool hasKey(const std::string& path) const;

    std::set<std::string> keys; ///< paths in upper case
    std::map<std::string, std::map<std::string, std::string>> values;
    std::set<std::string> deniedKeys; ///< creating, opening or writing them is denied
    bool failSave = false;
    int saves = 0;
    int openHandles = 0;

private:
    std::vector<std::string> handles_;
};

/// All the fakes, wired together.
struct FakePlatform {
    FakeRuntime runtime;
    FakeTextLogFactory logs;
    FakeXmlService xml;
    EcmaScriptRegexEngine regex;
    FakeProductFactory products;
    FakeRegistry registry;
    Platform platform{runtime, logs, xml, regex, products, registry};
};

} // namespace modRegistryUpdate::fakes
