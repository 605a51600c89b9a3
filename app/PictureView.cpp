// SPDX-License-Identifier: GPL-3.0-or-later
// Painting one picture of a design in a widget.
#include "PictureView.h"

#include <QPainter>

namespace velkora {

PictureView::PictureView(const PictureKind& kind, QWidget* parent) : QWidget(parent), kind_(kind) {
    setObjectName(QString::fromLatin1(kind.name));
    setMinimumSize(160, 140);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void PictureView::SetInput(std::shared_ptr<const PictureInput> input) {
    input_ = std::move(input);
    update();
}

void PictureView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!input_) return;
    painter.setRenderHint(QPainter::Antialiasing);
    PaintPicture(kind_, painter, QSizeF(size()), *input_);
}

}  // namespace velkora
