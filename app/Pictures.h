// SPDX-License-Identifier: GPL-3.0-or-later
// The small pictures of the window's buttons, drawn in code, each with a
// normal and a greyed disabled version.
#pragma once

#include <QIcon>

namespace velkora {

enum class Picture { Insert, Delete, Edit, Post, Cancel, Generate, Close, Check };

QIcon PictureIcon(Picture picture);

}  // namespace velkora
