// SPDX-License-Identifier: GPL-3.0-or-later
#include "DBNavigator.h"

#include <QResizeEvent>

#include "BoundDataset.h"
#include "DatasetModel.h"
#include "Pictures.h"
#include "Prompts.h"
#include "VelkoraApplication.h"

namespace velkora {

namespace {

constexpr std::array<DBNavigator::Button, 5> kButtons = {
    DBNavigator::Button::Insert, DBNavigator::Button::Delete, DBNavigator::Button::Edit,
    DBNavigator::Button::Post, DBNavigator::Button::Cancel};

Picture PictureOf(DBNavigator::Button button) {
    switch (button) {
        case DBNavigator::Button::Insert:
            return Picture::Insert;
        case DBNavigator::Button::Delete:
            return Picture::Delete;
        case DBNavigator::Button::Edit:
            return Picture::Edit;
        case DBNavigator::Button::Post:
            return Picture::Post;
        case DBNavigator::Button::Cancel:
            return Picture::Cancel;
    }
    return Picture::Insert;
}

}  // namespace

DBNavigator::DBNavigator(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        auto* button = new QToolButton(this);
        button->setFocusPolicy(Qt::NoFocus);
        button->setIcon(PictureIcon(PictureOf(kButtons[i])));
        button->setIconSize(QSize(16, 16));
        button->setAutoRaise(false);
        connect(button, &QToolButton::clicked, this,
                Guarded([this, b = kButtons[i]](bool) { Act(b); }));
        buttons_[i] = button;
    }
    UpdateButtons();
}

QToolButton* DBNavigator::ButtonOf(Button button) const {
    return buttons_[static_cast<std::size_t>(button)];
}

void DBNavigator::SetDataSource(DatasetModel* source) {
    if (dataset_) disconnect(dataset_, nullptr, this, nullptr);
    dataset_ = source ? &source->Dataset() : nullptr;
    if (dataset_) {
        connect(dataset_, &BoundDataset::StateChanged, this, &DBNavigator::UpdateButtons);
        connect(dataset_, &BoundDataset::RowsReset, this, &DBNavigator::UpdateButtons);
        connect(dataset_, &BoundDataset::CurrentRowChanged, this, &DBNavigator::UpdateButtons);
    }
    UpdateButtons();
}

void DBNavigator::Click(Button button) {
    if (ButtonOf(button)->isEnabled()) Act(button);
}

void DBNavigator::resizeEvent(QResizeEvent* event) {
    // The five buttons share the width; the last one takes what is left over.
    const int n = static_cast<int>(buttons_.size());
    const int w = event->size().width() / n;
    for (int i = 0; i < n; ++i) {
        const int width = i == n - 1 ? event->size().width() - w * (n - 1) : w;
        buttons_[static_cast<std::size_t>(i)]->setGeometry(i * w, 0, width, event->size().height());
    }
}

void DBNavigator::UpdateButtons() {
    const bool open = dataset_ && dataset_->IsOpen();
    const bool modifiable = open && dataset_->CanModify();
    const DatasetState state = open ? dataset_->State() : DatasetState::Inactive;
    const bool editing = state == DatasetState::Edit || state == DatasetState::Insert;
    ButtonOf(Button::Insert)->setEnabled(modifiable);
    ButtonOf(Button::Delete)->setEnabled(modifiable && dataset_->RowCount() > 0);
    ButtonOf(Button::Edit)->setEnabled(modifiable && !editing);
    ButtonOf(Button::Post)->setEnabled(editing);
    ButtonOf(Button::Cancel)->setEnabled(editing);
}

void DBNavigator::Act(Button button) {
    if (!dataset_) return;
    // A refused delete leaves the grid's open cell as it is.
    if (button == Button::Delete && !CurrentPrompts().Confirm(window(), kDeleteQuestion)) return;
    if (before_) before_(button);
    switch (button) {
        case Button::Insert:
            dataset_->Insert();
            break;
        case Button::Delete:
            dataset_->Delete();
            break;
        case Button::Edit:
            dataset_->Edit();
            break;
        case Button::Post:
            dataset_->Post();
            break;
        case Button::Cancel:
            dataset_->Cancel();
            break;
    }
}

}  // namespace velkora
