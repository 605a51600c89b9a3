// SPDX-License-Identifier: GPL-3.0-or-later
// The Optimize dialog: goals, weights, limits and budget for one design,
// the search on a worker with its progress, and the best design stored as
// a new project.
#pragma once

#include <QDialog>
#include <atomic>
#include <exception>
#include <thread>
#include <vector>

#include "Optimization.h"

class QCheckBox;
class QDoubleSpinBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace velkora {

class ProjectStore;

class OptimizeDialog : public QDialog {
    Q_OBJECT
  public:
    // The store must outlive the dialog.
    OptimizeDialog(const Design& design, ProjectStore& store, QWidget* parent = nullptr);
    // Stops a search still going and waits for it.
    ~OptimizeDialog() override;

    // Starts the search with the settings shown. Throws Failure for a
    // setting out of range.
    void Start();
    // While searching: stops and keeps the best design so far. Otherwise
    // closes the dialog.
    void CancelOrClose();

  signals:
    void ProjectStored(qint64 id);
    void Finished();  // the search ended, stored or not

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;  // Esc: as Cancel

  private:
    void CreateGoals(QFormLayout* form);
    void CreateLimits(QFormLayout* form);
    void CreateSearch(QFormLayout* form);
    OptimizeRequest RequestShown() const;
    void ShowProgress(int runs, double best);
    void Finish(const OptimizeResult& result, std::exception_ptr failure);
    void Store(const OptimizeResult& result);
    void SetRunning(bool running);

    Design design_;
    ProjectStore& store_;
    std::thread worker_;
    std::atomic<bool> stop_{false};
    int budget_ = 0;

    std::vector<QDoubleSpinBox*> weights_;  // in the order of GoalRows()
    QCheckBox* limitSwr_ = nullptr;
    QDoubleSpinBox* maxSwr_ = nullptr;
    QDoubleSpinBox* z0_ = nullptr;
    QCheckBox* useBand_ = nullptr;
    QDoubleSpinBox* bandStart_ = nullptr;
    QDoubleSpinBox* bandStop_ = nullptr;
    QDoubleSpinBox* bandStep_ = nullptr;
    QCheckBox* lengths_ = nullptr;
    QCheckBox* positions_ = nullptr;
    QDoubleSpinBox* range_ = nullptr;
    QSpinBox* runs_ = nullptr;
    QSpinBox* seed_ = nullptr;
    QLineEdit* name_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* result_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace velkora
