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

class UnloadableDocument : public XmlLoader {
public:
    std::unique_ptr<XmlDocument> load(const std::string&) override { return nullptr; }
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

std::unique_ptr<XmlLoader> FakeXmlService::createDocument() {
    return std::make_unique<UnloadableDocument>();
}

std::unique_ptr<ProductComponent> FakeProductFactory::create(const std::string&) {
    if (!registered)
        throw Failure("Class not registered");
    return std::make_unique<FakeProduct>(*this);
}

namespace {

RegistryStatus failed(long code) {
    return {code, "Status " + std::to_string(code) + "."};
}

/// A key of the fake, counted open until it goes.
class FakeKey : public RegistryKey {
public:
    FakeKey(FakeRegistry& registry, std::string path)
        : registry_(registry), path_(std::move(path)) {
        ++registry_.openHandles;
    }
    ~FakeKey() override { --registry_.openHandles; }

    RegistryStatus setText(const std::string& valueName, const std::string& text) override {
        registry_.values[path_][valueName] = text;
        return {};
    }

private:
    FakeRegistry& registry_;
    std::string path_;
};

} // namespace

OpenedKey FakeRegistry::createKey(RegistryRoot, const std::string& path) {
    if (deniedKeys.count(path))
        return {failed(registryAccessDenied), nullptr};
    values[path];
    return {{}, std::make_unique<FakeKey>(*this, path)};
}

OpenedKey FakeRegistry::openKey(RegistryRoot root, const std::string& path) {
    if (!deniedKeys.count(path) && !values.count(path))
        return {failed(registryFileNotFound), nullptr};
    return createKey(root, path);
}

RegistryStatus FakeRegistry::saveChanges() {
    ++saves;
    return {};
}

} // namespace modRegistryUpdate::fakes
