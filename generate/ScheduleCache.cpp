// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScheduleCache.h"

namespace velkora {

std::vector<ElementRow> ScheduleCache::ElementsOfProject(const DbValue& idProject) {
    return source_.ElementsOfProject(idProject);
}

std::vector<TaperSection> ScheduleCache::SectionsOfSchedule(const DbValue& idTaper) {
    for (const auto& [id, sections] : schedules_)
        if (id == idTaper) return sections;
    schedules_.emplace_back(idTaper, source_.SectionsOfSchedule(idTaper));
    return schedules_.back().second;
}

}  // namespace velkora
