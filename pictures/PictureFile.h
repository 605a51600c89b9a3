// SPDX-License-Identifier: GPL-3.0-or-later
// A picture as the bytes of an SVG or PNG file.
#pragma once

#include <QPainter>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>
#include <string>

namespace velkora {

enum class PictureFormat { Svg, Png };

// By the file name's extension (.svg or .png, any letter case); empty for
// any other.
std::optional<PictureFormat> PictureFormatOf(const QString& path);

using PaintFunction = std::function<void(QPainter& painter, const QSizeF& size)>;

// The file's bytes: paint draws on a canvas of size pixels. Throws Failure
// when the picture cannot be encoded.
std::string PictureBytes(PictureFormat format, const QSize& size, const QString& title,
                         const PaintFunction& paint);

}  // namespace velkora
