#pragma once

#include <string>

namespace modRegistryUpdate {

/// Something a document silently does not do, or does depending on order: one line for its
/// author, never a line of the run's log.
struct Note {
    const char* kind;  ///< the kind's stable name, as the README lists it
    std::string place; ///< the element's location path
    std::string text;  ///< what the program does there, and what was probably meant
};

/// The note as one printed line: `note: PLACE: TEXT [KIND]`.
inline std::string noteLine(const Note& note) {
    return "note: " + note.place + ": " + note.text + " [" + note.kind + "]";
}

} // namespace modRegistryUpdate
