// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "MemoryModelSource.h"
#include "ScheduleCache.h"

namespace velkora {
namespace {

TEST(ScheduleCacheTest, EachScheduleIsReadOnceAndComesBackWhole) {
    test::MemoryModelSource source;
    source.sections = {test::Section(1, 1, 12, 0.3), test::Section(1, 2, 10, 1.0),
                       test::Section(2, 1, 8, 0.5)};
    ScheduleCache cache(source);
    const DbValue schedules[] = {DbValue::Integer(1), DbValue::Integer(2), DbValue::Integer(1),
                                 DbValue(),           DbValue::Integer(2), DbValue()};
    for (const DbValue& id : schedules)
        EXPECT_EQ(cache.SectionsOfSchedule(id).size(), source.SectionsOfSchedule(id).size());
    // Six reads of the source above, plus one for each of the three distinct ids.
    EXPECT_EQ(source.sectionQueries, 6 + 3);
    EXPECT_EQ(cache.SectionsOfSchedule(DbValue::Integer(1))[1].diameter, DbValue::Real(10));
}

}  // namespace
}  // namespace velkora
