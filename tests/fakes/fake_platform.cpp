#include "fakes/fake_platform.h"

#include "platform/failure.h"

#include <cctype>

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
    void close() override { factory_.closed = true; }

private:
    FakeTextLogFactory& factory_;
};

void descendants(const FakeElement& from, const std::string& name,
                 std::vector<const FakeElement*>& found) {
    for (const FakeElement& child : from.children) {
        if (child.name == name)
            found.push_back(&child);
        descendants(child, name, found);
    }
}

std::vector<std::string> steps(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t slash; (slash = path.find('/', start)) != std::string::npos; start = slash + 1)
        parts.push_back(path.substr(start, slash - start));
    parts.push_back(path.substr(start));
    return parts;
}

/// Understands the expressions the system uses: "./A/B", ".//A" and "//A/B".
class FakeNode : public XmlDocument {
public:
    FakeNode(const FakeXmlService& service, const FakeElement* element)
        : service_(service), element_(element) {}

    bool load(const std::string& location) override {
        const auto found = service_.documents.find(location);
        if (found == service_.documents.end())
            return false;
        root_.children = {found->second};
        element_ = &root_;
        return true;
    }

    XmlNodeList selectNodes(const std::string& expression) const override {
        if (expression == service_.failingExpression)
            throw Failure("Selection failed");
        std::vector<const FakeElement*> current;
        std::vector<std::string> path;
        if (expression.rfind(".//", 0) == 0 || expression.rfind("//", 0) == 0) {
            path = steps(expression.substr(expression.find("//") + 2));
            descendants(*element_, path.front(), current);
        } else {
            path = steps(expression.substr(2));
            for (const FakeElement& child : element_->children) {
                if (child.name == path.front())
                    current.push_back(&child);
            }
        }
        for (std::size_t i = 1; i < path.size(); ++i) {
            std::vector<const FakeElement*> next;
            for (const FakeElement* element : current) {
                for (const FakeElement& child : element->children) {
                    if (child.name == path[i])
                        next.push_back(&child);
                }
            }
            current = next;
        }
        XmlNodeList nodes;
        for (const FakeElement* element : current)
            nodes.push_back(std::make_unique<FakeNode>(service_, element));
        return nodes;
    }

    std::optional<std::string> getAttribute(const std::string& name) const override {
        const auto found = element_->attributes.find(name);
        if (found == element_->attributes.end())
            return std::nullopt;
        return found->second;
    }

    /// The element's own step only: the logic's tests need no more.
    std::string locationPath() const override { return "/" + element_->name; }

private:
    const FakeXmlService& service_;
    const FakeElement* element_;
    FakeElement root_;
};

class FakeProduct : public ProductComponent {
public:
    explicit FakeProduct(const FakeProductFactory& factory) : factory_(factory) {}

    std::optional<std::string> getProperty(const std::string& name) override {
        if (name == factory_.failingProperty)
            throw Failure("Property read failed");
        const auto found = factory_.properties.find(name);
        return found == factory_.properties.end() ? std::nullopt : found->second;
    }

private:
    const FakeProductFactory& factory_;
};

std::string upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

constexpr RegistryStatus accessDenied = 5;
constexpr RegistryStatus notFound = 2;
constexpr RegistryStatus invalidHandle = 6;

} // namespace

std::string FakeRuntime::pathBesideProgram(const std::string& fileName) {
    return "/prog/" + fileName;
}

std::string FakeRuntime::argumentText() {
    if (!arguments)
        throw Failure("No command line");
    return *arguments;
}

std::string FakeRuntime::upperCase(const std::string& text) {
    return upper(text);
}

std::unique_ptr<TextLog> FakeTextLogFactory::createTextFile(const std::string& logPath) {
    if (failCreate)
        throw Failure("Path not found");
    path = logPath;
    return std::make_unique<FakeTextLog>(*this);
}

std::unique_ptr<XmlDocument> FakeXmlService::createDocument() {
    if (failCreate)
        throw Failure("XML service unavailable");
    return std::make_unique<FakeNode>(*this, nullptr);
}

std::unique_ptr<ProductComponent> FakeProductFactory::create(const std::string& programmaticId) {
    if (!registered || programmaticId != "ProductInfo.ProductInfo")
        throw Failure("Class not registered");
    ++created;
    return std::make_unique<FakeProduct>(*this);
}

RegistryStatus FakeRegistry::createKey(RegistryRoot, const std::string& path, RegistryKey& key) {
    if (deniedKeys.count(path))
        return accessDenied;
    keys.insert(upper(path));
    handles_.push_back(upper(path));
    ++openHandles;
    key = handles_.size();
    return registrySuccess;
}

RegistryStatus FakeRegistry::openKey(RegistryRoot, const std::string& path, RegistryKey& key) {
    if (deniedKeys.count(path))
        return accessDenied;
    if (!keys.count(upper(path)))
        return notFound;
    handles_.push_back(upper(path));
    ++openHandles;
    key = handles_.size();
    return registrySuccess;
}

RegistryStatus FakeRegistry::setTextValue(RegistryKey key, const std::string& valueName,
                                          const std::string& text) {
    if (key == 0)
        return invalidHandle;
    values[handles_.at(key - 1)][upper(valueName)] = text;
    return registrySuccess;
}

void FakeRegistry::closeKey(RegistryKey key) {
    if (key != 0)
        --openHandles;
}

std::string FakeRegistry::describe(RegistryStatus status) const {
    return status == accessDenied ? "Access is denied." : "Status " + std::to_string(status) + ".";
}

RegistryStatus FakeRegistry::saveChanges() {
    ++saves;
    return failSave ? accessDenied : registrySuccess;
}

bool FakeRegistry::hasKey(const std::string& path) const {
    return keys.count(upper(path)) > 0;
}

std::optional<std::string> FakeRegistry::value(const std::string& path,
                                               const std::string& name) const {
    const auto key = values.find(upper(path));
    if (key == values.end())
        return std::nullopt;
    const auto found = key->second.find(upper(name));
    return found == key->second.end() ? std::nullopt : std::optional<std::string>(found->second);
}

} // namespace modRegistryUpdate::fakes
