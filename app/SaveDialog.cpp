// SPDX-License-Identifier: GPL-3.0-or-later
#include "SaveDialog.h"

#include <QAbstractFileIconProvider>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QSettings>
#include <QStyle>

#include "Failure.h"

namespace velkora {

namespace {

// Icons and type names from the name alone. The stock provider reads a
// file's first bytes to tell its type; opening and closing one of the
// store's files (velkora.db, -wal, -shm) drops every lock SQLite holds on it
// in this process, and another copy then takes the store for unused.
class NameOnlyIconProvider : public QAbstractFileIconProvider {
  public:
    NameOnlyIconProvider()
        : folder_(QApplication::style()->standardIcon(QStyle::SP_DirIcon)),
          file_(QApplication::style()->standardIcon(QStyle::SP_FileIcon)) {}

    QIcon icon(const QFileInfo& info) const override { return info.isDir() ? folder_ : file_; }
    QString type(const QFileInfo& info) const override {
        if (info.isDir()) return QStringLiteral("Folder");
        const QString suffix = info.suffix();
        return suffix.isEmpty() ? QStringLiteral("File") : suffix.toUpper() + " File";
    }

  private:
    QIcon folder_;
    QIcon file_;
};

// Qt's file dialog keeps its history and last folder in Qt's own settings
// file (QtProject.conf); the program keeps no settings besides its data-link
// file. Qt's settings files are therefore looked for below /dev/null, where
// none can exist or be made: nothing is read and nothing is written.
void KeepNoQtSettings() {
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        for (const QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope})
            QSettings::setPath(format, scope, QStringLiteral("/dev/null"));
}

}  // namespace

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
    KeepNoQtSettings();
    NameOnlyIconProvider icons;  // outlives the dialog
    QFileDialog dialog(parentWidget_, title_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Our own dialog, so that the name comes back exactly as typed and
    // without an overwrite question.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    // Set before the event loop lets the folder listing arrive.
    dialog.setIconProvider(&icons);
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
