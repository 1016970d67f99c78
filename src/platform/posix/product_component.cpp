#include "platform/posix/product_component.h"

#include "run/failure.h"
#include "text/unicode_text.h"

namespace modRegistryUpdate::posix {
namespace {

class StoreProductComponent : public ProductComponent {
public:
    StoreProductComponent(store::Store& store, const store::Key& key,
                          const std::string& programmaticId)
        : store_(store), key_(key), programmaticId_(programmaticId) {}

    std::optional<std::string> getProperty(const std::string& name) override {
        const store::Value* value = store_.findValue(key_, name);
        if (!value)
            return std::nullopt;
        // A lone surrogate reaches the program as U+FFFD, as Windows hands UTF-16 text over.
        if (value->form == store::DataForm::text)
            return text::replaceLoneSurrogates(value->data);
        if (value->form == store::DataForm::dword)
            return std::to_string(value->number);
        std::string text;
        if (value->type == store::regSz &&
            text::utf16leToUtf8(value->data.data(), value->data.size(), text)) {
            // Stored text ends with its terminating NUL.
            return text::replaceLoneSurrogates(text.substr(0, text.find('\0')));
        }
        throw Failure("Property \"" + name + "\" of " + programmaticId_ +
                      " is neither text nor a number");
    }

private:
    store::Store& store_;
    const store::Key& key_;
    const std::string& programmaticId_;
};

} // namespace

std::unique_ptr<ProductComponent>
StoreProductComponentFactory::create(const std::string& programmaticId) {
    auto registered = registered_.find(programmaticId);
    if (registered == registered_.end()) {
        const store::Key* key = nullptr;
        try {
            key = file_.findKey("SOFTWARE\\Classes\\" + programmaticId);
        } catch (const store::StoreError& failure) {
            throw Failure("Cannot create " + programmaticId + ": " + failure.what());
        }
        if (!key)
            throw Failure("Cannot create " + programmaticId + ": the component is not registered");
        registered = registered_.emplace(programmaticId, key).first;
    }
    return std::make_unique<StoreProductComponent>(file_, *registered->second, registered->first);
}

} // namespace modRegistryUpdate::posix
