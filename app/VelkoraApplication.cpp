#include "VelkoraApplication.h"

#include <QMessageBox>
#include <QMetaObject>

namespace velkora {

namespace {

void ShowErrorBox(const QString& text) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Velkora"), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

}  // namespace

VelkoraApplication::VelkoraApplication(int& argc, char** argv)
    : QApplication(argc, argv), shower_(ShowErrorBox) {
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
    } catch (const std::exception& failure) {
        ShowFailure(failure);
    } catch (...) {
        ShowFailure(std::runtime_error("Unknown failure"));
    }
    return false;
}

void VelkoraApplication::SetErrorShower(ErrorShower shower) {
    shower_ = shower ? std::move(shower) : ErrorShower(ShowErrorBox);
}

void VelkoraApplication::ShowFailure(const std::exception& failure) {
    shower_(ErrorBoxText(QString::fromUtf8(failure.what())));
}

void ReportFailure(std::exception_ptr failure) {
    auto* application = qobject_cast<VelkoraApplication*>(QCoreApplication::instance());
    if (!application) {
        RaiseLater(failure);
        return;
    }
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& caught) {
        application->ShowFailure(caught);
    } catch (...) {
        application->ShowFailure(std::runtime_error("Unknown failure"));
    }
}

void RaiseLater(std::exception_ptr failure) {
    QMetaObject::invokeMethod(
        qApp, [failure] { std::rethrow_exception(failure); }, Qt::QueuedConnection);
}

}  // namespace velkora
