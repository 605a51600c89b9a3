#include "SaveDialog.h"

#include <QFileDialog>
#include <QLineEdit>

#include "Failure.h"

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
    const bool confirmed = asker_ ? asker_(*this) : AskWithFileDialog();
    if (confirmed && fileName_.size() > MaxNameLength) {
        fileName_ = previous;
        throw Failure("The file name is longer than " + std::to_string(MaxNameLength) +
                      " characters: choose a shorter name or folder");
    }
    return confirmed;
}

bool SaveDialog::AskWithFileDialog() {
    QFileDialog dialog(parentWidget_, title_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Our own dialog, so that the name comes back exactly as typed and
    // without an overwrite question.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    const QStringList filters = NameFilters();
    dialog.setNameFilters(filters);
    if (filterIndex_ >= 1 && filterIndex_ <= filters.size())
        dialog.selectNameFilter(filters[filterIndex_ - 1]);
    if (!fileName_.isEmpty()) dialog.selectFile(fileName_);
    if (auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        edit->setMaxLength(MaxNameLength);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    fileName_ = dialog.selectedFiles().constFirst();
    filterIndex_ = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
    return true;
}

}  // namespace velkora
