#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace bench {

/// The shape of a generated meter definition document.
struct DocumentShape {
    int devices = 1000;
    int firmwares = 2;  ///< per device
    int keys = 5;       ///< per firmware
    int categories = 2; ///< per device
    int entries = 5;    ///< per category
    int vendors = 5;    ///< the devices are spread over this many
    int products = 3;   ///< every other one matches; the matching ones share the vendors
    std::uint32_t seed = 1;
};

/// The installed product every generated document is written for.
extern const char* const manufacturer;
extern const char* const productName;
extern const char* const productVersion;

/// Writes a document of that shape, the same for the same seed: its devices spread over the
/// vendors, each included once by a matching product and once by a product that does not match.
void writeDocument(const DocumentShape& shape, const std::function<void(const std::string&)>& out);

/// What the program does in the registry for that document, in its order: `createKey` for each
/// key it creates, `setValue` for each value it writes (paths relative to HKEY_LOCAL_MACHINE).
struct RegistryCalls {
    std::function<void(const std::string& key)> createKey;
    std::function<void(const std::string& key, const std::string& name, const std::string& data)>
        setValue;
};
void replayRegistryCalls(const DocumentShape& shape, const RegistryCalls& calls);

} // namespace bench
