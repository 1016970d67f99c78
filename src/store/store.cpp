#include "store/store.h"

#include "store/key_path_cache.h"
#include "store/key_tree.h"
#include "store/reg_file.h"

#include <vector>

namespace modRegistryUpdate::store {

struct Store::Contents {
    KeyTree tree;
    FileText text;
    KeyPathCache paths;
};

Store::Store(StoreFile& file) : file_(file) {}

Store::~Store() = default;

Store::Contents& Store::contents() {
    if (!contents_ && !loadFailure_) {
        try {
            const std::string bytes = file_.read();
            contents_ = std::make_unique<Contents>();
            try {
                readRegFile(bytes, contents_->tree, contents_->text);
            } catch (const StoreError& failure) {
                throw StoreError("The registry store " + file_.path() +
                                 " cannot be read: " + failure.what());
            }
        } catch (...) {
            // Every later use fails the same way: the file is never read twice in one run.
            contents_.reset();
            loadFailure_ = std::current_exception();
        }
    }
    if (loadFailure_)
        std::rethrow_exception(loadFailure_);
    return *contents_;
}

Key* Store::findKey(std::string_view path) {
    return contents().tree.find(path);
}

Key* Store::openKey(std::string_view path) {
    Contents& contents = this->contents();
    return contents.paths.resolve(contents.tree, path, false);
}

Key& Store::createKey(std::string_view path) {
    Contents& contents = this->contents();
    const std::size_t made = contents.tree.keyCount();
    Key& key = *contents.paths.resolve(contents.tree, path, true);
    if (contents.tree.keyCount() == made)
        return key;
    // Keys are numbered as made, so those from `made` on are new; each gets a section, parents
    // first, as an export shows every key.
    std::vector<const Key*> newKeys;
    for (const Key* step = &key; step && step->ordinal() >= made; step = step->parent())
        newKeys.push_back(step);
    for (auto step = newKeys.rbegin(); step != newKeys.rend(); ++step)
        contents.text.addSection(**step);
    changed_ = true;
    return key;
}

Key* Store::repeatedKey(std::string_view path) {
    return contents().paths.repeated(path);
}

const Value* Store::findValue(const Key& key, std::string_view name) {
    return contents().tree.findValue(key, name);
}

bool Store::setValue(Key& key, const Value& value) {
    Contents& contents = this->contents();
    if (!holdsValue(contents.text.encoding, value))
        return false;
    if (contents.text.putValue(contents.tree, key, value).changed) {
        contents.text.addSection(key);
        changed_ = true;
    }
    return true;
}

void Store::save() {
    // Only a store that was read can have changed.
    if (!changed_)
        return;
    file_.replace(contents_->text);
    changed_ = false;
}

void Store::holdAs(Encoding encoding) {
    contents().text.encoding = encoding;
}

void Store::exportKeys(Encoding encoding, const std::function<void(std::string_view)>& write) {
    FileText& text = contents().text;
    const Encoding own = text.encoding;
    text.encoding = encoding;
    writeRegFile(text, write);
    text.encoding = own;
}

} // namespace modRegistryUpdate::store
