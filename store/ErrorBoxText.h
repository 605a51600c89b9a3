// SPDX-License-Identifier: GPL-3.0-or-later
// How a failure's message reads where the user sees it: in the error box and
// on velkora-cli's standard error.
#pragma once

#include <QString>

namespace velkora {

// The message with "." appended when its last character sorts after "." in
// character code order (so "... Double)" stays, "Disk full" gets its full stop).
QString ErrorBoxText(const QString& message);

}  // namespace velkora
