#pragma once

#include "platform/registry.h"
#include "store/file_text.h"
#include "store/key_tree.h"

#include <string>

namespace modRegistryUpdate::preview {

/// A registry that notes what a run writes into the registry it stands in front of: each key
/// created and each value written that the registry took, in the order first written.
class WrittenEntries : public Registry {
public:
    explicit WrittenEntries(Registry& registry) : registry_(registry) {
        text_.encoding = store::Encoding::utf8;
    }

    OpenedKey createKey(RegistryRoot root, const std::string& path) override;
    OpenedKey openKey(RegistryRoot root, const std::string& path) override;
    RegistryStatus saveChanges() override { return registry_.saveChanges(); }
    std::string storeLocation() const override { return registry_.storeLocation(); }

    /// The keys and values noted, as the sections of a registry export in UTF-8, with CR LF line
    /// ends; empty when the run wrote nothing.
    std::string sections() const;

    /// Notes a value the registry took, in the key at this path.
    void noteValue(const std::string& path, const std::string& name, const std::string& text);

private:
    Registry& registry_;
    store::KeyTree keys_;
    store::FileText text_;
};

} // namespace modRegistryUpdate::preview
