// SPDX-License-Identifier: GPL-3.0-or-later
// Painting text needs a QGuiApplication; tests make one on the offscreen
// platform the first time they paint.
#pragma once

#include <QGuiApplication>

namespace velkora::test {

inline void EnsureGuiApplication() {
    if (QGuiApplication::instance() != nullptr) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "velkora-tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt's own globals may be gone by the time statics are.
    static const QGuiApplication* application = new QGuiApplication(argc, argv);
    static_cast<void>(application);
}

}  // namespace velkora::test
