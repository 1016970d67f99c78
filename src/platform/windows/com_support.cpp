#include "platform/windows/com_support.h"

#include "platform/windows/wide_text.h"
#include "run/failure.h"

#include <wrl/client.h>

namespace modRegistryUpdate::windows {

Bstr::Bstr(const std::string& utf8) : text_(SysAllocString(toWide(utf8).c_str())) {}

std::string Bstr::toUtf8() const {
    return text_ ? windows::toUtf8(std::wstring(text_, SysStringLen(text_))) : std::string();
}

void throwIfFailed(HRESULT result) {
    if (SUCCEEDED(result))
        return;
    Microsoft::WRL::ComPtr<IErrorInfo> info;
    Bstr description;
    if (GetErrorInfo(0, &info) == S_OK && info->GetDescription(description.receive()) == S_OK &&
        SysStringLen(description.get()) > 0) {
        std::string text = description.toUtf8();
        text.erase(text.find_last_not_of("\r\n ") + 1);
        throw Failure(text);
    }
    throw Failure(systemMessage(static_cast<unsigned long>(result)));
}

} // namespace modRegistryUpdate::windows
