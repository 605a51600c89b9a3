// SPDX-License-Identifier: GPL-3.0-or-later
// The Check window and the Optimize dialog driven from the real main window
// over the sample store, with nec2c on PATH and without it.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "BoundDataset.h"
#include "CheckWindow.h"
#include "Cli.h"
#include "OptimizeDialog.h"
#include "ProjectStore.h"
#include "Unit1.h"
#include "VelkoraApplication.h"
#include "WindowDriving.h"

using namespace velkora;

namespace {

VelkoraApplication* application = nullptr;
constexpr int kNw3z = 4;  // the 6-element sample
constexpr int kRunMs = 60000;

// This process's child processes: the nec2c runs it started.
QSet<QString> Children() {
    QSet<QString> children;
    const QByteArray self = QByteArray::number(QCoreApplication::applicationPid());
    for (const QString& pid : QDir("/proc").entryList(QDir::Dirs)) {
        QFile status("/proc/" + pid + "/status");
        if (!status.open(QIODevice::ReadOnly)) continue;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("PPid:") && line.mid(5).trimmed() == self) children << pid;
    }
    return children;
}

int RowOfId(BoundDataset& dataset, qint64 id) {
    const int field = dataset.FieldIndex("ID");
    for (int row = 0; row < dataset.RowCount(); ++row)
        if (dataset.Value(row, field).toLongLong() == id) return row;
    return -1;
}

}  // namespace

class CheckWindowTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString previousDir_;
    QByteArray path_;
    test::RecordedPrompts prompts_;
    QStringList& errors_ = prompts_.errors;
    std::unique_ptr<ProjectStore> store_;  // made before the window, gone after it
    std::unique_ptr<TForm1> form_;

    ProjectStore& Store() { return form_->Store(); }

    CheckWindow* OpenCheck() {
        QTest::mouseClick(test::FindWidget<QPushButton>(form_.get(), "BitBtn5"), Qt::LeftButton);
        return test::FindWidget<CheckWindow>(form_.get(), "CheckWindow");
    }

    QString Status(CheckWindow* window) {
        return test::FindWidget<QLabel>(window, "status")->text();
    }

    void PostText(BoundDataset& dataset, const char* field, const QString& text) {
        dataset.SetFieldText(dataset.FieldIndex(field), text);
        dataset.Post();
    }

  private slots:
    void init() {
        path_ = qgetenv("PATH");
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        previousDir_ = QDir::currentPath();
        QDir::setCurrent(dir_->path());
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        QCOMPARE(RunCli({"init", "--sample"}, outStream, errStream), int(kCliSuccess));
        prompts_ = test::RecordedPrompts();
        application->SetPrompts(&prompts_);
        store_ = std::make_unique<ProjectStore>();
        form_ = std::make_unique<TForm1>(*store_);
        form_->show();
        Store().TProjects().MoveTo(RowOfId(Store().TProjects(), kNw3z));
    }

    void cleanup() {
        form_.reset();
        store_.reset();
        qputenv("PATH", path_);
        QDir::setCurrent(previousDir_);
        dir_.reset();
        QVERIFY2(errors_.isEmpty(), qPrintable(errors_.join('\n')));
    }

    void buttonSitsCentredBetweenTheOtherTwo() {
        const QRect generate = test::FindWidget<QPushButton>(form_.get(), "BitBtn4")->geometry();
        const QRect close = test::FindWidget<QPushButton>(form_.get(), "BitBtn1")->geometry();
        const QRect check = test::FindWidget<QPushButton>(form_.get(), "BitBtn5")->geometry();
        QCOMPARE(generate, QRect(15, 9, 111, 35));
        QCOMPARE(close, QRect(511, 9, 75, 35));
        QCOMPARE(check.top(), 9);
        QCOMPARE(check.height(), 35);
        QVERIFY(std::abs((check.left() - generate.right()) - (close.left() - check.right())) <= 1);
    }

    void followsThePostedChanges_data() {
        QTest::addColumn<bool>("nec2c");
        QTest::newRow("without nec2c: geometry and the install line") << false;
        QTest::newRow("with nec2c: the figures") << true;
    }

    // Each posted change, a new current project among them, is worked out
    // anew; without nec2c the window says how to install it.
    void followsThePostedChanges() {
        QFETCH(bool, nec2c);
        if (!nec2c) qputenv("PATH", QFile::encodeName(dir_->path()));
        CheckWindow* window = OpenCheck();
        QSignalSpy redrawn(window, &CheckWindow::Redrawn);
        QVERIFY(redrawn.wait(kRunMs));
        QCOMPARE(window->windowTitle(), "Velkora - Check: 6-el. Yagi 20 m NW3Z (48 ft boom)");
        const auto* figures = test::FindWidget<QTableWidget>(window, "figures");
        if (nec2c) {
            QVERIFY2(Status(window).startsWith("Figures at 5 frequencies"),
                     qPrintable(Status(window)));
            QVERIFY(!figures->item(0, 1)->text().isEmpty());
        } else {
            QVERIFY2(Status(window).contains("apt-get install nec2c"), qPrintable(Status(window)));
            QVERIFY(figures->item(0, 1)->text().isEmpty());
        }

        PostText(Store().TProjects(), "NOME", "Renamed");
        QVERIFY(redrawn.wait(kRunMs));
        QCOMPARE(window->windowTitle(), "Velkora - Check: Renamed");
        const auto* warnings = test::FindWidget<QListWidget>(window, "warnings");
        QCOMPARE(warnings->item(0)->text(), "No warnings.");

        PostText(Store().TProjects(), "SOURCE_WIRE", "w99c");
        QVERIFY(redrawn.wait(kRunMs));
        QVERIFY2(warnings->item(0)->text().contains("wire 99, outside the model's wires"),
                 qPrintable(warnings->item(0)->text()));

        Store().TProjects().Append();
        PostText(Store().TProjects(), "NOME", "Empty");
        QVERIFY(redrawn.wait(kRunMs));
        QCOMPARE(window->windowTitle(), "Velkora - Check: Empty");
        // A project with a name alone: the window names the first missing value.
        QVERIFY2(Status(window).contains("F0"), qPrintable(Status(window)));
    }

    // A nec2c that never ends: a posted change ends the runs of the design
    // before it, and closing the window ends the last ones at once.
    void newerChangesAndClosingEndTheRuns() {
        QFile fake(dir_->filePath("nec2c"));
        QVERIFY(fake.open(QIODevice::WriteOnly));
        fake.write("#!/bin/sh\nexec sleep 60\n");
        fake.close();
        fake.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", QFile::encodeName(dir_->path()) + ":" + path_);
        QPointer<CheckWindow> window = OpenCheck();
        QTRY_VERIFY(!Children().isEmpty());
        const QSet<QString> older = Children();
        PostText(Store().TProjects(), "F0", "14.2");
        QTRY_VERIFY(!Children().isEmpty() && !Children().intersects(older));
        QElapsedTimer clock;
        clock.start();
        window->close();
        QTRY_VERIFY(window.isNull());
        QVERIFY(Children().isEmpty());
        QVERIFY(clock.elapsed() < 5000);
    }

    // The dialog's result is a new project, made current in the main window.
    void optimizerStoresANewCurrentProject() {
        CheckWindow* window = OpenCheck();
        QSignalSpy redrawn(window, &CheckWindow::Redrawn);
        QVERIFY(redrawn.wait(kRunMs));
        QTest::mouseClick(test::FindWidget<QPushButton>(window, "OptimizeButton"), Qt::LeftButton);
        auto* dialog = test::FindWidget<OptimizeDialog>(window, "OptimizeDialog");
        test::FindWidget<QSpinBox>(dialog, "runs")->setValue(3);
        QSignalSpy finished(dialog, &OptimizeDialog::Finished);
        QTest::mouseClick(test::FindWidget<QPushButton>(dialog, "StartButton"), Qt::LeftButton);
        QVERIFY(finished.wait(kRunMs));
        const BoundDataset& projects = Store().TProjects();
        QCOMPARE(projects.Value(projects.CurrentRow(), projects.FieldIndex("NOME")).toString(),
                 "6-el. Yagi 20 m NW3Z (48 ft boom) (optimized)");
        QVERIFY(projects.Value(projects.CurrentRow(), projects.FieldIndex("ID")).toLongLong() >
                kNw3z);
        QVERIFY(redrawn.wait(kRunMs));
        QCOMPARE(window->windowTitle(),
                 "Velkora - Check: 6-el. Yagi 20 m NW3Z (48 ft boom) (optimized)");
    }
};

int main(int argc, char** argv) {
    VelkoraApplication app(argc, argv);
    application = &app;
    CheckWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "CheckWindowTest.moc"
