#include "platform/posix/product_component.h"

#include "run/failure.h"
#include "text/unicode_text.h"

#include <cstdint>

namespace modRegistryUpdate::posix {
namespace {

class StoreProductComponent : public ProductComponent {
public:
    StoreProductComponent(store::Store& store, const store::Key& key,
                          const std::string& programmaticId)
        : store_(store), key_(key), programmaticId_(programmaticId) {}

    // A property is what a component handing over the registry's value gives: text as text,
    // cut at its first NUL; a REG_DWORD or REG_QWORD as a signed number, in decimal, as an
    // Automation long or 64-bit integer turns into text. Nothing else is text or a number.
    std::optional<std::string> getProperty(const std::string& name) override {
        const store::Value* value = store_.findValue(key_, name);
        if (!value)
            return std::nullopt;
        // A lone surrogate reaches the program as U+FFFD, as Windows hands UTF-16 text over.
        if (value->form == store::DataForm::text)
            return text::replaceLoneSurrogates(value->data);
        if (value->form == store::DataForm::dword)
            return std::to_string(static_cast<std::int32_t>(value->number));
        const std::string_view data = value->data;
        if (value->type == store::regSz || value->type == store::regExpandSz) {
            // Half a unit at the end is not read, as Windows leaves it.
            std::string text;
            text::utf16leToUtf8(data.data(), data.size(), text);
            return text::replaceLoneSurrogates(text.substr(0, text.find('\0')));
        }
        // A number of fewer bytes than its type holds is read into zeros, as into a variable.
        const std::size_t width = value->type == store::regDword   ? 4
                                  : value->type == store::regQword ? 8
                                                                   : 0;
        if (width == 0 || data.size() > width)
            throw Failure("Property \"" + name + "\" of " + programmaticId_ +
                          " is neither text nor a number");
        std::uint64_t number = 0;
        for (std::size_t i = data.size(); i-- > 0;)
            number = number << 8 | static_cast<unsigned char>(data[i]);
        return width == 4 ? std::to_string(static_cast<std::int32_t>(number))
                          : std::to_string(static_cast<std::int64_t>(number));
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
