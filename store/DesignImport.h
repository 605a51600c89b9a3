// SPDX-License-Identifier: GPL-3.0-or-later
// An imported design written into the store as one new project.
#pragma once

#include <QSqlDatabase>

#include "ImportedDesign.h"

namespace velkora {

// Adds the project, its elements and the schedules they need, in one
// transaction, and returns the new project's ID. A schedule already in the
// store with the same sections (diameters and lengths in the same order) is
// used instead of a new one; existing schedules are never changed. Throws
// StoreError; the store is then as it was.
qint64 AddImportedDesign(QSqlDatabase& db, const ImportedDesign& design);

}  // namespace velkora
