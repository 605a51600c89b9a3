// SPDX-License-Identifier: GPL-3.0-or-later
// The main window on the PostgreSQL provider: the real TForm1 over a store on
// the test server, made by velkora-cli init, with another copy of the program
// standing for a second user.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "Cli.h"
#include "Connection.h"
#include "DBGrid.h"
#include "ProjectStore.h"
#include "RegionalMarks.h"
#include "SaveDialog.h"
#include "TestServer.h"
#include "Unit1.h"
#include "VelkoraApplication.h"
#include "WindowDriving.h"

using namespace velkora;

namespace {

VelkoraApplication* application = nullptr;

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int Cli(const QStringList& args) {
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    const int status = RunCli(args, outStream, errStream);
    if (status != 0) qWarning("velkora-cli: %s", qPrintable(err));
    return status;
}

}  // namespace

using test::ClickCell;
using test::GridText;
using test::Type;

class WindowServerTest : public QObject {
    Q_OBJECT

  private:
    std::optional<test::PgServer> server_;
    std::unique_ptr<test::ServerDatabase> database_;
    std::unique_ptr<QTemporaryDir> dir_;
    QString previousDir_;
    test::RecordedPrompts prompts_;
    QStringList& errors_ = prompts_.errors;
    std::unique_ptr<ProjectStore> store_;  // made before the window, gone after it
    std::unique_ptr<TForm1> form_;

    template <class W>
    W* Find(const char* name) {
        return test::FindWidget<W>(form_.get(), name);
    }
    // What another copy of the program reads or writes, on its own connection.
    QVariant OtherCopy(const QString& sql) {
        QVariant value;
        {
            const QSqlDatabase db = OpenConnection("velkora.udl", "other-copy");
            QSqlQuery query(db);
            if (!query.exec(sql))
                qFatal("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
            if (query.next()) value = query.value(0);
        }
        CloseConnection("other-copy");
        return value;
    }

  private slots:
    void init() {
        server_ = test::PgServerFromEnvironment();
        if (!server_) {
            if (test::ServerTestsRequired()) QFAIL(test::kHowToRunServerTests);
            QSKIP(test::kHowToRunServerTests);
        }
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        previousDir_ = QDir::currentPath();
        QDir::setCurrent(dir_->path());
        database_ = std::make_unique<test::ServerDatabase>(*server_);
        QCOMPARE(Cli({"init", "--provider", "postgresql", "--server", server_->DataSource(),
                      "--database", database_->Name(), "--user", server_->user, "--sample"}),
                 0);
        prompts_ = test::RecordedPrompts();
        SetCurrentRegionalMarks(RegionalMarks{});
        application->SetPrompts(&prompts_);
    }

    void cleanup() {
        form_.reset();
        store_.reset();
        database_.reset();
        if (!previousDir_.isEmpty()) QDir::setCurrent(previousDir_);
        dir_.reset();
    }

    void editPostConflictAndGenerate() {
        store_ = std::make_unique<ProjectStore>();
        form_ = std::make_unique<TForm1>(*store_);
        form_->show();
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
        QCOMPARE(errors_, QStringList());
        DBGrid* projects = Find<DBGrid>("DBGrid3");
        QCOMPARE(projects->model()->rowCount(), 7);

        ClickCell(projects, 0, "SOURCE_WIRE");
        Type("w9c");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);  // leaves the row: posts
        QCOMPARE(errors_, QStringList());
        QCOMPARE(OtherCopy("SELECT \"SOURCE_WIRE\" FROM \"PROJECTS\" WHERE \"ID\" = 1").toString(),
                 "w9c");

        // Another user changes F0 after this window read it.
        OtherCopy("UPDATE \"PROJECTS\" SET \"F0\" = 14.2 WHERE \"ID\" = 1");
        ClickCell(projects, 0, "F0");
        Type("14.3");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(errors_, QStringList({"The row was changed by another user since it was read. "
                                       "Press Esc or the \u2717 button to drop your change and "
                                       "see its current values, then enter your change again."}));
        QCOMPARE(OtherCopy("SELECT \"F0\" FROM \"PROJECTS\" WHERE \"ID\" = 1").toDouble(), 14.2);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);  // Cancel re-reads the row
        QCOMPARE(GridText(projects, 0, "F0"), "14.200");

        // Generate writes what velkora-cli writes from the same store.
        ClickCell(projects, 0, "NOME");
        const QString path = dir_->filePath("beam");  // the dialog adds ".maa"
        prompts_.fileAnswer = [path](SaveDialog& dialog) {
            dialog.SetFileName(path);
            return true;
        };
        QTest::mouseClick(Find<QWidget>("BitBtn4"), Qt::LeftButton);
        QCOMPARE(errors_.size(), 1);
        const QByteArray written = ReadBytes(path + ".maa");
        QVERIFY2(written.startsWith("2-el. Yagi 20 m DK7ZB (28 ohm)\r\n*\r\n14.200\r\n"),
                 written.left(80).constData());
        QCOMPARE(Cli({"generate", "--target", "mmana", "--axis", "x", "--output", "cli.maa",
                      "--project", "1", "--decimal-separator", ".", "--thousands-separator", ","}),
                 0);
        QCOMPARE(ReadBytes("cli.maa"), written);
    }
};

int main(int argc, char** argv) {
    VelkoraApplication app(argc, argv);
    application = &app;
    WindowServerTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "WindowServerTest.moc"
