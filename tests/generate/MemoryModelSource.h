// SPDX-License-Identifier: GPL-3.0-or-later
// A ModelSource held in memory: elements and sections are returned in the
// order they were added, filtered as the store's queries filter them.
#pragma once

#include <string>
#include <vector>

#include "ModelSource.h"

namespace velkora::test {

class MemoryModelSource : public ModelSource {
  public:
    std::vector<ElementRow> elements;
    std::vector<TaperSection> sections;
    int sectionQueries = 0;

    std::vector<ElementRow> ElementsOfProject(const DbValue& idProject) override {
        std::vector<ElementRow> found;
        if (idProject.IsNull()) return found;
        for (const ElementRow& element : elements) {
            if (element.idProject == idProject) found.push_back(element);
        }
        return found;
    }

    std::vector<TaperSection> SectionsOfSchedule(const DbValue& idTaper) override {
        ++sectionQueries;
        std::vector<TaperSection> found;
        if (idTaper.IsNull()) return found;
        for (const TaperSection& section : sections) {
            if (section.idTaper == idTaper) found.push_back(section);
        }
        return found;
    }
};

inline TaperSection Section(std::int64_t idTaper, std::int64_t order, DbValue diameter,
                            DbValue length) {
    return TaperSection{DbValue::Integer(idTaper), DbValue::Integer(order), std::move(diameter),
                        std::move(length)};
}

inline TaperSection Section(std::int64_t idTaper, std::int64_t order, double diameter,
                            double length) {
    return Section(idTaper, order, DbValue::Real(diameter), DbValue::Real(length));
}

// Project 7 at f0 MHz, fed at w4c, over free space.
inline ProjectRow Project(double f0) {
    return ProjectRow{DbValue::Integer(7), DbValue::Text("P"), DbValue::Real(f0),
                      DbValue::Text("w4c"), DbValue::Integer(0)};
}

// An element of project 7 on schedule 1, 10 m up.
inline ElementRow Element(std::string nome, double len, double distance) {
    ElementRow element;
    element.idProject = DbValue::Integer(7);
    element.nome = DbValue::Text(std::move(nome));
    element.type = DbValue::Text("Element");
    element.len = DbValue::Real(len);
    element.idTaper = DbValue::Integer(1);
    element.distance = DbValue::Real(distance);
    element.height = DbValue::Real(10);
    return element;
}

}  // namespace velkora::test
