#include "platform/windows/product_component.h"

#include "platform/windows/com_support.h"
#include "platform/windows/wide_text.h"
#include "run/failure.h"

#include <wrl/client.h>

namespace modRegistryUpdate::windows {
namespace {

using Microsoft::WRL::ComPtr;

class ComProductComponent : public ProductComponent {
public:
    explicit ComProductComponent(ComPtr<IDispatch> dispatch) : dispatch_(std::move(dispatch)) {}

    std::optional<std::string> getProperty(const std::string& name) override {
        std::wstring wideName = toWide(name);
        LPOLESTR names[] = {wideName.data()};
        DISPID id = 0;
        throwIfFailed(dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
        DISPPARAMS noArguments = {nullptr, nullptr, 0, 0};
        _variant_t result;
        EXCEPINFO exception = {};
        const HRESULT invoked =
            dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &noArguments,
                              &result, &exception, nullptr);
        // The strings the component left are this caller's to free, however it goes on.
        const _bstr_t source(exception.bstrSource, false);
        const _bstr_t description(exception.bstrDescription, false);
        const _bstr_t helpFile(exception.bstrHelpFile, false);
        if (invoked == DISP_E_EXCEPTION)
            throw Failure(exception.bstrDescription
                              ? utf8Of(description)
                              : systemMessage(static_cast<unsigned long>(exception.scode)));
        throwIfFailed(invoked);
        return textOf(result);
    }

private:
    static std::optional<std::string> textOf(_variant_t& value) {
        switch (value.vt) {
        case VT_NULL:
            return std::nullopt;
        case VT_EMPTY:
            return std::string();
        case VT_BSTR:
            break;
        default:
            // Numbers and the rest join as the system's own text form of them.
            throwIfFailed(VariantChangeTypeEx(&value, &value, LOCALE_USER_DEFAULT, 0, VT_BSTR));
        }
        return utf8Of(value.bstrVal);
    }

    ComPtr<IDispatch> dispatch_;
};

} // namespace

std::unique_ptr<ProductComponent>
ComProductComponentFactory::create(const std::string& programmaticId) {
    CLSID classId;
    throwIfFailed(CLSIDFromProgID(toWide(programmaticId).c_str(), &classId));
    ComPtr<IDispatch> dispatch;
    throwIfFailed(CoCreateInstance(classId, nullptr, CLSCTX_ALL, IID_PPV_ARGS(&dispatch)));
    return std::make_unique<ComProductComponent>(std::move(dispatch));
}

} // namespace modRegistryUpdate::windows
