// SPDX-License-Identifier: GPL-3.0-or-later
#include "SweepHeading.h"

#include "PictureStyle.h"

namespace velkora {

std::optional<double> PaintSweepHeading(QPainter& painter, const QSizeF& size,
                                        const std::vector<FrequencyFigures>& sweep,
                                        const QString& title, const QString& what) {
    if (sweep.empty()) {
        PaintReason(painter, size, title, "The solver gave no frequencies to draw.");
        return std::nullopt;
    }
    return PaintHeading(painter, size, title,
                        what + QString("%1 to %2 MHz")
                                   .arg(sweep.front().mhz, 0, 'f', 3)
                                   .arg(sweep.back().mhz, 0, 'f', 3));
}

}  // namespace velkora
