#include "notes/element_notes.h"

#include "meters/element_paths.h"
#include "notes/near_spelling.h"
#include "run/location_path.h"

#include <string>

namespace modRegistryUpdate {
namespace {

using namespace elementPaths;

/// One of the run's selections, and the selection whose elements it is made from (none: the
/// document).
struct Selection {
    const ElementPath* path;
    const ElementPath* from;
};

const Selection selections[] = {
    {&productsOfDocument, nullptr},
    {&devicesOfDocument, nullptr},
    {&includesOfProduct, &productsOfDocument},
    {&firmwaresOfDevice, &devicesOfDocument},
    {&keysOfFirmware, &firmwaresOfDevice},
    {&categoriesOfDevice, &devicesOfDocument},
    {&entriesOfCategory, &categoriesOfDevice},
};

const ElementPath childElements{{{ElementStep::Axis::child, ElementStep::anyName}}};

/// A selection under way: the step its next element must match.
struct Progress {
    const ElementPath* path;
    std::size_t step;
};

std::vector<Progress> startedFrom(const ElementPath* from) {
    std::vector<Progress> started;
    for (const Selection& selection : selections) {
        if (selection.from == from)
            started.push_back({selection.path, 0});
    }
    return started;
}

/// Where the run reads the steps of a selection, from the document: `/Meters/Device/RegistryData`.
std::string written(const ElementPath* path, std::size_t steps) {
    std::string text;
    for (const Selection& selection : selections) {
        if (selection.path == path && selection.from)
            text = written(selection.from, selection.from->steps.size());
    }
    for (std::size_t i = 0; i < steps; ++i) {
        const ElementStep& step = path->steps[i];
        text += (step.axis == ElementStep::Axis::descendant ? "//" : "/") + step.name;
    }
    return text;
}

/// Where the run reads elements of this name; empty when it reads none.
std::string whereRead(const std::string& name) {
    for (const Selection& selection : selections) {
        const auto& steps = selection.path->steps;
        for (std::size_t i = 0; i < steps.size(); ++i) {
            if (steps[i].name == name)
                return written(selection.path, i + 1);
        }
    }
    return {};
}

/// Why an element the run does not select was probably meant to be read; empty when it was not.
std::string whyNoted(const std::string& name, const std::vector<Progress>& around,
                     std::size_t& budget) {
    const auto colon = name.find(':');
    if (colon != std::string::npos && !whereRead(name.substr(colon + 1)).empty())
        return name + " is not read: a prefixed name is not " + name.substr(colon + 1);
    const std::string where = whereRead(name);
    if (!where.empty())
        return name + " is not read here: the program reads it only at " + where;
    std::vector<std::string> readHere;
    for (const Progress& progress : around)
        readHere.push_back(progress.path->steps[progress.step].name);
    if (const auto near = nearestSpelling(name, readHere, budget))
        return name + " is not read: the program reads " + *near + " here";
    return {};
}

struct Pending {
    std::unique_ptr<XmlElement> element;
    std::vector<Progress> around; ///< the selections under way at its parent
    bool withinNoted;
};

} // namespace

void noteElementsNotRead(const XmlDocument& document, std::size_t& budget,
                         std::vector<Note>& notes) {
    // Walks every element once, in document order, carrying the selections under way, so that
    // an element is read exactly when one of the run's selections reaches it.
    std::vector<Pending> pending;
    const auto push = [&](XmlElementList children, const std::vector<Progress>& around,
                          bool withinNoted) {
        for (auto child = children.rbegin(); child != children.rend(); ++child)
            pending.push_back({std::move(*child), around, withinNoted});
    };
    push(document.selectElements(childElements), startedFrom(nullptr), false);
    while (!pending.empty() && roomForNote(notes)) {
        Pending current = std::move(pending.back());
        pending.pop_back();
        const std::string name = current.element->name();
        std::vector<Progress> inside;
        bool read = false;
        for (const Progress& progress : current.around) {
            const ElementStep& step = progress.path->steps[progress.step];
            if (step.axis == ElementStep::Axis::descendant)
                inside.push_back(progress);
            if (step.name != name)
                continue;
            read = true;
            if (progress.step + 1 < progress.path->steps.size()) {
                inside.push_back({progress.path, progress.step + 1});
            } else {
                const std::vector<Progress> next = startedFrom(progress.path);
                inside.insert(inside.end(), next.begin(), next.end());
            }
        }
        bool withinNoted = current.withinNoted;
        if (!read && !withinNoted) {
            const std::string why = whyNoted(name, current.around, budget);
            if (!why.empty()) {
                notes.push_back({"element-not-read", locationPath(*current.element), why});
                withinNoted = true;
            }
        }
        push(current.element->selectElements(childElements), inside, withinNoted);
    }
}

} // namespace modRegistryUpdate
