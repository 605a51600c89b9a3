// SPDX-License-Identifier: GPL-3.0-or-later
#include "SaveDialog.h"

#include <QWidget>

#include "Failure.h"
#include "Prompts.h"

namespace velkora {

SaveDialog::SaveDialog(QWidget* parent) : QObject(parent), parentWidget_(parent) {}

QStringList SaveDialog::NameFilters() const {
    const QStringList parts = filter_.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << QStringLiteral("%1 (%2)").arg(parts[i], parts[i + 1]);
    return filters;
}

bool SaveDialog::Execute() {
    const QString previous = fileName_;
    const bool confirmed = CurrentPrompts().AskFile(*this);
    if (confirmed && fileName_.size() > MaxNameLength) {
        fileName_ = previous;
        throw Failure("The file name is longer than " + std::to_string(MaxNameLength) +
                      " characters: choose a shorter name or folder");
    }
    return confirmed;
}

}  // namespace velkora
