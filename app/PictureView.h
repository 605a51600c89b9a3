// SPDX-License-Identifier: GPL-3.0-or-later
// One picture of a design in a widget, drawn by its paint function at the
// widget's size.
#pragma once

#include <QWidget>
#include <memory>

#include "PictureKinds.h"

namespace velkora {

class PictureView : public QWidget {
  public:
    PictureView(const PictureKind& kind, QWidget* parent = nullptr);
    void SetInput(std::shared_ptr<const PictureInput> input);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const PictureKind& kind_;
    std::shared_ptr<const PictureInput> input_;
};

}  // namespace velkora
