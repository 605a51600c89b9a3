// SPDX-License-Identifier: GPL-3.0-or-later
// The window on a store that other copies of the program and velkora-cli use
// at the same time: the real window (TForm1) and the real file dialog on the
// offscreen platform, a real store in a temporary folder (SQLite, and
// PostgreSQL when a test server is given), and another process or connection
// standing for the other copy.
#include <sys/stat.h>

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLabel>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>
#include <optional>

#include "BoundDataset.h"
#include "Cli.h"
#include "Connection.h"
#include "DBGrid.h"
#include "DBNavigator.h"
#include "ProjectStore.h"
#include "SaveDialog.h"
#include "TestServer.h"
#include "Unit1.h"
#include "VelkoraApplication.h"
#include "WindowDriving.h"
#include "WindowFixture.h"

using namespace velkora;
using test::TestProvider;

namespace {

VelkoraApplication* application = nullptr;

// Whether this process holds a POSIX lock on the file (as /proc/locks shows).
bool HoldsLockOn(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) return false;
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly)) return false;
    const QByteArray pid = QByteArray::number(QCoreApplication::applicationPid());
    const QByteArray inode = ':' + QByteArray::number(qulonglong(info.st_ino));
    for (const QByteArray& line : locks.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.contains(pid) && fields.value(fields.indexOf(pid) + 1).endsWith(inode))
            return true;
    }
    return false;
}

QByteArray Digest(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// Statements of another copy, on a connection of its own.
void OtherCopy(const QStringList& statements) {
    {
        QSqlDatabase db = OpenConnection("velkora.udl", "other-copy");
        QSqlQuery query(db);
        for (const QString& sql : statements)
            if (!query.exec(sql)) qFatal("%s", qPrintable(sql));
    }
    CloseConnection("other-copy");
}

}  // namespace

using test::Type;

class SharedStoreWindowTest : public test::WindowFixture {
    Q_OBJECT

  private:
    // The store's own files are SQLite's; on a server there are none.
    static bool OnServer() {
        QFETCH_GLOBAL(TestProvider, provider);
        return provider != TestProvider::SQLite;
    }

  private slots:
    void initTestCase_data() { ProviderRows(); }

    void init() {
        if (!Enter(*application)) return;
        QCOMPARE(test::Cli(InitArguments() << "--sample"), int(kCliSuccess));
        QVERIFY(OpenWindow());
        QVERIFY(errors_.isEmpty());
    }

    void cleanup() { Leave(); }

