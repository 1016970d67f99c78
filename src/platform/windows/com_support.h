#pragma once

#include <string>

#include <windows.h>

#include <comutil.h>

namespace modRegistryUpdate::windows {

/// UTF-8 text as a BSTR owned by the returned object.
_bstr_t bstrOf(const std::string& utf8);

/// A BSTR's text as UTF-8; a null BSTR is empty text.
std::string utf8Of(BSTR text);

/// Raises a Failure for a failed HRESULT: the component's own error description when it left
/// one, else the system's message for the code.
void throwIfFailed(HRESULT result);

} // namespace modRegistryUpdate::windows
