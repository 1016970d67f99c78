#pragma once

#include <string>

namespace modRegistryUpdate::store {

// The fixed text of a registry export, shared by its reader and its writer.
inline const std::string fileHeader = "Windows Registry Editor Version 5.00";
inline const std::string rootName = "HKEY_LOCAL_MACHINE";
inline const std::string lineEnd = "\r\n";

inline const char* const utf16Mark = "\xFF\xFE";
inline const char* const utf8Mark = "\xEF\xBB\xBF";

} // namespace modRegistryUpdate::store
