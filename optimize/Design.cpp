// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a design into memory and yielding it back as a ModelSource.
#include "Design.h"

#include <algorithm>

namespace velkora {

Design ReadDesign(const ProjectRow& project, ModelSource& source) {
    Design design{project, source.ElementsOfProject(project.id), {}};
    std::vector<DbValue> read;
    for (const ElementRow& element : design.elements) {
        if (std::find(read.begin(), read.end(), element.idTaper) != read.end()) continue;
        read.push_back(element.idTaper);
        for (TaperSection& section : source.SectionsOfSchedule(element.idTaper))
            design.sections.push_back(std::move(section));
    }
    return design;
}

std::vector<ElementRow> DesignSource::ElementsOfProject(const DbValue& idProject) {
    if (idProject.IsNull() || !(idProject == design_.project.id)) return {};
    // Varied positions keep the boom order, so the stored order is QCalc's.
    return design_.elements;
}

std::vector<TaperSection> DesignSource::SectionsOfSchedule(const DbValue& idTaper) {
    std::vector<TaperSection> found;
    if (idTaper.IsNull()) return found;
    for (const TaperSection& section : design_.sections)
        if (section.idTaper == idTaper) found.push_back(section);
    return found;
}

}  // namespace velkora
