// SPDX-License-Identifier: GPL-3.0-or-later
// The save dialog of the Generate command: a title, a filter list of
// "description|pattern" pairs and the selected entry (counted from 1), the
// file name it returned last. It adds no extension and asks nothing about an
// existing file: the name comes back as typed.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace velkora {

class SaveDialog : public QObject {
    Q_OBJECT
  public:
    // Asks the user for a name: reads and updates the dialog's FileName() and
    // FilterIndex(); true when confirmed. Tests replace the real dialog by this.
    using Asker = std::function<bool(SaveDialog& dialog)>;

    static constexpr int MaxNameLength = 259;

    explicit SaveDialog(QWidget* parent = nullptr);

    QString Title() const { return title_; }
    void SetTitle(const QString& title) { title_ = title; }
    // "Text File (EZNec)|*.txt|MMAna File|*.maa"
    QString Filter() const { return filter_; }
    void SetFilter(const QString& filter) { filter_ = filter; }
    int FilterIndex() const { return filterIndex_; }
    void SetFilterIndex(int index) { filterIndex_ = index; }
    QString FileName() const { return fileName_; }
    void SetFileName(const QString& name) { fileName_ = name; }

    // The entries of Filter() as the file dialog shows them: "MMAna File (*.maa)".
    QStringList NameFilters() const;

    // Shows the dialog; on confirmation FileName() and FilterIndex() hold the
    // user's choice. Throws Failure for a name longer than MaxNameLength.
    bool Execute();

    void SetAsker(Asker asker) { asker_ = std::move(asker); }

  private:
    bool AskWithFileDialog();

    QWidget* parentWidget_;
    QString title_;
    QString filter_;
    int filterIndex_ = 1;
    QString fileName_;
    Asker asker_;
};

}  // namespace velkora
