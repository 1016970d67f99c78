#include "preview/whole_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace modRegistryUpdate::preview {
namespace {

// Paths are UTF-8 on both systems; on Windows they open through the wide file functions.
std::filesystem::path pathOf(const std::string& path) {
    return std::filesystem::u8path(path);
}

std::string systemReason() {
    return errno ? std::strerror(errno) : "unknown failure";
}

} // namespace

bool readWholeFile(const std::string& path, std::string& bytes, std::string& error) {
    std::error_code status;
    if (std::filesystem::is_directory(pathOf(path), status)) {
        error = "it is a folder";
        return false;
    }
    // A device such as /dev/zero never ends: it would be read until memory runs out.
    if (std::filesystem::is_character_file(pathOf(path), status) ||
        std::filesystem::is_block_file(pathOf(path), status)) {
        error = "it is a device, not a file";
        return false;
    }
    errno = 0;
    std::ifstream file(pathOf(path), std::ios::binary);
    if (!file) {
        error = systemReason();
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (file.bad()) {
        error = systemReason();
        return false;
    }
    return true;
}

bool writeWholeFile(const std::string& path, std::string_view bytes, std::string& error) {
    errno = 0;
    std::ofstream file(pathOf(path), std::ios::binary | std::ios::trunc);
    if (file)
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (file)
        file.close();
    if (!file) {
        error = systemReason();
        return false;
    }
    return true;
}

bool isSameFile(const std::string& one, const std::string& other) {
    std::error_code status;
    return std::filesystem::equivalent(pathOf(one), pathOf(other), status);
}

} // namespace modRegistryUpdate::preview
