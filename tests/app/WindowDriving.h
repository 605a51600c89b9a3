// SPDX-License-Identifier: GPL-3.0-or-later
// Driving the real window in tests as a user would: finding its widgets by
// object name, clicking cells and typing into what has the focus.
#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <functional>

#include "DBGrid.h"
#include "Prompts.h"
#include "SaveDialog.h"

namespace velkora::test {

// The window's widget of that object name; a missing one ends the test run.
template <class W>
W* FindWidget(QWidget* window, const char* name) {
    W* widget = window->findChild<W*>(QString::fromLatin1(name));
    if (!widget) qFatal("no widget %s", name);
    return widget;
}

// The window makes its Configuration page once it has been painted; true
// when the page is there.
inline bool WaitForConfigurationPage(QWidget* window) {
    return QTest::qWaitFor([window] { return window->findChild<DBGrid*>("DBGrid1") != nullptr; });
}

// Clicks a cell of a grid on the page that is shown.
inline void ClickCell(DBGrid* grid, int row, const QString& field) {
    const QModelIndex index = grid->model()->index(row, grid->ColumnOfField(field));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
}

// The text a grid's cell shows.
inline QString GridText(DBGrid* grid, int row, const QString& field) {
    return grid->model()->index(row, grid->ColumnOfField(field)).data().toString();
}

// Types into whatever has the focus, as the keyboard would.
inline void Type(const QString& text) {
    for (const QChar c : text) QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
}

// Prompts that record what the window asks and shows. The save dialog is
// answered by fileAnswer when one is set, else by the real file dialog.
class RecordedPrompts : public Prompts {
  public:
    QStringList errors;
    QStringList questions;
    bool answer = true;  // to every question
    std::function<bool(SaveDialog&)> fileAnswer;

    bool Confirm(QWidget*, const QString& question) override {
        questions << question;
        return answer;
    }
    bool AskFile(SaveDialog& dialog) override {
        return fileAnswer ? fileAnswer(dialog) : QtPrompts().AskFile(dialog);
    }
    void ShowError(QWidget*, const QString& text) override { errors << text; }

    // The save dialog confirmed with this name, or cancelled for an empty one.
    void AnswerFile(const QString& name) {
        fileAnswer = [name](SaveDialog& dialog) {
            if (name.isEmpty()) return false;
            dialog.SetFileName(name);
            return true;
        };
    }
};

}  // namespace velkora::test