    // Listing the working folder must not open the store's files: closing any
    // descriptor of a file drops every lock this process holds on it, and a
    // closing copy would then delete the live write-ahead log.
    void fileDialogLeavesTheStoreLocked() {
        if (OnServer()) QSKIP("a store in files only");
        QVERIFY(HoldsLockOn("velkora.db"));
        bool listed = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            auto* model = dialog ? dialog->findChild<QFileSystemModel*>() : nullptr;
            if (!model) return;
            model->setNameFilterDisables(true);  // the store's files show, greyed out
            for (const char* name : {"velkora.db", "velkora.db-wal", "velkora.db-shm"}) {
                const QModelIndex type = model->index(dir_->filePath(name), 2);
                if (type.data().toString().isEmpty()) return;  // not listed yet
            }
            listed = true;
            dialog->reject();
        });
        poll.start(20);
        form_->Label2Click();
        poll.stop();
        QVERIFY(listed);
        QVERIFY(HoldsLockOn("velkora.db"));
        QCOMPARE(QProcess::execute(STORE_COPY, {"open-close"}), 0);
        QVERIFY(QFile::exists("velkora.db-wal"));
        QVERIFY(QDir(qEnvironmentVariable("XDG_CONFIG_HOME")).isEmpty());
    }

    // The navigators take no focus; after a click the keys go to the grid,
    // not to "&Close", which a blank would press.
    void navigatorClickGivesTheGridTheKeyboard() {
        Find<QTabWidget>("PageControl1")->setCurrentIndex(1);
        ClickNavigator("DBNavigator1", DBNavigator::Button::Insert);
        QCOMPARE(QApplication::focusWidget(), Find<DBGrid>("DBGrid1"));
        Type("My 2m tubing");
        QVERIFY(form_->isVisible());
        ClickNavigator("DBNavigator1", DBNavigator::Button::Post);
        BoundDataset& taper = form_->Store().TTaper();
        QCOMPARE(taper.DisplayText(taper.CurrentRow(), taper.FieldIndex("NOME")), "My 2m tubing");
        QCOMPARE(QApplication::focusWidget(), Find<DBGrid>("DBGrid1"));
    }

    // F5 posts the pending edit, then re-reads all four tables keeping each
    // current row where it still exists.
    void f5ShowsWhatAnotherCopyPosted() {
        BoundDataset& elements = form_->Store().TElements();
        BoundDataset& taper = form_->Store().TTaper();
        const int nome = elements.FieldIndex("NOME");
        elements.MoveTo(1);
        const QVariant id = elements.Value(1, elements.FieldIndex("ID"));
        OtherCopy({R"(DELETE FROM "ELEMENTS" WHERE "ID" = (SELECT MIN("ID") FROM "ELEMENTS"))",
                   R"(UPDATE "ELEMENTS" SET "NOME" = 'Renamed' WHERE "ID" = )" + id.toString(),
                   R"(INSERT INTO "ELEMENTS" ("ID_PROJECT", "NOME") VALUES (1, 'Added'))",
                   R"(INSERT INTO "TAPER" ("NOME") VALUES ('New tubing'))"});
        const int tapers = taper.RowCount();
        elements.SetFieldText(elements.FieldIndex("HEIGHT"), "17");  // pending
        auto* grid = Find<DBGrid>("DBGrid4");
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_F5);
        QVERIFY(errors_.isEmpty());
        QCOMPARE(elements.State(), DatasetState::Browse);
        QCOMPARE(elements.CurrentRow(), 0);
        QCOMPARE(elements.Value(0, elements.FieldIndex("ID")), id);
        QCOMPARE(elements.DisplayText(0, nome), "Renamed");
        QCOMPARE(elements.DisplayText(0, elements.FieldIndex("HEIGHT")), "17");
        QCOMPARE(elements.DisplayText(1, nome), "Added");
        QCOMPARE(taper.RowCount(), tapers + 1);
    }

    // A model shows one state of the store: the project row as the database
    // holds it with the elements read at the same moment, even when another
    // copy changed the row after this window showed it.
    void generateReadsTheProjectWithItsElements() {
        OtherCopy({R"(UPDATE "PROJECTS" SET "F0" = 50.5 WHERE "ID" = 1)"});
        prompts_.fileAnswer = [](SaveDialog& dialog) {
            dialog.SetFileName("beam");
            return true;
        };
        QTest::mouseClick(Find<QWidget>("BitBtn4"), Qt::LeftButton);
        QFile model("beam.maa");
        QVERIFY(model.open(QIODevice::ReadOnly));
        QCOMPARE(model.readAll().split('\n').value(2), "50.500\r");
        QVERIFY(errors_.isEmpty());
    }

    // A model is never written over the store, even through a link the
    // dialog's name leads to; the message says so and the store stays.
    void generateRefusesAStoreFile() {
        if (OnServer()) QSKIP("a store in files only");
        QVERIFY(QFile::link("velkora.db", "beam.maa"));
        const QByteArray before = Digest("velkora.db");
        prompts_.fileAnswer = [](SaveDialog& dialog) {
            dialog.SetFileName("beam");
            return true;
        };
        QTest::mouseClick(Find<QWidget>("BitBtn4"), Qt::LeftButton);
        QTRY_COMPARE(errors_.size(), 1);
        QVERIFY2(errors_[0].startsWith("The model file beam.maa would replace the store's "
                                       "database file "),
                 qPrintable(errors_[0]));
        QCOMPARE(Digest("velkora.db"), before);
        QCOMPARE(QFileInfo("beam.maa").symLinkTarget(), dir_->filePath("velkora.db"));
    }
};

int main(int argc, char** argv) {
    // Qt's own settings file would go here; the program must write none.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    VelkoraApplication app(argc, argv);
    application = &app;
    SharedStoreWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "SharedStoreWindowTest.moc"
