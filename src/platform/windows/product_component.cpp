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
        Variant result;
        EXCEPINFO exception = {};
        const HRESULT invoked =
            dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &noArguments,
                              result.get(), &exception, nullptr);
        if (invoked == DISP_E_EXCEPTION) {
            std::string text = exception.bstrDescription
                                   ? toUtf8(std::wstring(exception.bstrDescription,
                                                         SysStringLen(exception.bstrDescription)))
                                   : systemMessage(static_cast<unsigned long>(exception.scode));
            SysFreeString(exception.bstrSource);
            SysFreeString(exception.bstrDescription);
            SysFreeString(exception.bstrHelpFile);
            throw Failure(text);
        }
        throwIfFailed(invoked);
        return textOf(result);
    }

private:
    static std::optional<std::string> textOf(Variant& value) {
        switch ((*value).vt) {
        case VT_NULL:
            return std::nullopt;
        case VT_EMPTY:
            return std::string();
        case VT_BSTR:
            break;
        default:
            // Numbers and the rest join as the system's own text form of them.
            throwIfFailed(
                VariantChangeTypeEx(value.get(), value.get(), LOCALE_USER_DEFAULT, 0, VT_BSTR));
        }
        return toUtf8(std::wstring((*value).bstrVal, SysStringLen((*value).bstrVal)));
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
