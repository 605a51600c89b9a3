// SPDX-License-Identifier: GPL-3.0-or-later
// The save dialog of the Generate command: a title, a filter list of
// "description|pattern" pairs and the selected entry (counted from 1), the
// file name it returned last. It adds no extension and asks nothing about an
// existing file: the name comes back as typed.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QWidget;

namespace velkora {

class SaveDialog : public QObject {
    Q_OBJECT
  public:
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

    // The window the dialog opens over.
    QWidget* ParentWidget() const { return parentWidget_; }

    // Asks the current prompts for a name; on confirmation FileName() and
    // FilterIndex() hold the user's choice. Throws Failure for a name longer
    // than MaxNameLength.
    bool Execute();

  private:
    QWidget* parentWidget_;
    QString title_;
    QString filter_;
    int filterIndex_ = 1;
    QString fileName_;
};

}  // namespace velkora
