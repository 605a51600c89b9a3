// SPDX-License-Identifier: GPL-3.0-or-later
// The main window driven as a user would: keys and clicks on the real TForm1
// over a real store in a temporary folder, once per provider (SQLite, and
// PostgreSQL when a test server is given), with the error box, the delete
// question and the save dialog replaced by a recorder.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <ctime>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <utility>

#include "BoundDataset.h"
#include "Cli.h"
#include "Connection.h"
#include "DBGrid.h"
#include "DBNavigator.h"
#include "DatePattern.h"
#include "Failure.h"
#include "ModelWriters.h"
#include "ProjectStore.h"
#include "RegionalMarks.h"
#include "SaveDialog.h"
#include "TestServer.h"
#include "Unit1.h"
#include "VelkoraApplication.h"
#include "WindowDriving.h"
#include "WindowFixture.h"

using namespace velkora;
using test::TestProvider;

namespace {

// The program's application with a counting net: a failure that reaches
// notify() has unwound through Qt's frames, which the handlers must prevent.
class TestApplication : public VelkoraApplication {
  public:
    using VelkoraApplication::VelkoraApplication;
    int escaped = 0;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (...) {
            ++escaped;
            ReportFailure(std::current_exception());
            return false;
        }
    }
};

TestApplication* application = nullptr;

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Two projects (2 and 3 elements) and two taper schedules (5 and 2 sections),
// keys counted from 1 in a new store.
const char* const kSampleRows[] = {
    R"(INSERT INTO "TAPER" ("NOME", "UM") VALUES ('20 m tubing', 'm,mm'))",
    R"(INSERT INTO "TAPER" ("NOME", "UM") VALUES ('10 m tubing', 'm,mm'))",
    R"(INSERT INTO "TAPER_SIZES" ("ID_TAPER", "ORDER", "DIAMETER", "LENGTH") VALUES (1, 1, 35, 0.5))",
    R"(INSERT INTO "TAPER_SIZES" ("ID_TAPER", "ORDER", "DIAMETER", "LENGTH") VALUES (1, 2, 30, 1.0))",
    R"(INSERT INTO "TAPER_SIZES" ("ID_TAPER", "ORDER", "DIAMETER", "LENGTH") VALUES (1, 3, 25, 1.0))",
    R"(INSERT INTO "TAPER_SIZES" ("ID_TAPER", "ORDER", "DIAMETER", "LENGTH") VALUES (1, 4, 20, 1.0))",
    R"(INSERT INTO "TAPER_SIZES" ("ID_TAPER", "ORDER", "DIAMETER", "LENGTH") VALUES (1, 5, 16, 2.04))",
    R"(INSERT INTO "TAPER_SIZES" ("ID_TAPER", "ORDER", "DIAMETER", "LENGTH") VALUES (2, 1, 16, 1.0))",
    R"(INSERT INTO "TAPER_SIZES" ("ID_TAPER", "ORDER", "DIAMETER", "LENGTH") VALUES (2, 2, 12, 1.8))",
    R"(INSERT INTO "PROJECTS" ("NOME", "F0", "SOURCE_WIRE", "HEIGHT") VALUES ('2 el 20 m', 14.15, 'w10c', 0))",
    R"(INSERT INTO "PROJECTS" ("NOME", "F0", "SOURCE_WIRE", "HEIGHT") VALUES ('3 el 10 m', 28.5, 'w4c', 0))",
    R"(INSERT INTO "ELEMENTS" ("ID_PROJECT", "NOME", "TYPE", "LEN", "ID_TAPER", "DISTANCE", "HEIGHT") VALUES (1, 'Refl', 'Element', 5.54, 1, 0, 15))",
    R"(INSERT INTO "ELEMENTS" ("ID_PROJECT", "NOME", "TYPE", "LEN", "ID_TAPER", "DISTANCE", "HEIGHT") VALUES (1, 'Drv', 'Driver', 5.13, 1, 2.3, 15))",
    R"(INSERT INTO "ELEMENTS" ("ID_PROJECT", "NOME", "TYPE", "LEN", "ID_TAPER", "DISTANCE", "HEIGHT") VALUES (2, 'Refl', 'Element', 2.705, 2, 0, 15))",
    R"(INSERT INTO "ELEMENTS" ("ID_PROJECT", "NOME", "TYPE", "LEN", "ID_TAPER", "DISTANCE", "HEIGHT") VALUES (2, 'Drv', 'Driver', 2.57, 2, 1.36, 15))",
    R"(INSERT INTO "ELEMENTS" ("ID_PROJECT", "NOME", "TYPE", "LEN", "ID_TAPER", "DISTANCE", "HEIGHT") VALUES (2, 'Dir', 'Element', 2.4, 2, 3.0, 15))",
};

