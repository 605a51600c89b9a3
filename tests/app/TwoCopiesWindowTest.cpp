// SPDX-License-Identifier: GPL-3.0-or-later
// The window beside another copy of the program and another tool on one store, once per provider.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <optional>

#include "Cli.h"
#include "Connection.h"
#include "DBGrid.h"
#include "DBNavigator.h"
#include "DatasetModel.h"
#include "ProjectStore.h"
#include "RegionalMarks.h"
#include "TestServer.h"
#include "Unit1.h"
#include "VelkoraApplication.h"
#include "WindowDriving.h"
#include "WindowFixture.h"

using namespace velkora;
using test::Cli;
using test::ClickCell;
using test::GridText;
using test::TestProvider;
using test::Type;

namespace {

VelkoraApplication* application = nullptr;

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What keeps the window busy while another copy commits.
enum class Busy { RowInEdit, DropDownOpen };

}  // namespace

class TwoCopiesWindowTest : public test::WindowFixture {
    Q_OBJECT

  private:
    std::unique_ptr<ProjectStore> other_;  // another copy of the program

    // A statement of another tool, which announces nothing.
    void OtherTool(const QString& sql) {
        QSqlQuery query(QSqlDatabase::database("other-copy"));
        if (!query.exec(sql))
            qFatal("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
    }
    // Another copy appends a project through its own window's datasets.
    void OtherCopyAddsProject(const QString& name) {
        BoundDataset& projects = other_->TProjects();
        projects.Append();
        projects.SetFieldText(projects.FieldIndex("NOME"), name);
        projects.Post();
    }

  private slots:
    void initTestCase_data() { ProviderRows(); }

    void init() {
        if (!Enter(*application)) return;
        QCOMPARE(test::Cli(InitArguments() << "--sample"), 0);
        QVERIFY(OpenWindow());
        other_ = std::make_unique<ProjectStore>();
        other_->OpenStoreOn(OpenConnection("velkora.udl", "other-copy"));
        QCOMPARE(errors_, QStringList());
    }

    void cleanup() {
        other_.reset();
        if (QSqlDatabase::contains("other-copy")) CloseConnection("other-copy");
        Leave();
    }

    // Rows another copy or another tool commits appear without F5; the
    // current row, the scroll position and the keyboard focus stay.
    void commitsElsewhereAppearWhileIdle_data() {
        QTest::addColumn<bool>("byCopy");
        QTest::newRow("another copy's post") << true;
        QTest::newRow("another tool's commit") << false;
    }
    void commitsElsewhereAppearWhileIdle() {
        QFETCH(bool, byCopy);
        auto* grid = Find<DBGrid>("DBGrid3");
        BoundDataset& projects = form_->Store().TProjects();
        ClickCell(grid, 0, "NOME");
        grid->scrollToBottom();
        ClickCell(grid, projects.RowCount() - 1, "NOME");
        const QVariant id = projects.Value(projects.CurrentRow(), 0);
        const int scrolled = grid->verticalScrollBar()->value();
        QVERIFY(scrolled > 0);
        const int rows = projects.RowCount();

        if (byCopy)
            OtherCopyAddsProject("Live");
        else
            OtherTool("INSERT INTO \"PROJECTS\" (\"NOME\") VALUES ('Live')");
        QTRY_COMPARE(projects.RowCount(), rows + 1);
        QCOMPARE(GridText(grid, rows, "NOME"), "Live");
        QCOMPARE(projects.Value(projects.CurrentRow(), 0), id);
        QCOMPARE(grid->verticalScrollBar()->value(), scrolled);
        QCOMPARE(QApplication::focusWidget(), grid);

        // A changed value repaints its row only: no reset of the grid.
        QSignalSpy resets(grid->model(), &QAbstractItemModel::modelAboutToBeReset);
        OtherTool("UPDATE \"PROJECTS\" SET \"F0\" = 7.1 WHERE \"NOME\" = 'Live'");
        QTRY_COMPARE(GridText(grid, rows, "F0"), "7.100");
        QCOMPARE(resets.count(), 0);
        QCOMPARE(errors_, QStringList());
    }

    // While a row is in edit or a drop-down is open, nothing is read again;
    // once the window is idle, what came meanwhile appears.
    void aBusyWindowIsNotDisturbed_data() {
        QTest::addColumn<Busy>("busy");
        QTest::newRow("row in edit") << Busy::RowInEdit;
        QTest::newRow("drop-down open") << Busy::DropDownOpen;
    }
    void aBusyWindowIsNotDisturbed() {
        QFETCH(Busy, busy);
        auto* grid = Find<DBGrid>("DBGrid4");
        BoundDataset& elements = form_->Store().TElements();
        const int rows = elements.RowCount();
        if (busy == Busy::RowInEdit) {
            ClickCell(grid, 0, "NOME");
            Type("Mine");
        } else {
            ClickCell(grid, 0, "LK_TAPER");
            QTest::keyClick(grid, Qt::Key_F4);
            QTRY_VERIFY(QApplication::activePopupWidget());
        }
        QWidget* focus = QApplication::focusWidget();
        OtherTool("INSERT INTO \"ELEMENTS\" (\"ID_PROJECT\", \"NOME\") VALUES (1, 'Theirs')");
        QTest::qWait(3 * form_->Store().ChangeCheckInterval());
        QCOMPARE(elements.RowCount(), rows);
        QCOMPARE(QApplication::focusWidget(), focus);
        if (busy == Busy::RowInEdit) {
            QCOMPARE(qobject_cast<QLineEdit*>(grid->CellEditor())->text(), "Mine");
            ClickNavigator("DBNavigator4", DBNavigator::Button::Post);
        } else {
            QVERIFY(QApplication::activePopupWidget());
            QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        }
        QTRY_COMPARE(elements.RowCount(), rows + 1);
        QCOMPARE(GridText(grid, rows, "NOME"), "Theirs");
        QCOMPARE(errors_, QStringList());
    }

    // A post refused because another copy changed or deleted the row says
    // what to do in this window, and the typed value is never lost unseen.
    void aRefusedPostSaysWhatToDo_data() {
        QTest::addColumn<bool>("byArrow");  // the row left by Down, not posted by the button
        QTest::addColumn<QString>("otherSql");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shownAfter");  // F0 after Esc, or after a second Post
        const QString changed =
            "The row was changed by another user since it was read. "
            "Press Esc or the \u2717 button to drop your change and see "
            "its current values, then enter your change again.";
        QTest::newRow("changed, left by arrow")
            << true << "UPDATE \"PROJECTS\" SET \"F0\" = 14.2 WHERE \"ID\" = 1" << changed
            << "14.200";
        QTest::newRow("changed") << false
                                 << "UPDATE \"PROJECTS\" SET \"F0\" = 14.2 WHERE \"ID\" = 1"
                                 << "The row was changed by another user since it was read. "
                                    "Press Esc or the \u2717 button to drop your change and see "
                                    "its current values, then enter your change again."
                                 << "14.200";
        QTest::newRow("deleted") << false << "DELETE FROM \"PROJECTS\" WHERE \"ID\" = 1"
                                 << "The row was deleted by another user since it was read. It "
                                    "stays here as a new row with your values: the \u2713 button "
                                    "adds it again, Esc or the \u2717 button drops it."
                                 << "14.300";
    }
    void aRefusedPostSaysWhatToDo() {
        QFETCH(bool, byArrow);
        QFETCH(QString, otherSql);
        QFETCH(QString, message);
        QFETCH(QString, shownAfter);
        auto* grid = Find<DBGrid>("DBGrid3");
        BoundDataset& projects = form_->Store().TProjects();
        ClickCell(grid, 0, "F0");
        Type("14.3");
        OtherTool(otherSql);
        if (byArrow)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        else
            ClickNavigator("DBNavigator3", DBNavigator::Button::Post);
        QTRY_COMPARE(errors_, QStringList{message});
        QCOMPARE(GridText(grid, 0, "F0"), "14.300");
        if (QString::fromLatin1(QTest::currentDataTag()).startsWith("changed"))
            QTest::keyClick(grid, Qt::Key_Escape);
        else
            ClickNavigator("DBNavigator3", DBNavigator::Button::Post);
        QCOMPARE(projects.State(), DatasetState::Browse);
        QCOMPARE(GridText(grid, 0, "F0"), shownAfter);
        QSqlQuery count(QSqlDatabase::database("other-copy"));
        QVERIFY(count.exec("SELECT COUNT(*) FROM \"PROJECTS\" WHERE \"F0\" = " + shownAfter) &&
                count.next());
        QCOMPARE(count.value(0).toInt(), 1);
        QCOMPARE(errors_.size(), 1);
    }

    // A row left by the arrow is posted for the other copy to read, and
    // Generate writes what velkora-cli writes from the same store.
    void postedRowAndModelAsTheToolWritesIt() {
        auto* grid = Find<DBGrid>("DBGrid3");
        QCOMPARE(grid->model()->rowCount(), 7);
        ClickCell(grid, 0, "SOURCE_WIRE");
        Type("w9c");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QSqlQuery wire(QSqlDatabase::database("other-copy"));
        QVERIFY(wire.exec("SELECT \"SOURCE_WIRE\" FROM \"PROJECTS\" WHERE \"ID\" = 1") &&
                wire.next());
        QCOMPARE(wire.value(0).toString(), "w9c");

        ClickCell(grid, 0, "NOME");
        prompts_.AnswerFile(dir_->filePath("beam"));  // the window adds ".maa"
        QTest::mouseClick(Find<QWidget>("BitBtn4"), Qt::LeftButton);
        QCOMPARE(errors_, QStringList());
        const QByteArray written = ReadBytes(dir_->filePath("beam.maa"));
        QVERIFY2(written.startsWith("2-el. Yagi 20 m DK7ZB (28 ohm)\r\n*\r\n14.150\r\n"),
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
    TwoCopiesWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "TwoCopiesWindowTest.moc"
