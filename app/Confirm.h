// SPDX-License-Identifier: GPL-3.0-or-later
// The question asked before a row is deleted, replaceable in tests.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace velkora {

// True when the user answers OK.
using Confirmer = std::function<bool(QWidget* parent, const QString& question)>;

// "Delete record?" in a box captioned "Confirm" with a question icon and the
// buttons OK and Cancel; closing the box counts as Cancel.
bool AskConfirm(QWidget* parent, const QString& question);

inline const QString kDeleteQuestion = QStringLiteral("Delete record?");

}  // namespace velkora