// A value read back from the store on a connection of its own.
QVariant Scalar(const QString& sql) {
    QVariant value;
    {
        QSqlQuery query(OpenConnection("velkora.udl", "check"));
        if (!query.exec(sql))
            qFatal("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
        if (query.next()) value = query.value(0);
    }
    CloseConnection("check");
    return value;
}

void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

}  // namespace

using test::Cli;
using test::ClickCell;
using test::GridText;
using test::Type;

class WindowTest : public test::WindowFixture {
    Q_OBJECT

  private:
    // An empty store of the provider under test, filled with the sample rows.
    void WriteSampleStore() {
        QCOMPARE(Cli(InitArguments()), 0);
        {
            QSqlQuery query(OpenConnection("velkora.udl", "setup"));
            for (const char* sql : kSampleRows)
                if (!query.exec(QString::fromLatin1(sql)))
                    qFatal("%s: %s", sql, qPrintable(query.lastError().text()));
        }
        CloseConnection("setup");
    }

    TForm1& OpenForm() {
        [[maybe_unused]] const bool active = OpenWindow();
        return *form_;
    }
    DBGrid* Grid(const char* name) { return Find<DBGrid>(name); }
    SaveDialog* Dialog() { return Find<SaveDialog>("SaveDialog1"); }
    QString FileName() { return Find<QLabel>("Label3")->text(); }
    QString InDir(const QString& name) const { return dir_->filePath(name); }

    void ShowPage(int page) { Find<QTabWidget>("PageControl1")->setCurrentIndex(page); }
    // Answers the save dialog with a name (confirmed) or cancels it (empty).
    void AnswerDialog(const QString& name, int* opened = nullptr) {
        prompts_.fileAnswer = [name, opened](SaveDialog& dialog) {
            if (opened) ++*opened;
            if (name.isEmpty()) return false;
            dialog.SetFileName(name);
            return true;
        };
    }
    void Click(const char* name) { QTest::mouseClick(Find<QWidget>(name), Qt::LeftButton); }

  private slots:
    void initTestCase_data() { ProviderRows(); }

    void init() {
        if (!Enter(*application)) return;
    }

    void cleanup() {
        QCoreApplication::processEvents();  // failures reported later
        const int escaped = std::exchange(application->escaped, 0);
        Leave();
        QCOMPARE(escaped, 0);
    }

