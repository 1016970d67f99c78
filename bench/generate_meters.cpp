// generate_meters DEVICES FIRMWARES KEYS CATEGORIES ENTRIES SEED [VENDORS [PRODUCTS]]
//   writes the meter definition document of that shape on standard output;
// generate_meters --count ...: prints how many keys and values a run creates and writes for it.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "meter_generator.h"

int main(int argc, char** argv) {
    const bool count = argc > 1 && std::string(argv[1]) == "--count";
    const int first = count ? 2 : 1;
    if (argc < first + 6 || argc > first + 8) {
        std::fprintf(stderr,
                     "usage: %s [--count] DEVICES FIRMWARES KEYS CATEGORIES ENTRIES SEED "
                     "[VENDORS [PRODUCTS]]\n",
                     argv[0]);
        return 2;
    }
    bench::DocumentShape shape;
    shape.devices = std::atoi(argv[first]);
    shape.firmwares = std::atoi(argv[first + 1]);
    shape.keys = std::atoi(argv[first + 2]);
    shape.categories = std::atoi(argv[first + 3]);
    shape.entries = std::atoi(argv[first + 4]);
    shape.seed = static_cast<std::uint32_t>(std::strtoul(argv[first + 5], nullptr, 10));
    if (argc > first + 6)
        shape.vendors = std::atoi(argv[first + 6]);
    if (argc > first + 7)
        shape.products = std::atoi(argv[first + 7]);
    if (count) {
        long keys = 0;
        long values = 0;
        bench::replayRegistryCalls(
            shape, {[&](const std::string&) { ++keys; },
                    [&](const std::string&, const std::string&, const std::string&) {
                        ++values;
                    }});
        std::printf("%ld %ld\n", keys, values);
        return 0;
    }
    bench::writeDocument(
        shape, [](const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); });
    return 0;
}
