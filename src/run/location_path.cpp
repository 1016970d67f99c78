#include "run/location_path.h"

#include <vector>

namespace modRegistryUpdate {
namespace {

/// The element's step: its name, with its position among the sibling elements of that name when
/// there is more than one. An unprefixed name in a namespace cannot be written as a name, so it is
/// "*", counted among all sibling elements.
std::string stepOf(const ElementPlace& place) {
    const bool anyName = place.namespaced && place.name.find(':') == std::string::npos;
    const SiblingRank rank = anyName ? place.amongElements : place.amongNamesakes;
    std::string step = anyName ? "*" : place.name;
    if (rank.count > 1)
        step += "[" + std::to_string(rank.position) + "]";
    return step;
}

} // namespace

std::string locationPath(const XmlElement& element) {
    std::vector<std::string> steps{stepOf(element.place())};
    for (auto ancestor = element.parent(); ancestor; ancestor = ancestor->parent())
        steps.push_back(stepOf(ancestor->place()));
    std::string path;
    for (auto step = steps.rbegin(); step != steps.rend(); ++step)
        path += "/" + *step;
    return path;
}

} // namespace modRegistryUpdate
