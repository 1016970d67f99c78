#pragma once

// In-memory stand-ins for the platform, for the few faults a run of the program cannot stage:
// a log that fails in the middle of a run, a command line that cannot be read, a component gone,
// a key left open. Each records what the logic asked of it.

#include "platform/platform.h"
#include "run/failure.h"

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
    std::string argumentText() override {
        if (!arguments)
            throw Failure("No command line");
        return *arguments;
    }
    std::string upperCase(const std::string& text) override { return text; }
    void reportWithoutLog(const std::string& line) override { unlogged.push_back(line); }

    std::optional<std::string> arguments = std::string("meters.xml"); ///< none: reading fails
    std::vector<std::string> unlogged;
};

/// Every log it creates adds to `lines`, and fails once `writesBeforeFailure` lines are there.
class FakeTextLogFactory : public TextLogFactory {
public:
    std::unique_ptr<TextLog> createTextFile(const std::string&) override {
        return std::make_unique<Log>(*this);
    }

    std::size_t writesBeforeFailure = SIZE_MAX;
    std::vector<std::string> lines;

private:
    class Log : public TextLog {
    public:
        explicit Log(FakeTextLogFactory& factory) : factory_(factory) {}
        void writeLine(const std::string& text) override {
            if (factory_.lines.size() >= factory_.writesBeforeFailure)
                throw Failure("Disk full");
            factory_.lines.push_back(text);
        }
        void close() override {}

    private:
        FakeTextLogFactory& factory_;
    };
};

/// A service whose documents never load.
class FakeXmlService : public XmlService {
public:
    std::unique_ptr<XmlLoader> createDocument() override { return std::make_unique<Loader>(); }

private:
    struct Loader : XmlLoader {
        std::unique_ptr<XmlDocument> load(const std::string&) override { return nullptr; }
    };
};

class FakeProductFactory : public ProductComponentFactory {
public:
    using Properties = std::map<std::string, std::optional<std::string>>;

    std::unique_ptr<ProductComponent> create(const std::string&) override {
        if (!registered)
            throw Failure("Class not registered");
        return std::make_unique<Product>(properties);
    }

    Properties properties = {{"Manufacturer", "M"}, {"ProductName", "N"}, {"ProductVersion", "V"}};
    bool registered = true; ///< false: creating the component fails

private:
    struct Product : ProductComponent {
        explicit Product(const Properties& properties) : properties(properties) {}
        std::optional<std::string> getProperty(const std::string& name) override {
            return properties.at(name);
        }
        const Properties& properties;
    };
};

/// A registry that grants every key and keeps no value; it counts the keys open and the saves.
class FakeRegistry : public Registry {
public:
    OpenedKey createKey(RegistryRoot, const std::string& path) override {
        keys.insert(path);
        return {{}, std::make_unique<Key>(openHandles)};
    }
    OpenedKey openKey(RegistryRoot root, const std::string& path) override {
        if (!keys.count(path))
            return {{registryFileNotFound, "Status 2."}, nullptr};
        return createKey(root, path);
    }
    RegistryStatus saveChanges() override {
        ++saves;
        return {};
    }
    std::string storeLocation() const override { return "store"; }

    std::set<std::string> keys;
    int saves = 0;
    int openHandles = 0;

private:
    class Key : public RegistryKey {
    public:
        explicit Key(int& openHandles) : openHandles_(openHandles) { ++openHandles_; }
        ~Key() override { --openHandles_; }
        RegistryStatus setText(const std::string&, const std::string&) override { return {}; }

    private:
        int& openHandles_;
    };
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
