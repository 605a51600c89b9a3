// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace velkora {

// The horizontal axis along which the boom lies; elements lie along the other one.
enum class MainLobeAxis { X, Y };

}  // namespace velkora
