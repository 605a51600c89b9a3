// SPDX-License-Identifier: GPL-3.0-or-later
// What generation reads from the project store, in plain C++: the current
// project's row and the two generation queries. The store implements
// ModelSource with SQL; tests implement it in memory.
#pragma once

#include <vector>

#include "DbValue.h"

namespace velkora {

// The fields of the current PROJECTS row that the writers read. All null when
// there is no current project (an empty PROJECTS table).
struct ProjectRow {
    DbValue id;
    DbValue nome;
    DbValue f0;
    DbValue sourceWire;
    DbValue height;
};

// One ELEMENTS row as QCalc yields it.
struct ElementRow {
    DbValue id;
    DbValue idProject;
    DbValue nome;
    DbValue type;
    DbValue len;
    DbValue idTaper;
    DbValue distance;
    DbValue height;
};

// One TAPER_SIZES row as QTaper yields it.
struct TaperSection {
    DbValue idTaper;
    DbValue order;
    DbValue diameter;
    DbValue length;
};

class ModelSource {
  public:
    virtual ~ModelSource() = default;
    // QCalc: the elements whose ID_PROJECT equals idProject, in ascending
    // DISTANCE, ties in ascending ID. A null idProject matches nothing.
    virtual std::vector<ElementRow> ElementsOfProject(const DbValue& idProject) = 0;
    // QTaper: the sections whose ID_TAPER equals idTaper, in ascending ORDER,
    // ties in the order they were stored. A null idTaper matches nothing.
    virtual std::vector<TaperSection> SectionsOfSchedule(const DbValue& idTaper) = 0;
};

}  // namespace velkora
