// SPDX-License-Identifier: GPL-3.0-or-later
// A ModelSource that reads each taper schedule once per model. Elements
// usually share a few schedules, so this spares most of the section queries;
// the elements still come straight from the source.
#pragma once

#include <utility>
#include <vector>

#include "ModelSource.h"

namespace velkora {

class ScheduleCache : public ModelSource {
  public:
    explicit ScheduleCache(ModelSource& source) : source_(source) {}

    std::vector<ElementRow> ElementsOfProject(const DbValue& idProject) override;
    std::vector<TaperSection> SectionsOfSchedule(const DbValue& idTaper) override;

  private:
    ModelSource& source_;
    // Few schedules per model: a list searched from the front is enough.
    std::vector<std::pair<DbValue, std::vector<TaperSection>>> schedules_;
};

}  // namespace velkora
