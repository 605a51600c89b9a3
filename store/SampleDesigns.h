// SPDX-License-Identifier: GPL-3.0-or-later
// Published Yagi designs with stepped tubing, for a newcomer's first store.
#pragma once

#include <QSqlDatabase>

namespace velkora {

// Adds the sample projects, their elements and taper schedules in one
// transaction. Elements sit at mast height and the projects' HEIGHT is 0, so
// the MMANA and EZNEC models put the antenna at the same height.
// Returns the number of projects added; throws StoreError.
int AddSampleDesigns(QSqlDatabase& db);

}  // namespace velkora
