// SPDX-License-Identifier: GPL-3.0-or-later
// A record navigator: five picture buttons (Insert, Delete, Edit, Post,
// Cancel) acting on one bound dataset, enabled by its state.
#pragma once

#include <QToolButton>
#include <QWidget>
#include <array>
#include <functional>

namespace velkora {

class DatasetModel;
class BoundDataset;

class DBNavigator : public QWidget {
    Q_OBJECT
  public:
    enum class Button { Insert, Delete, Edit, Post, Cancel };
    // Runs before a button acts, e.g. to write or drop a grid's open cell.
    using BeforeAction = std::function<void(Button)>;

    explicit DBNavigator(QWidget* parent = nullptr);

    void SetDataSource(DatasetModel* source);
    void SetBeforeAction(BeforeAction before) { before_ = std::move(before); }

    QToolButton* ButtonOf(Button button) const;
    // Acts as a click on the button would (no effect while it is disabled).
    void Click(Button button);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void UpdateButtons();
    void Act(Button button);

    BoundDataset* dataset_ = nullptr;
    std::array<QToolButton*, 5> buttons_{};
    BeforeAction before_;
};

}  // namespace velkora
