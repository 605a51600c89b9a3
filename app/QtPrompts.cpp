// SPDX-License-Identifier: GPL-3.0-or-later
// The toolkit's boxes and file dialog behind the program's prompts.
#include <QAbstractFileIconProvider>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QSettings>
#include <QStyle>

#include "Prompts.h"
#include "SaveDialog.h"

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

bool QtPrompts::Confirm(QWidget* parent, const QString& question) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), question,
                    QMessageBox::Ok | QMessageBox::Cancel, parent);
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

bool QtPrompts::AskFile(SaveDialog& asked) {
    KeepNoQtSettings();
    NameOnlyIconProvider icons;  // outlives the dialog
    QFileDialog dialog(asked.ParentWidget(), asked.Title());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    // Set before the event loop lets the folder listing arrive.
    dialog.setIconProvider(&icons);
    const QStringList filters = asked.NameFilters();
    dialog.setNameFilters(filters);
    const int index = asked.FilterIndex();
    if (index >= 1 && index <= filters.size()) dialog.selectNameFilter(filters[index - 1]);
    if (!asked.FileName().isEmpty()) dialog.selectFile(asked.FileName());
    if (auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        edit->setMaxLength(SaveDialog::MaxNameLength);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    asked.SetFileName(dialog.selectedFiles().constFirst());
    asked.SetFilterIndex(static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1);
    return true;
}

void QtPrompts::ShowError(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Velkora"), text, QMessageBox::Ok,
                    parent);
    box.exec();
}

}  // namespace velkora
