#pragma once

#include <string>

namespace modRegistryUpdate::windows {

/// UTF-8 text as UTF-16, for the wide Windows functions.
std::wstring toWide(const std::string& utf8);
/// UTF-16 text as UTF-8, the logic's own encoding.
std::string toUtf8(const std::wstring& wide);
/// The system's message for an error code or HRESULT, on one line.
std::string systemMessage(unsigned long code);

} // namespace modRegistryUpdate::windows
