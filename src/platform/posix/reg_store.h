#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace modRegistryUpdate::posix {

constexpr std::uint32_t regSz = 1;
constexpr std::uint32_t regDword = 4;

/// How a value's data is held: text for REG_SZ written as a quoted string, a number for a
/// dword, raw bytes for everything else.
enum class RegDataForm { text, dword, bytes };

struct RegValue {
    std::string name; ///< as first written; empty for the default value
    RegDataForm form = RegDataForm::text;
    std::uint32_t type = regSz;
    std::string data; ///< UTF-8 text, or raw bytes
    std::uint32_t number = 0;
    std::string leading; ///< comment lines read before it, kept in place
    std::string source;  ///< its lines as read; written back as they were while unchanged
};

struct RegKey {
    std::string name;                        ///< as created; empty for the root
    std::string path;                        ///< from the root, as created
    std::map<std::string, RegKey*> children; ///< by case-folded name
    std::vector<RegValue> values;            ///< in the order first written
    std::map<std::string, std::size_t> valueIndex;
    std::string leading; ///< comment lines read before its section
    std::string header;  ///< its section line as read; empty when made by this run
    bool hasSection = false;
};

/// One registry root held in memory: names compare without regard to case and keep the case
/// they were created with; the order of sections and values is kept for writing back.
class RegStore {
public:
    RegStore();
    RegStore(const RegStore&) = delete;
    RegStore& operator=(const RegStore&) = delete;

    RegKey& root() { return keys_.front(); }

    /// The key at these path segments, or null when it does not exist.
    RegKey* find(const std::vector<std::string>& segments);
    /// The key at these segments, made with its missing parents; `created` tells whether any
    /// was. With `withSections`, each key made gets a section, as an export shows every key.
    RegKey& create(const std::vector<std::string>& segments, bool withSections, bool& created);
    /// The value of that name, or null.
    const RegValue* findValue(const RegKey& key, const std::string& name) const;
    /// Adds the value, or replaces one of the same name in place. Returns whether it changed.
    bool putValue(RegKey& key, RegValue value);

    /// Keys with a section, in the order they are written.
    const std::vector<RegKey*>& sections() const { return sections_; }
    /// Gives the key a section at the end of the order, if it has none yet.
    void addSection(RegKey& key);

    std::string trailer; ///< comment lines after the last value

private:
    RegKey& child(RegKey& parent, const std::string& name, bool withSection, bool& created);

    std::deque<RegKey> keys_; // a deque keeps every key's address stable as keys are added
    std::vector<RegKey*> sections_;
};

/// Path text split at backslashes, without empty segments.
std::vector<std::string> splitKeyPath(const std::string& path);

} // namespace modRegistryUpdate::posix
