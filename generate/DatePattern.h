// SPDX-License-Identifier: GPL-3.0-or-later
// A calendar date as text under a date pattern with the regional date
// separator. Only the elements of "dd/mm/yyyy" are supported: "dd" (day, two
// digits), "mm" (month, two digits), "yyyy" (year, at least four digits) and
// "/" (the date separator, nothing when it is empty); letters are read
// without regard to case. Any other pattern is refused with a Failure.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "RegionalMarks.h"

namespace velkora {

// `moment` is a broken-down local time (as localtime_r gives it); only its
// day, month and year are used.
std::string DatePattern(std::string_view pattern, const std::tm& moment);
std::string DatePattern(std::string_view pattern, const std::tm& moment,
                        const RegionalMarks& marks);

}  // namespace velkora
