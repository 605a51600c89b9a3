// SPDX-License-Identifier: GPL-3.0-or-later
// A new project made from a stored one with its elements moved and cut to
// new sizes: the optimizer's result, kept beside the design it came from.
#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <vector>

#include "ModelSource.h"

namespace velkora {

// Where one element of the source project goes in the variant.
struct ElementPlace {
    qint64 id = 0;  // the source element's ID
    double len = 0;
    double distance = 0;
};

// How many characters a project's name holds at most.
int MostProjectNameLength();

// "<name> (optimized)", the name cut so the whole fits NOME; a project
// without a name goes by its ID.
QString OptimizedName(const ProjectRow& project);

// Where each of these elements (rows of the source project, by ID) goes.
QList<ElementPlace> ElementPlacesOf(const std::vector<ElementRow>& elements);

// Inserts a copy of project projectId named name, whose elements are the
// source's with LEN and DISTANCE taken from places (one per element of the
// source, by ID); everything else, the schedules included, stays as stored.
// One transaction; the source is not changed. Returns the new project's ID.
// Throws StoreError, and writes nothing, when the database refuses or when
// the project's elements are no longer the ones places names.
qint64 InsertProjectVariant(const QSqlDatabase& db, qint64 projectId, const QString& name,
                            const QList<ElementPlace>& places);

}  // namespace velkora
