// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps Qt's own diagnostics off the user's terminal.
#pragma once

namespace velkora {

// From now on Qt's debug, informational, warning and critical messages go
// nowhere: the program reports every failure in its own words, and Qt's
// notes (a driver's, a platform plugin's) would only confuse. A fatal message
// still reaches standard error before Qt ends the program.
void KeepQtMessagesOffTheTerminal();

}  // namespace velkora
