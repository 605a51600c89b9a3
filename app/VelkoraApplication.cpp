// SPDX-License-Identifier: GPL-3.0-or-later
#include "VelkoraApplication.h"

#include <QMetaObject>

namespace velkora {

VelkoraApplication::VelkoraApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The program's title is "Velkora" (error boxes name it in their caption).
    // No display name is set: the desktop would append it to every window's
    // caption, which must read exactly "Velkora - Kelmot".
    setApplicationName(QStringLiteral("Velkora"));
    // Desktops match the window to its menu entry and icon by this name.
    setDesktopFileName(QStringLiteral("org.velkora.Velkora"));
}

bool VelkoraApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ReportFailure(std::current_exception());
    }
    return false;
}

void VelkoraApplication::SetPrompts(Prompts* prompts) {
    prompts_ = prompts ? prompts : &qtPrompts_;
}

void VelkoraApplication::ShowFailure(const std::exception& failure) {
    prompts_->ShowError(activeWindow(), ErrorBoxText(QString::fromUtf8(failure.what())));
}

Prompts& CurrentPrompts() {
    if (auto* application = qobject_cast<VelkoraApplication*>(QCoreApplication::instance()))
        return application->CurrentPrompts();
    static QtPrompts toolkit;  // a program without the application object
    return toolkit;
}

void ReportFailure(std::exception_ptr failure) {
    auto* application = qobject_cast<VelkoraApplication*>(QCoreApplication::instance());
    const auto show = [application](const std::exception& caught) {
        if (application)
            application->ShowFailure(caught);
        else  // no window to show it in
            qCritical("%s", qUtf8Printable(ErrorBoxText(QString::fromUtf8(caught.what()))));
    };
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& caught) {
        show(caught);
    } catch (...) {
        show(std::runtime_error("Unknown failure"));
    }
}

void ReportLater(std::exception_ptr failure) {
    QCoreApplication* application = QCoreApplication::instance();
    if (!application) {
        ReportFailure(failure);
        return;
    }
    QMetaObject::invokeMethod(
        application, [failure] { ReportFailure(failure); }, Qt::QueuedConnection);
}

}  // namespace velkora
