// SPDX-License-Identifier: GPL-3.0-or-later
// A failure of the project store: the data-link file, the connection, the
// schema or a statement the database refused. The message names what failed.
#pragma once

#include <QString>

#include "Failure.h"

namespace velkora {

class StoreError : public Failure {
  public:
    explicit StoreError(const QString& message) : Failure(message.toStdString()) {}
};

}  // namespace velkora
