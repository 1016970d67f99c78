#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace modRegistryUpdate {

/// The text as a note quotes it: in double quotes, on one line (a control character shows as
/// `?`), cut after its first 60 characters. Any bytes are safe, UTF-8 or not.
std::string quoted(const std::string& text);

/// How many candidates a document's notes may weigh by their edits: a document with thousands of
/// misspelt names still gives its notes at once, the later ones without a near spelling.
constexpr std::size_t spellingBudget = 100000;

/// The first of `candidates` nearest to `text` that is a near spelling of it and not `text`
/// itself; none when no candidate is near. A near spelling is probably the same name spelled
/// another way: the same but for ASCII letter case and blanks at either end, or a few edits apart
/// for its length. Letter case is folded for ASCII only, so that both builds find the same. Each
/// candidate weighed by its edits takes one from `budget`; with none left, only candidates equal
/// but for case and blanks are found.
std::optional<std::string> nearestSpelling(const std::string& text,
                                           const std::vector<std::string>& candidates,
                                           std::size_t& budget);

/// The fewest edits that turn `pattern` into a part of `text` (ASCII letter case folded): a part
/// starting where it likes unless `atStart`, ending where it likes unless `atEnd`.
std::size_t editsToPart(const std::string& pattern, const std::string& text, bool atStart,
                        bool atEnd);

/// How many edits two names may be apart and still be near, for the longer one's length.
std::size_t nearEdits(std::size_t length);

} // namespace modRegistryUpdate
