// The program entry: the application, the main window, the event loop.
#include <QKeyEvent>
#include <QTabWidget>
#include <QTimer>

#include "DBGrid.h"
#include "RegionalMarks.h"
#include "Unit1.h"
#include "VelkoraApplication.h"

namespace {

// For scripts/screenshot.sh only: VELKORA_SHOW=configuration shows the second
// page, VELKORA_SHOW=dropdown opens the elements' schedule drop-down.
void PrepareScreenshot(velkora::TForm1& form) {
    const QByteArray show = qgetenv("VELKORA_SHOW");
    if (show == "configuration") {
        form.findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
    } else if (show == "dropdown") {
        QTimer::singleShot(300, &form, [&form] {
            auto* grid = form.findChild<velkora::DBGrid*>(QStringLiteral("DBGrid4"));
            grid->setFocus();
            grid->setCurrentIndex(grid->model()->index(1, grid->ColumnOfField("LK_TAPER")));
            QKeyEvent open(QEvent::KeyPress, Qt::Key_Down, Qt::AltModifier);
            QCoreApplication::sendEvent(grid, &open);
        });
    }
}

}  // namespace

int main(int argc, char** argv) {
    velkora::VelkoraApplication application(argc, argv);
    velkora::RefreshRegionalMarks();
    velkora::TForm1 form;
    form.show();
    PrepareScreenshot(form);
    return velkora::VelkoraApplication::exec();
}
