// SPDX-License-Identifier: GPL-3.0-or-later
// The project and element places of model failures.
#include "ModelPlaces.h"

namespace velkora {

std::string ProjectPlace(const DbValue& idProject) {
    return idProject.IsNull() ? "no project" : "project " + idProject.ToText();
}

std::string ElementPlace(const ElementRow& element) {
    if (!element.nome.IsNull()) return "element \"" + element.nome.ToText() + "\"";
    return element.id.IsNull() ? "element" : "element ID " + element.id.ToText();
}

}  // namespace velkora
