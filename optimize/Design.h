// SPDX-License-Identifier: GPL-3.0-or-later
// One design held in memory: a project row, its elements in boom order and
// the sections of the schedules they use, read once from a ModelSource and
// handed to the model writers as a ModelSource of its own.
#pragma once

#include <vector>

#include "ModelSource.h"

namespace velkora {

struct Design {
    ProjectRow project;
    std::vector<ElementRow> elements;    // in ascending DISTANCE, as QCalc yields them
    std::vector<TaperSection> sections;  // of every schedule an element uses, each in ORDER
};

// The project's elements and the sections of their schedules.
Design ReadDesign(const ProjectRow& project, ModelSource& source);

// Yields a design's rows as the store's queries would. The design must
// outlive the source.
class DesignSource : public ModelSource {
  public:
    explicit DesignSource(const Design& design) : design_(design) {}
    std::vector<ElementRow> ElementsOfProject(const DbValue& idProject) override;
    std::vector<TaperSection> SectionsOfSchedule(const DbValue& idTaper) override;

  private:
    const Design& design_;
};

}  // namespace velkora
