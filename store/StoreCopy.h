// SPDX-License-Identifier: GPL-3.0-or-later
// Copying designs from one store into another (SQLite to a server and back):
// projects with their elements, and the schedules with their sections that
// those elements use.
#pragma once

#include <QList>
#include <QSqlDatabase>
#include <optional>

namespace velkora {

struct CopyCounts {
    int projects = 0;
    int elements = 0;
    int schedules = 0;
    int sections = 0;
};

// Copies the projects with these IDs (every project and every schedule when
// none is given) from `from` into `to`, in one transaction on `to`. The
// target gives every row a new key; elements keep their project and
// schedule through the new keys, and an element whose schedule is missing
// in the source gets none. Rows keep the source's order. The source is read
// whole first, in one read transaction. Copying twice makes two copies.
// Text keeps its bytes where the target takes any (SQLite), UTF-8 or not.
// Throws StoreError, and the target is left as it was, when the target is
// the source store itself, or cannot hold a value exactly (text that is not
// UTF-8 on a server, a fraction in a whole-number column): the message
// names the table, the row, the column and the value.
CopyCounts CopyDesigns(const QSqlDatabase& from, const QSqlDatabase& to,
                       const std::optional<QList<qint64>>& projectIds);

}  // namespace velkora
