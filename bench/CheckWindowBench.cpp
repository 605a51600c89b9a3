// SPDX-License-Identifier: GPL-3.0-or-later
// A timing program: from a posted change of the 6-element sample to the
// Check window's redrawn pictures, on the offscreen platform with nec2c.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "BoundDataset.h"
#include "CheckWindow.h"
#include "Cli.h"
#include "ProjectStore.h"

using namespace velkora;

namespace {

constexpr int kNw3z = 4;  // the 6-element sample's project ID
constexpr int kChanges = 20;
constexpr double kGoalMs = 150;

int RowOf(BoundDataset& dataset, const char* field, const QVariant& value) {
    const int index = dataset.FieldIndex(field);
    for (int row = 0; row < dataset.RowCount(); ++row)
        if (dataset.Value(row, index) == value) return row;
    qFatal("no row with %s %s", field, qPrintable(value.toString()));
}

// Milliseconds until the window has redrawn, or -1 after 30 s.
double WaitForRedraw(CheckWindow& window, const QElapsedTimer& clock) {
    QEventLoop loop;
    double ms = -1;
    QObject::connect(&window, &CheckWindow::Redrawn, &loop, [&] {
        ms = double(clock.nsecsElapsed()) / 1e6;
        loop.quit();
    });
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec();
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    QString text;
    QTextStream out(&text), err(&text);
    if (RunCli({"init", "--sample"}, out, err) != kCliSuccess) qFatal("%s", qPrintable(text));
    ProjectStore store;
    store.OpenStore();
    store.TProjects().MoveTo(RowOf(store.TProjects(), "ID", kNw3z));
    CheckWindow window(store);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    QElapsedTimer clock;
    clock.start();
    std::printf("first picture after opening: %.0f ms\n", WaitForRedraw(window, clock));

    BoundDataset& elements = store.TElements();
    const int row = RowOf(elements, "NOME", "Director 1");
    std::vector<double> times;
    for (int i = 0; i < kChanges; ++i) {
        elements.MoveTo(row);
        elements.SetFieldText(elements.FieldIndex("LEN"), i % 2 ? "5.1003" : "5.1053");
        clock.restart();
        elements.Post();
        times.push_back(WaitForRedraw(window, clock));
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf(
        "posted change to redrawn pictures, %d changes: median %.0f ms, best %.0f ms, "
        "worst %.0f ms (goal %.0f ms: %s)\n",
        kChanges, median, times.front(), times.back(), kGoalMs,
        median <= kGoalMs ? "met" : "missed");
    return 0;
}
