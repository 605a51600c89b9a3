// SPDX-License-Identifier: GPL-3.0-or-later
#include "MmanaNumbering.h"

#include "ModelPlaces.h"
#include "ModelWriters.h"
#include "ScheduleCache.h"

namespace velkora {

bool IsNullElement(const ElementRow& element) {
    return element.type.IsText() && element.type.ToText() == "Null";
}

std::vector<NumberedElement> NumberMmanaWires(const DbValue& idProject, ModelSource& source,
                                              MainLobeAxis axis) {
    ScheduleCache schedules(source);
    std::vector<NumberedElement> numbered;
    int next = 1;
    for (ElementRow& element : schedules.ElementsOfProject(idProject)) {
        if (IsNullElement(element)) continue;
        std::vector<WireSpan> wires = ForElement(element, [&] {
            return MmanaWrittenWires(element, schedules.SectionsOfSchedule(element.idTaper), axis);
        });
        const int first = next;
        next += static_cast<int>(wires.size());
        numbered.push_back({std::move(element), std::move(wires), first});
    }
    return numbered;
}

}  // namespace velkora
