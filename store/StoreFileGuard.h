// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps a model file from being written over one of the store's own files.
#pragma once

#include <QList>
#include <QString>

#include "Connection.h"

namespace velkora {

// Throws StoreError naming both files when `output` (relative to the working
// directory) is, or leads to through symbolic links or a hard link, one of
// `files`; such a write would replace the store. Reads no file's content.
void RefuseStoreFileAsOutput(const QString& output, const QList<StoreFile>& files);

}  // namespace velkora
