// SPDX-License-Identifier: GPL-3.0-or-later
// The program entry: the application, the main window, the event loop.
#include "FontConfigLoader.h"
#include "ProjectStore.h"
#include "QtMessages.h"
#include "RegionalMarks.h"
#include "StartupWarmUp.h"
#include "Unit1.h"
#include "VelkoraApplication.h"

int main(int argc, char** argv) {
    velkora::KeepQtMessagesOffTheTerminal();
    // The font configuration loads while the application connects to the display.
    velkora::FontConfigLoader fonts;
    velkora::VelkoraApplication application(argc, argv);
    fonts.Wait();
    // The SQLite driver loads while the window is built.
    velkora::StartupWarmUp warmUp;
    velkora::RefreshRegionalMarks();
    velkora::ProjectStore store;  // made first: it outlives the window over it
    velkora::TForm1 form(store);
    form.show();
    return velkora::VelkoraApplication::exec();
}
