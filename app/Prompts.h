// SPDX-License-Identifier: GPL-3.0-or-later
// What the program asks and tells the user in boxes of its own: the question
// before a row is deleted, the file name of the save dialog and the error
// box. One object answers all three; tests put a recorder in its place.
#pragma once

#include <QString>

class QWidget;

namespace velkora {

class SaveDialog;

inline const QString kDeleteQuestion = QStringLiteral("Delete record?");

class Prompts {
  public:
    virtual ~Prompts() = default;

    // True when the user answers OK.
    virtual bool Confirm(QWidget* parent, const QString& question) = 0;
    // Asks for a file name: reads and updates the dialog's FileName() and
    // FilterIndex(); true when confirmed.
    virtual bool AskFile(SaveDialog& dialog) = 0;
    // Shows the finished text of an error box.
    virtual void ShowError(QWidget* parent, const QString& text) = 0;
};

// The boxes and dialogs of the toolkit.
class QtPrompts : public Prompts {
  public:
    // "Delete record?" in a box captioned "Confirm" with a question icon and
    // the buttons OK and Cancel; closing the box counts as Cancel.
    bool Confirm(QWidget* parent, const QString& question) override;
    // The program's own file dialog: the name comes back exactly as typed,
    // without an overwrite question.
    bool AskFile(SaveDialog& dialog) override;
    // A critical box captioned "Velkora" with an OK button.
    void ShowError(QWidget* parent, const QString& text) override;
};

// The prompts in use: the application's (see VelkoraApplication::SetPrompts).
Prompts& CurrentPrompts();

}  // namespace velkora