    void errorBoxText_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "File not found"
                                << "File not found.";
        QTest::newRow("digit") << "I/O error 32"
                               << "I/O error 32.";
        QTest::newRow("slash sorts after the stop") << "a/"
                                                    << "a/.";
        QTest::newRow("stop") << "Done."
                              << "Done.";
        QTest::newRow("quote") << "for field 'SIZE'"
                               << "for field 'SIZE'";
        QTest::newRow("parenthesis") << "type (Double)"
                                     << "type (Double)";
        QTest::newRow("exclamation") << "Stop!"
                                     << "Stop!";
        QTest::newRow("blank") << "trailing "
                               << "trailing ";
        QTest::newRow("empty") << ""
                               << "";
    }
    void errorBoxText() {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(ErrorBoxText(message), shown);
    }

    void saveDialogNames() {
        SaveDialog dialog;
        dialog.SetFilter("Text File (EZNec)|*.txt|MMAna File|*.maa");
        QCOMPARE(dialog.NameFilters(),
                 QStringList({"Text File (EZNec) (*.txt)", "MMAna File (*.maa)"}));
        const QString longest(SaveDialog::MaxNameLength, u'a');
        for (const QString& name : {longest, longest + u'a'}) {
            prompts_.AnswerFile(name);
            dialog.SetFileName("before");
            if (name.size() <= SaveDialog::MaxNameLength) {
                QVERIFY(dialog.Execute());
                QCOMPARE(dialog.FileName(), name);
            } else {
                QVERIFY_THROWS_EXCEPTION(Failure, dialog.Execute());
                QCOMPARE(dialog.FileName(), "before");
            }
        }
    }

    void startsWithoutDataLinkFile() {
        TForm1& form = OpenForm();
        QCOMPARE(errors_.size(), 1);
        QVERIFY2(errors_[0].contains("velkora.udl"), qPrintable(errors_[0]));
        QVERIFY(form.isVisible());
        QCOMPARE(form.windowTitle(), "Velkora - Kelmot");
        QCOMPARE(form.size(), QSize(594, 549));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QVERIFY(
            !(form.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        for (const char* name : {"DBGrid1", "DBGrid2", "DBGrid3", "DBGrid4"})
            QCOMPARE(Grid(name)->model()->rowCount(), 0);
        QCOMPARE(form.ModelExtension(), QStringLiteral(".maa"));
        for (const DBNavigator* navigator : form.findChildren<DBNavigator*>())
            for (const QToolButton* button : navigator->findChildren<QToolButton*>())
                QVERIFY(!button->isEnabled());
        std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        QCOMPARE(Find<QStatusBar>("StatusBar1")->currentMessage(),
                 " " + QString::fromStdString(DatePattern("dd/mm/yyyy", local)));
        // Tab order: the buttons, the pages, then the grids (empty ones let
        // the focus pass), then the checked radio button.
        QStringList order;
        for (int i = 0; i < 5; ++i) {
            order << QApplication::focusWidget()->objectName();
            Key(Qt::Key_Tab);
        }
        QCOMPARE(order,
                 QStringList({"BitBtn1", "BitBtn4", "qt_tabwidget_tabbar", "DBGrid3", "DBGrid4"}));
        QCOMPARE(QApplication::focusWidget(), Find<QWidget>("RadioButton3"));
        QVERIFY(Find<QRadioButton>("RadioButton1")->isChecked());
        QVERIFY(Find<QRadioButton>("RadioButton3")->isChecked());
        // Nothing to generate from: the failure is shown, the window stays.
        AnswerDialog(InDir("none"));
        Click("BitBtn4");
        QTRY_COMPARE(errors_.size(), 2);
        QVERIFY(form.isVisible());
    }

    // The Configuration page is made after the first paint; a window not yet
    // painted makes it when the page is chosen, and reads the axis as at start.
    void configurationPageBeforeFirstPaint() {
        WriteSampleStore();
        store_ = std::make_unique<ProjectStore>();
        form_ = std::make_unique<TForm1>(*store_);
        QCOMPARE(form_->findChild<DBGrid*>("DBGrid1"), nullptr);
        QCOMPARE(form_->Axis(), MainLobeAxis::X);
        ShowPage(1);
        QCOMPARE(Grid("DBGrid1")->model()->rowCount(), 2);
        QCOMPARE(Grid("DBGrid2")->model()->rowCount(), 5);
        QVERIFY(Find<QRadioButton>("RadioButton1")->isChecked());
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
        QVERIFY(Grid("DBGrid1")->isVisible());
        QVERIFY(Find<QWidget>("GroupBox2")->isVisible());
    }

    // The titles each grid shows, every one in full, and all columns within
    // the grid's width.
    void gridColumns_data() {
        QTest::addColumn<QString>("grid");
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("projects") << "DBGrid3"
                                  << QStringList{"PROJECT NAME", "F0 (MHz)", "SOURCE WIRE",
                                                 "HEIGHT (m)"};
        QTest::newRow("elements") << "DBGrid4" << QStringList{"EL. NAME", "TYPE",       "SIZE",
                                                              "OFFSET",   "TAPER SCH.", "HEIGHT"};
        QTest::newRow("schedules") << "DBGrid1" << QStringList{"ELEMENT NAME", "UM"};
        QTest::newRow("sections") << "DBGrid2"
                                  << QStringList{"ORDER", "DIAMETER (mm)", "LENGTH (m)"};
    }
    void gridColumns() {
        QFETCH(QString, grid);
        QFETCH(QStringList, titles);
        WriteSampleStore();
        OpenForm();
        DBGrid* target = Grid(grid.toLatin1());
        const QHeaderView* header = target->horizontalHeader();
        QVERIFY(header->font().bold());
        const QFontMetrics metrics(header->font());
        QStringList shown;
        int total = target->verticalHeader()->width() + 2 * target->frameWidth();
        for (int visual = 0; visual < header->count(); ++visual) {
            const int logical = header->logicalIndex(visual);
            if (header->isSectionHidden(logical)) continue;
            const QString title = target->model()->headerData(logical, Qt::Horizontal).toString();
            shown << title;
            QVERIFY2(metrics.horizontalAdvance(title) <= header->sectionSize(logical),
                     qPrintable(title));
            total += header->sectionSize(logical);
        }
        QCOMPARE(shown, titles);
        QVERIFY2(total <= target->width(), qPrintable(QString::number(total)));
    }

    void masterSelectsDetail_data() {
        QTest::addColumn<QString>("master");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("byKey");
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        const QStringList twoElements{"Refl", "Drv"}, threeElements{"Refl", "Drv", "Dir"};
        const QStringList fiveSections{"1", "2", "3", "4", "5"}, twoSections{"1", "2"};
        QTest::newRow("project clicked") << "DBGrid3"
                                         << "DBGrid4" << 0 << false << twoElements << threeElements;
        QTest::newRow("project by arrow") << "DBGrid3"
                                          << "DBGrid4" << 0 << true << twoElements << threeElements;
        QTest::newRow("schedule clicked") << "DBGrid1"
                                          << "DBGrid2" << 1 << false << fiveSections << twoSections;
        QTest::newRow("schedule by arrow") << "DBGrid1"
                                           << "DBGrid2" << 1 << true << fiveSections << twoSections;
    }
    void masterSelectsDetail() {
        QFETCH(QString, master);
        QFETCH(QString, detail);
        QFETCH(int, page);
        QFETCH(bool, byKey);
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        WriteSampleStore();
        OpenForm();
        QCOMPARE(errors_, QStringList());
        ShowPage(page);
        DBGrid* masterGrid = Grid(master.toLatin1());
        DBGrid* detailGrid = Grid(detail.toLatin1());
        const QString field = detail == "DBGrid4" ? "NOME" : "ORDER";
        auto shown = [&] {
            QStringList texts;
            for (int row = 0; row < detailGrid->model()->rowCount(); ++row)
                texts << GridText(detailGrid, row, field);
            return texts;
        };
        QCOMPARE(shown(), before);
        if (byKey) {
            masterGrid->setFocus();
            Key(Qt::Key_Down);
        } else {
            ClickCell(masterGrid, 1, "NOME");
        }
        QCOMPARE(masterGrid->Dataset()->CurrentRow(), 1);
        QCOMPARE(shown(), after);
        QCOMPARE(errors_, QStringList());
    }

    void insertedElementBelongsToProject() {
        WriteSampleStore();
        OpenForm();
        ClickCell(Grid("DBGrid3"), 1, "NOME");
        DBGrid* elements = Grid("DBGrid4");
        ClickCell(elements, 0, "NOME");
        Key(Qt::Key_Insert);
        QCOMPARE(elements->Dataset()->State(), DatasetState::Insert);
        Type("Dir2");
        Key(Qt::Key_Tab);
        Type("Element");
        Key(Qt::Key_Tab);
        Type("2.25");
        Key(Qt::Key_Down);  // leaves the row: posts it
        QCOMPARE(errors_, QStringList());
        QCOMPARE(Scalar("SELECT \"ID_PROJECT\" FROM \"ELEMENTS\" WHERE \"NOME\" = 'Dir2'").toInt(),
                 2);
        QCOMPARE(Scalar("SELECT \"TYPE\" FROM \"ELEMENTS\" WHERE \"NOME\" = 'Dir2'").toString(),
                 "Element");
        QCOMPARE(Scalar("SELECT \"LEN\" FROM \"ELEMENTS\" WHERE \"NOME\" = 'Dir2'").toDouble(),
                 2.25);
    }

    void enterWritesWithoutPosting() {
        WriteSampleStore();
        OpenForm();
        DBGrid* projects = Grid("DBGrid3");
        ClickCell(projects, 0, "SOURCE_WIRE");
        Type("w9c");
        Key(Qt::Key_Return);
        QCOMPARE(projects->CellEditor(), nullptr);
        QCOMPARE(projects->Dataset()->State(), DatasetState::Edit);
        QCOMPARE(GridText(projects, 0, "SOURCE_WIRE"), "w9c");
        QCOMPARE(Scalar("SELECT \"SOURCE_WIRE\" FROM \"PROJECTS\" WHERE \"ID\" = 1").toString(),
                 "w10c");
        Key(Qt::Key_Down);
        QCOMPARE(Scalar("SELECT \"SOURCE_WIRE\" FROM \"PROJECTS\" WHERE \"ID\" = 1").toString(),
                 "w9c");
    }

    void escapeRevertsCellThenRow() {
        WriteSampleStore();
        OpenForm();
        DBGrid* projects = Grid("DBGrid3");
        ClickCell(projects, 0, "SOURCE_WIRE");
        Type("a");
        Key(Qt::Key_Return);
        Key(Qt::Key_Tab);
        Type("77");
        Key(Qt::Key_Escape);  // the typed height goes, the row stays in edit
        QCOMPARE(projects->CellEditor(), nullptr);
        QCOMPARE(projects->Dataset()->State(), DatasetState::Edit);
        QCOMPARE(GridText(projects, 0, "SOURCE_WIRE"), "a");
        QCOMPARE(GridText(projects, 0, "HEIGHT"), "");
        Key(Qt::Key_Escape);  // the row's edit goes
        QCOMPARE(projects->Dataset()->State(), DatasetState::Browse);
        QCOMPARE(GridText(projects, 0, "SOURCE_WIRE"), "w10c");
        QCOMPARE(errors_, QStringList());
    }

    void refusedTextKeepsRowInEdit_data() {
        QTest::addColumn<QString>("grid");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("element size") << "DBGrid4"
                                      << "LEN"
                                      << "1e"
                                      << "'1e' is not a valid floating point value for field "
                                         "'SIZE'";
        QTest::newRow("element height") << "DBGrid4"
                                        << "HEIGHT"
                                        << "1-2"
                                        << "'1-2' is not a valid floating point value for field "
                                           "'HEIGHT'";
        QTest::newRow("project height") << "DBGrid3"
                                        << "HEIGHT"
                                        << "1-2"
                                        << "'1-2' is not a valid integer value for field "
                                           "'HEIGHT'";
    }
    void refusedTextKeepsRowInEdit() {
        QFETCH(QString, grid);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        WriteSampleStore();
        OpenForm();
        DBGrid* target = Grid(grid.toLatin1());
        ClickCell(target, 0, field);
        Type(typed);
        Key(Qt::Key_Down);
        QTRY_COMPARE(errors_, QStringList{message});
        QCOMPARE(target->Dataset()->State(), DatasetState::Edit);
        QCOMPARE(target->Dataset()->CurrentRow(), 0);
        auto* editor = qobject_cast<QLineEdit*>(target->CellEditor());
        QVERIFY(editor);
        QCOMPARE(editor->text(), typed);
        // Leaving the row again refuses the text again; the first Esc then
        // takes the refused text back and the row posts its stored value.
        Key(Qt::Key_Down);
        QTRY_COMPARE(errors_, QStringList({message, message}));
        QCOMPARE(target->Dataset()->CurrentRow(), 0);
        QCOMPARE(target->Dataset()->State(), DatasetState::Edit);
        Key(Qt::Key_Escape);
        QCOMPARE(target->CellEditor(), nullptr);
        QCOMPARE(target->Dataset()->State(), DatasetState::Edit);
        QVERIFY(GridText(target, 0, field) != typed);
        Key(Qt::Key_Down);
        QCOMPARE(errors_.size(), 2);
        QCOMPARE(target->Dataset()->CurrentRow(), 1);
    }

    void numberCellsRefuseLetters() {
        WriteSampleStore();
        OpenForm();
        DBGrid* elements = Grid("DBGrid4");
        ClickCell(elements, 0, "DISTANCE");
        Type("x");
        QCOMPARE(elements->CellEditor(), nullptr);  // refused: no edit begins
        QCOMPARE(elements->Dataset()->State(), DatasetState::Browse);
        Type("1x2");
        auto* editor = qobject_cast<QLineEdit*>(elements->CellEditor());
        QVERIFY(editor);
        QCOMPARE(editor->text(), "12");
    }

    void textCellsTakeTheFieldSize_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("size");
        QTest::newRow("pick list TYPE") << "TYPE" << 15;
        QTest::newRow("plain NOME") << "NOME" << 255;
    }
    void textCellsTakeTheFieldSize() {
        QFETCH(QString, field);
        QFETCH(int, size);
        WriteSampleStore();
        OpenForm();
        DBGrid* elements = Grid("DBGrid4");
        ClickCell(elements, 0, field);
        Type(QString(size + 5, u'x'));
        Key(Qt::Key_Return);
        QCOMPARE(GridText(elements, 0, field), QString(size, u'x'));
    }

    void deleteAsksFirst_data() {
        QTest::addColumn<bool>("byKey");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<int>("left");
        QTest::newRow("navigator, cancelled") << false << false << 2;
        QTest::newRow("navigator, confirmed") << false << true << 1;
        QTest::newRow("ctrl+delete, cancelled") << true << false << 2;
        QTest::newRow("ctrl+delete, confirmed") << true << true << 1;
    }
    void deleteAsksFirst() {
        QFETCH(bool, byKey);
        QFETCH(bool, answer);
        QFETCH(int, left);
        WriteSampleStore();
        OpenForm();
        prompts_.answer = answer;
        DBGrid* projects = Grid("DBGrid3");
        ClickCell(projects, 0, "NOME");
        if (byKey)
            Key(Qt::Key_Delete, Qt::ControlModifier);
        else
            Find<DBNavigator>("DBNavigator3")->ButtonOf(DBNavigator::Button::Delete)->click();
        QCOMPARE(prompts_.questions, QStringList{"Delete record?"});
        QCOMPARE(projects->model()->rowCount(), left);
        QCOMPARE(Scalar("SELECT COUNT(*) FROM \"PROJECTS\"").toInt(), left);
        QCOMPARE(errors_, QStringList());
    }

    void navigatorFollowsState() {
        WriteSampleStore();
        OpenForm();
        DBNavigator* navigator = Find<DBNavigator>("DBNavigator3");
        auto enabled = [navigator] {
            QString flags;
            for (auto b : {DBNavigator::Button::Insert, DBNavigator::Button::Delete,
                           DBNavigator::Button::Edit, DBNavigator::Button::Post,
                           DBNavigator::Button::Cancel})
                flags += navigator->ButtonOf(b)->isEnabled() ? '1' : '0';
            return flags;
        };
        QCOMPARE(enabled(), "11100");
        navigator->ButtonOf(DBNavigator::Button::Edit)->click();
        QCOMPARE(enabled(), "11011");
        navigator->ButtonOf(DBNavigator::Button::Cancel)->click();
        QCOMPARE(enabled(), "11100");
        for (const QToolButton* button : navigator->findChildren<QToolButton*>()) {
            QVERIFY(button->text().isEmpty() || !button->icon().isNull());
            QVERIFY(button->toolTip().isEmpty());
            QCOMPARE(button->focusPolicy(), Qt::NoFocus);
        }
    }

    void pastTheEndAppendsAndLeavingDrops_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("key");
        QTest::newRow("down arrow") << "NOME" << int(Qt::Key_Down);
        QTest::newRow("tab from the last column") << "HEIGHT" << int(Qt::Key_Tab);
    }
    void pastTheEndAppendsAndLeavingDrops() {
        QFETCH(QString, field);
        QFETCH(int, key);
        WriteSampleStore();
        OpenForm();
        DBGrid* elements = Grid("DBGrid4");
        ClickCell(elements, 1, field);
        Key(Qt::Key(key));
        QCOMPARE(elements->Dataset()->State(), DatasetState::Insert);
        QCOMPARE(elements->model()->rowCount(), 3);
        Key(Qt::Key_Down);  // an untouched new row does not append another
        QCOMPARE(elements->model()->rowCount(), 3);
        Click("RadioButton4");  // leaving the grid drops the untouched row
        QCOMPARE(elements->model()->rowCount(), 2);
        QCOMPARE(elements->Dataset()->State(), DatasetState::Browse);
        QCOMPARE(Scalar("SELECT COUNT(*) FROM \"ELEMENTS\"").toInt(), 5);
    }

    void lookupStoresChosenSchedule() {
        WriteSampleStore();
        OpenForm();
        DBGrid* elements = Grid("DBGrid4");
        ClickCell(elements, 0, "LK_TAPER");
        QCOMPARE(GridText(elements, 0, "LK_TAPER"), "20 m tubing");
        Type("1");  // takes no typing
        QCOMPARE(elements->Dataset()->State(), DatasetState::Browse);
        Key(Qt::Key_Down, Qt::AltModifier);
        auto* combo = qobject_cast<QComboBox*>(elements->CellEditor());
        QVERIFY(combo);
        QCOMPARE(combo->count(), 2);
        emit combo->highlighted(1);  // browsing the list moves the schedules along
        QCOMPARE(Grid("DBGrid1")->Dataset()->CurrentRow(), 1);
        QCOMPARE(Grid("DBGrid2")->model()->rowCount(), 2);
        QCOMPARE(elements->Dataset()->State(), DatasetState::Browse);
        emit combo->activated(1);
        QCOMPARE(elements->Dataset()->State(), DatasetState::Edit);
        Find<DBNavigator>("DBNavigator4")->ButtonOf(DBNavigator::Button::Post)->click();
        QCOMPARE(errors_, QStringList());
        QCOMPARE(Scalar("SELECT \"ID_TAPER\" FROM \"ELEMENTS\" WHERE \"ID\" = 1").toInt(), 2);
        QTRY_COMPARE(GridText(elements, 0, "LK_TAPER"), "10 m tubing");
    }

    void lookupListTakingTheFocusKeepsTheCellOpen() {
        WriteSampleStore();
        OpenForm();
        DBGrid* elements = Grid("DBGrid4");
        ClickCell(elements, 0, "LK_TAPER");
        Key(Qt::Key_Down, Qt::AltModifier);
        QPointer<QComboBox> combo = qobject_cast<QComboBox*>(elements->CellEditor());
        QVERIFY(combo);
        QTRY_VERIFY(combo->view()->isVisible());
        // On a desktop the open list, a window of its own, gets the focus:
        // that is no leaving of the grid.
        combo->view()->setFocus(Qt::OtherFocusReason);
        QCoreApplication::processEvents();
        QVERIFY(combo);
        QCOMPARE(elements->CellEditor(), combo.data());
        QVERIFY(combo->view()->isVisible());
        QCOMPARE(errors_, QStringList());
    }

    void generateWritesTheWritersBytes_data() {
        QTest::addColumn<bool>("eznec");
        QTest::addColumn<bool>("yAxis");
        QTest::addColumn<QString>("extension");
        QTest::newRow("mmana, x") << false << false << ".maa";
        QTest::newRow("mmana, y") << false << true << ".maa";
        QTest::newRow("eznec, x") << true << false << ".txt";
        QTest::newRow("eznec, y") << true << true << ".txt";
    }
    void generateWritesTheWritersBytes() {
        QFETCH(bool, eznec);
        QFETCH(bool, yAxis);
        QFETCH(QString, extension);
        WriteSampleStore();
        TForm1& form = OpenForm();
        ClickCell(Grid("DBGrid3"), 1, "NOME");
        if (eznec) Click("RadioButton4");
        if (yAxis) {
            ShowPage(1);
            Click("RadioButton2");
            ShowPage(0);
        }
        AnswerDialog(InDir("beam"));
        Click("BitBtn4");
        QCOMPARE(errors_, QStringList());
        QCOMPARE(FileName(), InDir("beam") + extension);
        const QByteArray written = ReadBytes(InDir("beam") + extension);
        QVERIFY(!written.isEmpty());

        std::ostringstream expected;
        const ProjectRow project = form.Store().CurrentProject();
        const RegionalMarks marks;
        const ModelJob job{project, form.Store().Queries(),
                           yAxis ? MainLobeAxis::Y : MainLobeAxis::X, marks};
        if (eznec)
            WriteEzNecModel(expected, job);
        else
            WriteMmanaModel(expected, job);
        QCOMPARE(written, QByteArray::fromStdString(expected.str()));

        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        const QString cliPath = InDir("cli") + extension;
        const int status = RunCli({"generate", "--target", eznec ? "eznec" : "mmana", "--axis",
                                   yAxis ? "y" : "x", "--output", cliPath, "--project", "2",
                                   "--decimal-separator", ".", "--thousands-separator", ","},
                                  outStream, errStream);
        QCOMPARE(status, 0);
        QCOMPARE(ReadBytes(cliPath), written);
        QVERIFY(written.startsWith(eznec ? QByteArray() : QByteArray("3 el 10 m")));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void cancelledDialogWritesNothing() {
        WriteSampleStore();
        OpenForm();
        int opened = 0;
        AnswerDialog(QString(), &opened);
        Click("BitBtn4");
        QCOMPARE(opened, 1);
        QCOMPARE(FileName(), QString());
        const QStringList files = QDir(dir_->path()).entryList(QDir::Files);
        QCOMPARE(files.filter(QRegularExpression("^(?!velkora\\.(udl|db))")), QStringList());
        QCOMPARE(errors_, QStringList());
    }

    void targetSwitchClearsName() {
        WriteSampleStore();
        OpenForm();
        int opened = 0;
        AnswerDialog(InDir("beam"), &opened);
        Click("Label2");
        QCOMPARE(FileName(), InDir("beam.maa"));
        QCOMPARE(Dialog()->FilterIndex(), 2);
        Click("RadioButton3");  // already checked: nothing changes
        QCOMPARE(FileName(), InDir("beam.maa"));
        Click("RadioButton4");
        QCOMPARE(FileName(), QString());
        QCOMPARE(Dialog()->FilterIndex(), 1);
        QString offered;
        prompts_.fileAnswer = [&offered](SaveDialog& dialog) {
            offered = dialog.FileName();
            return true;  // confirmed as offered
        };
        Click("BitBtn4");
        QCOMPARE(offered, InDir("beam"));
        QCOMPARE(FileName(), InDir("beam.txt"));
        QVERIFY(QFile::exists(InDir("beam.txt")));
        AnswerDialog(QString());
        Click("Label2");  // cancelled: the name stays
        QCOMPARE(FileName(), InDir("beam.txt"));
        AnswerDialog(InDir("beam.txt"));
        Click("Label2");  // the extension is appended without looking
        QCOMPARE(FileName(), InDir("beam.txt.txt"));
    }

    void writerFailureKeepsWindowUsable() {
        WriteSampleStore();
        TForm1& form = OpenForm();
        AnswerDialog(InDir("missing/beam"));
        Click("BitBtn4");
        QTRY_COMPARE(errors_.size(), 1);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QVERIFY(form.isVisible());
        AnswerDialog(InDir("beam"));
        Click("Label2");
        Click("BitBtn4");
        QCOMPARE(errors_.size(), 1);
        QVERIFY(QFile::exists(InDir("beam.maa")));
    }

    void closeDiscardsPendingEdit() {
        WriteSampleStore();
        TForm1& form = OpenForm();
        ClickCell(Grid("DBGrid3"), 0, "NOME");
        Type("X");
        Click("BitBtn1");
        QVERIFY(!form.isVisible());
        form_.reset();
        store_.reset();
        QCOMPARE(Scalar("SELECT \"NOME\" FROM \"PROJECTS\" WHERE \"ID\" = 1").toString(),
                 "2 el 20 m");
        QCOMPARE(errors_, QStringList());
    }

    void localeChangeRereadsMarks() {
        OpenForm();
        const QByteArray previous = qgetenv("LC_ALL");
        qputenv("LC_ALL", "de_DE.UTF-8");
        QEvent change(QEvent::LocaleChange);
        QApplication::sendEvent(form_.get(), &change);
        const RegionalMarks marks = CurrentRegionalMarks();
        qputenv("LC_ALL", previous);
        QCOMPARE(QString::fromStdString(marks.decimalSeparator), ",");
        QCOMPARE(QString::fromStdString(marks.thousandsSeparator), ".");
    }

    void droppedFilesBecomeProjects() {
        WriteSampleStore();
        TForm1& form = OpenForm();
        const char* wires =
            "t\n*\n14.0\n***Wires***\n1\n0.0, -5.0, 0.0, 0.0, 5.0, 0.0, %1, -1\n"
            "***Source***\n1, 1\nw1c, 0.0, 1.0\n***Load***\n0, 1\n"
            "***Segmentation***\n800, 80, 2.0, 2\n***G/H/M/R/AzEl/X***\n"
            "0, 0.0, 4, 50.0, 120, 60, 0.0\n";
        for (const auto& [name, radius] :
             {std::pair{"beam.maa", "0.01"}, std::pair{"bad.maa", "-1"}}) {
            QFile file(InDir(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QString(wires).arg(radius).toUtf8());
        }
        QMimeData data;
        data.setUrls(
            {QUrl::fromLocalFile(InDir("beam.maa")), QUrl::fromLocalFile(InDir("bad.maa"))});
        // The drop goes to the widget that accepted the drag's entry.
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(Grid("DBGrid3")->viewport(), &enter);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Grid("DBGrid3")->viewport(), &drop);
        QCOMPARE(errors_, QStringList{InDir("bad.maa") +
                                      ":6: a negative radius points into MMANA's own taper table, "
                                      "which cannot be read; give the wire its radius in metres."});
        QCOMPARE(form.Store().TProjects().CurrentRow(), 2);
        QCOMPARE(GridText(Grid("DBGrid3"), 2, "NOME"), "t");
    }
};

int main(int argc, char** argv) {
    TestApplication app(argc, argv);
    application = &app;
    WindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "WindowTest.moc"
