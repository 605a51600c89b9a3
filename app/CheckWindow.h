// SPDX-License-Identifier: GPL-3.0-or-later
// The Check window: the pictures, the figures and the warnings of the
// current project, worked out anew on a worker after every posted change.
#pragma once

#include <QWidget>
#include <optional>

#include "CheckWork.h"

class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;
class QTimer;

namespace velkora {

class BoundDataset;
class CheckRuns;
class PictureView;
class ProjectStore;

class CheckWindow : public QWidget {
    Q_OBJECT
  public:
    // The store must outlive the window.
    explicit CheckWindow(ProjectStore& store, QWidget* parent = nullptr);
    ~CheckWindow() override;

    // Reads the current project and, when it differs from what the window
    // shows or is working out, checks it anew.
    void Recheck();

  signals:
    // The pictures, figures and warnings show a finished run.
    void Redrawn();
    // The optimizer stored a new project.
    void ProjectAdded(qint64 id);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void CreateViews();
    void CreateFigures();
    void Listen(BoundDataset& dataset);
    void Show(CheckOutcome outcome);
    void ShowFigures(const PictureInput& input);
    void ShowWarnings(const QStringList& warnings);
    void OpenOptimizer();

    ProjectStore& store_;
    CheckRuns* runs_ = nullptr;
    QTimer* recheck_ = nullptr;
    bool read_ = false;             // design_ holds a reading
    std::optional<Design> design_;  // the last reading; empty for no project
    std::vector<PictureView*> views_;
    QTableWidget* figures_ = nullptr;
    QListWidget* warnings_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* optimize_ = nullptr;
};

}  // namespace velkora
