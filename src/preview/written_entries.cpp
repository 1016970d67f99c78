#include "preview/written_entries.h"

#include "store/reg_file.h"
#include "store/reg_syntax.h"

namespace modRegistryUpdate::preview {
namespace {

/// An open key of the registry, whose values the registry took are noted.
class NotedKey : public RegistryKey {
public:
    NotedKey(std::unique_ptr<RegistryKey> key, WrittenEntries& entries, std::string path)
        : key_(std::move(key)), entries_(entries), path_(std::move(path)) {}

    RegistryStatus setText(const std::string& valueName, const std::string& text) override {
        RegistryStatus status = key_->setText(valueName, text);
        if (status.ok())
            entries_.noteValue(path_, valueName, text);
        return status;
    }

private:
    std::unique_ptr<RegistryKey> key_;
    WrittenEntries& entries_;
    std::string path_;
};

} // namespace

OpenedKey WrittenEntries::createKey(RegistryRoot root, const std::string& path) {
    OpenedKey opened = registry_.createKey(root, path);
    if (opened.status.ok()) {
        text_.addSection(keys_.create(path));
        opened.key = std::make_unique<NotedKey>(std::move(opened.key), *this, path);
    }
    return opened;
}

OpenedKey WrittenEntries::openKey(RegistryRoot root, const std::string& path) {
    OpenedKey opened = registry_.openKey(root, path);
    if (opened.status.ok())
        opened.key = std::make_unique<NotedKey>(std::move(opened.key), *this, path);
    return opened;
}

void WrittenEntries::noteValue(const std::string& path, const std::string& name,
                               const std::string& text) {
    store::Key& key = keys_.create(path);
    store::Value value;
    value.name = name;
    value.data = text;
    text_.putValue(keys_, key, value);
    text_.addSection(key);
}

std::string WrittenEntries::sections() const {
    std::string text;
    store::writeRegFile(text_, [&text](std::string_view piece) { text.append(piece); });
    // The export's header is left out: what follows it are the entries.
    const std::string header = store::fileHeader + store::lineEnd + store::lineEnd;
    return text.substr(header.size());
}

} // namespace modRegistryUpdate::preview
