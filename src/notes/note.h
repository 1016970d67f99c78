#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace modRegistryUpdate {

/// Something a document silently does not do, or does depending on order: one line for its
/// author, never a line of the run's log.
struct Note {
    const char* kind;  ///< the kind's stable name, as the README lists it
    std::string place; ///< the element's location path
    std::string text;  ///< what the program does there, and what was probably meant
};

/// Notes beyond this many are not looked for: a document with more repeats one mistake
/// throughout, and naming each element costs a walk along its siblings.
constexpr std::size_t mostNotes = 100;

/// Whether another note is looked for: one beyond the most shown says that there are more.
inline bool roomForNote(const std::vector<Note>& notes) {
    return notes.size() <= mostNotes;
}

/// The note as one printed line: `note: PLACE: TEXT [KIND]`.
inline std::string noteLine(const Note& note) {
    return "note: " + note.place + ": " + note.text + " [" + note.kind + "]";
}

} // namespace modRegistryUpdate
