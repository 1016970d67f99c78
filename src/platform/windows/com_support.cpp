#include "platform/windows/com_support.h"

#include "platform/windows/wide_text.h"
#include "run/failure.h"

#include <wrl/client.h>

namespace modRegistryUpdate::windows {

_bstr_t bstrOf(const std::string& utf8) {
    return _bstr_t(toWide(utf8).c_str());
}

std::string utf8Of(BSTR text) {
    return text ? toUtf8(std::wstring(text, SysStringLen(text))) : std::string();
}

void throwIfFailed(HRESULT result) {
    if (SUCCEEDED(result))
        return;
    Microsoft::WRL::ComPtr<IErrorInfo> info;
    _bstr_t description;
    if (GetErrorInfo(0, &info) == S_OK && info->GetDescription(description.GetAddress()) == S_OK &&
        description.length() > 0) {
        std::string text = utf8Of(description);
        text.erase(text.find_last_not_of("\r\n ") + 1);
        throw Failure(text);
    }
    throw Failure(systemMessage(static_cast<unsigned long>(result)));
}

} // namespace modRegistryUpdate::windows
