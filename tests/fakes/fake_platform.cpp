#include "fakes/fake_platform.h"

#include "run/failure.h"

namespace modRegistryUpdate::fakes {
namespace {

class FakeTextLog : public TextLog {
public:
    explicit FakeTextLog(FakeTextLogFactory& factory) : factory_(factory) {}

    void writeLine(const std::string& text) override {
        if (factory_.lines.size() >= factory_.writesBeforeFailure)
            throw Failure("Disk full");
        factory_.lines.push_back(text);
    }
    void close() override {}

private:
    FakeTextLogFactory& factory_;
};

class UnloadableDocument : public XmlDocument {
public:
    bool load(const std::string&) override { return false; }
    XmlNodeList selectNodes(const std::string&) const override { return {}; }
    std::optional<std::string> getAttribute(const std::string&) const override { return {}; }
    std::string locationPath() const override { return "/"; }
};

class FakeProduct : public ProductComponent {
public:
    explicit FakeProduct(const FakeProductFactory& factory) : factory_(factory) {}

    std::optional<std::string> getProperty(const std::string& name) override {
        return factory_.properties.at(name);
    }

private:
    const FakeProductFactory& factory_;
};

} // namespace

std::string FakeRuntime::argumentText() {
    if (!arguments)
        throw Failure("No command line");
    return *arguments;
}

std::unique_ptr<TextLog> FakeTextLogFactory::createTextFile(const std::string&) {
    return std::make_unique<FakeTextLog>(*this);
}

std::unique_ptr<XmlDocument> FakeXmlService::createDocument() {
    return std::make_unique<UnloadableDocument>();
}

std::unique_ptr<ProductComponent> FakeProductFactory::create(const std::string&) {
    if (!registered)
        throw Failure("Class not registered");
    return std::make_unique<FakeProduct>(*this);
}

RegistryStatus FakeRegistry::createKey(RegistryRoot, const std::string& path, RegistryKey& key) {
    if (deniedKeys.count(path))
        return registryAccessDenied;
    values[path];
    handles_.push_back(path);
    ++openHandles;
    key = handles_.size();
    return registrySuccess;
}

RegistryStatus FakeRegistry::openKey(RegistryRoot root, const std::string& path, RegistryKey& key) {
    if (!deniedKeys.count(path) && !values.count(path))
        return registryFileNotFound;
    return createKey(root, path, key);
}

RegistryStatus FakeRegistry::setTextValue(RegistryKey key, const std::string& valueName,
                                          const std::string& text) {
    if (key == 0)
        return registryInvalidHandle;
    values[handles_.at(key - 1)][valueName] = text;
    return registrySuccess;
}

void FakeRegistry::closeKey(RegistryKey key) {
    if (key != 0)
        --openHandles;
}

std::string FakeRegistry::describe(RegistryStatus status) const {
    return "Status " + std::to_string(status) + ".";
}

RegistryStatus FakeRegistry::saveChanges() {
    ++saves;
    return registrySuccess;
}

} // namespace modRegistryUpdate::fakes
