// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <functional>
#include <stdexcept>

#include "Connection.h"
#include "Failure.h"
#include "ProjectStore.h"
#include "StoreError.h"
#include "StoreTestFiles.h"
#include "TableDataset.h"

namespace velkora {
namespace {

const std::string kChangedByAnother =
    "The row was changed by another user since it was read. Press Esc or the \u2717 button to "
    "drop your change and see its current values, then enter your change again";
const std::string kDeletedByAnother =
    "The row was deleted by another user since it was read. It stays here as a new row with "
    "your values: the \u2713 button adds it again, Esc or the \u2717 button drops it";

// A store of each provider, with a second connection standing for another
// copy of the program on the same database.
class DatasetTest : public OtherCopyTest {
  protected:
    void SetUp() override {
        OtherCopyTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        Exec("INSERT INTO TAPER (ID, NOME, UM) VALUES (1, 'Thin', 'm,mm'), (2, 'Thick', 'm,mm')");
        Exec(
            "INSERT INTO TAPER_SIZES (ID_TAPER, \"ORDER\", DIAMETER, LENGTH) VALUES (1, 1, 12, "
            "0.5), (1, 2, 10, 0.4), (2, 1, 20, 0.6)");
        Exec(
            "INSERT INTO PROJECTS VALUES (1, 'Six el', 144.3, 'w1c', 10), (2, 'Empty', 432, '', "
            "NULL)");
        Exec(
            "INSERT INTO ELEMENTS VALUES (1, 1, 'Ref', 'Element', 0.52, 1, 0, 10),"
            " (2, 1, 'Dri', 'Driver', 0.5, 2, 0.4, 10), (3, 1, 'D1', 'Element', 0.48, 99, 0.9, 10),"
            " (4, 1, 'D2', 'Element', 0.47, NULL, 1.5, 10)");
        // The server's key generators go on after the keys given above.
        if (OnServer())
            for (const char* table : {"PROJECTS", "ELEMENTS", "TAPER"})
                Exec(QString("SELECT setval(pg_get_serial_sequence('\"%1\"', 'ID'),"
                             " (SELECT MAX(\"ID\") FROM \"%1\"))")
                         .arg(table));
        savedMarks_ = CurrentRegionalMarks();
        SetCurrentRegionalMarks({".", ",", "/"});
        db_ = OpenConnection("velkora.udl", "store-under-test");
        store_.OpenStoreOn(db_);
    }
    void TearDown() override {
        store_.CloseStore();
        db_ = QSqlDatabase();
        SetCurrentRegionalMarks(savedMarks_);
        OtherCopyTest::TearDown();
    }
    // The first value of the first row as the other copy reads it.
    QVariant Read(const QString& sql) {
        QSqlQuery query(other_);
        EXPECT_TRUE(query.exec(QuotedNames(sql)))
            << sql.toStdString() << ": " << query.lastError().text().toStdString();
        return query.next() ? query.value(0) : QVariant();
    }
    static int F(const BoundDataset& dataset, const char* name) { return dataset.FieldIndex(name); }
    static QString Text(const BoundDataset& dataset, const char* name) {
        return dataset.DisplayText(dataset.CurrentRow(), F(dataset, name));
    }
    static QVariant Val(const BoundDataset& dataset, const char* name) {
        return dataset.Value(dataset.CurrentRow(), F(dataset, name));
    }
    static void Set(BoundDataset& dataset, const char* name, const QString& text) {
        dataset.SetFieldText(F(dataset, name), text);
    }
    static std::string MessageOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const Failure& failure) {
            return failure.what();
        }
        return "(no failure)";
    }

    QSqlDatabase db_;
    RegionalMarks savedMarks_;
    ProjectStore store_;
    BoundDataset& projects_ = store_.TProjects();
    BoundDataset& elements_ = store_.TElements();
    BoundDataset& taper_ = store_.TTaper();
    BoundDataset& sizes_ = store_.TTaperSizes();
};

VELKORA_FOR_EACH_PROVIDER(DatasetTest);

TEST_P(DatasetTest, DetailsFollowTheirMastersCurrentRow) {
    ASSERT_EQ(projects_.RowCount(), 2);
    EXPECT_EQ(projects_.CurrentRow(), 0);
    EXPECT_EQ(elements_.RowCount(), 4);
    EXPECT_EQ(Text(elements_, "NOME"), "Ref");
    EXPECT_EQ(sizes_.RowCount(), 2);

    elements_.MoveTo(2);
    projects_.MoveTo(1);
    EXPECT_EQ(elements_.RowCount(), 0);
    EXPECT_EQ(elements_.CurrentRow(), -1);
    projects_.MoveTo(0);
    EXPECT_EQ(elements_.RowCount(), 4);
    EXPECT_EQ(elements_.CurrentRow(), 0);  // the first of the new rows

    taper_.MoveTo(1);
    ASSERT_EQ(sizes_.RowCount(), 1);
    EXPECT_EQ(Text(sizes_, "DIAMETER"), "20");
}

TEST_P(DatasetTest, RefilterIsSkippedWhenTheLinkValueIsUnchanged) {
    elements_.MoveTo(2);
    int resets = 0;
    QObject context;  // ends the connection with the test
    QObject::connect(&elements_, &BoundDataset::RowsReset, &context, [&] { ++resets; });
    Set(projects_, "NOME", "Renamed");
    projects_.Post();
    EXPECT_EQ(resets, 0);
    EXPECT_EQ(elements_.CurrentRow(), 2);
    EXPECT_EQ(Read("SELECT NOME FROM PROJECTS WHERE ID = 1").toString(), "Renamed");
}

TEST_P(DatasetTest, InsertedDetailRowsGetTheMastersId) {
    elements_.MoveTo(1);
    elements_.Insert();
    EXPECT_EQ(elements_.State(), DatasetState::Insert);
    EXPECT_EQ(elements_.CurrentRow(), 1);  // at the current position
    EXPECT_EQ(Val(elements_, "ID_PROJECT").toLongLong(), 1);
    Set(elements_, "NOME", "D3");
    elements_.Post();
    const qlonglong id = Val(elements_, "ID").toLongLong();
    EXPECT_GT(id, 4);
    EXPECT_EQ(Read(QString("SELECT ID_PROJECT FROM ELEMENTS WHERE ID = %1").arg(id)).toLongLong(),
              1);

    taper_.MoveTo(1);
    sizes_.Append();
    EXPECT_EQ(sizes_.CurrentRow(), 1);
    EXPECT_EQ(Val(sizes_, "ID_TAPER").toLongLong(), 2);
    Set(sizes_, "ORDER", "2");
    Set(sizes_, "DIAMETER", "16");
    sizes_.Post();
    EXPECT_EQ(
        Read("SELECT DIAMETER FROM TAPER_SIZES WHERE ID_TAPER = 2 AND \"ORDER\" = 2").toDouble(),
        16);
}

TEST_P(DatasetTest, NewMasterRowGivesAnEmptyDetailUntilPosted) {
    projects_.Append();
    EXPECT_EQ(elements_.RowCount(), 0);
    elements_.Insert();
    EXPECT_TRUE(Val(elements_, "ID_PROJECT").isNull());
    Set(elements_, "NOME", "orphan");
    // Leaving the new project posts the pending element first, with no project.
    projects_.Cancel();
    EXPECT_EQ(projects_.RowCount(), 2);
    EXPECT_EQ(projects_.CurrentRow(), 0);
    EXPECT_EQ(elements_.RowCount(), 4);
    EXPECT_EQ(
        Read("SELECT COUNT(*) FROM ELEMENTS WHERE NOME = 'orphan' AND ID_PROJECT IS NULL").toInt(),
        1);

    projects_.Insert();
    Set(projects_, "NOME", "New design");
    projects_.Post();
    const qlonglong id = Val(projects_, "ID").toLongLong();
    EXPECT_EQ(Read(QString("SELECT NOME FROM PROJECTS WHERE ID = %1").arg(id)).toString(),
              "New design");
    EXPECT_EQ(elements_.RowCount(), 0);
    elements_.Insert();
    EXPECT_EQ(Val(elements_, "ID_PROJECT").toLongLong(), id);
}

TEST_P(DatasetTest, PendingDetailEditIsPostedOrDroppedBeforeTheMasterMoves) {
    Set(elements_, "LEN", "0.55");
    projects_.MoveTo(1);
    EXPECT_DOUBLE_EQ(Read("SELECT LEN FROM ELEMENTS WHERE ID = 1").toDouble(), 0.55);

    elements_.Insert();  // nothing entered
    projects_.MoveTo(0);
    EXPECT_EQ(Read("SELECT COUNT(*) FROM ELEMENTS").toInt(), 4);
    EXPECT_EQ(elements_.RowCount(), 4);
}

TEST_P(DatasetTest, FailedDetailPostKeepsTheMasterOnItsRow) {
    elements_.MoveTo(1);
    EXPECT_THROW(Set(elements_, "LEN", "0,5x"), Failure);
    EXPECT_EQ(MessageOf([&] { projects_.MoveTo(1); }),
              "'0,5x' is not a valid floating point value for field 'SIZE'");
    EXPECT_EQ(projects_.CurrentRow(), 0);
    EXPECT_EQ(elements_.State(), DatasetState::Edit);
    EXPECT_EQ(elements_.CurrentRow(), 1);
    EXPECT_EQ(Text(elements_, "LEN"), "0,5x");

    Set(elements_, "LEN", "0.51");
    Exec("DELETE FROM ELEMENTS WHERE ID = 2");  // another copy deletes it meanwhile
    EXPECT_THROW(projects_.MoveTo(1), StoreError);
    EXPECT_EQ(projects_.CurrentRow(), 0);
    EXPECT_EQ(Text(elements_, "LEN"), "0.51");
    elements_.Cancel();
    projects_.MoveTo(1);
    EXPECT_EQ(elements_.RowCount(), 0);
}

TEST_P(DatasetTest, LookupShowsChoosesAndMovesTheScheduleTable) {
    const int lookup = F(elements_, "LK_TAPER");
    const auto shown = [&](int row) { return elements_.DisplayText(row, lookup); };
    EXPECT_EQ(shown(0), "Thin");
    EXPECT_EQ(shown(1), "Thick");
    EXPECT_EQ(shown(2), "");  // schedule 99 is gone
    EXPECT_EQ(shown(3), "");  // no schedule
    EXPECT_EQ(taper_.CurrentRow(), 0);
    EXPECT_EQ(elements_.LookupChoices(lookup), QStringList({"Thin", "Thick"}));

    elements_.MoveTo(1);
    EXPECT_EQ(taper_.CurrentRow(), 0);  // showing does not move it
    EXPECT_EQ(elements_.OpenLookup(lookup), 1);
    EXPECT_EQ(taper_.CurrentRow(), 1);
    EXPECT_EQ(sizes_.RowCount(), 1);
    elements_.MoveTo(2);
    EXPECT_EQ(elements_.OpenLookup(lookup), -1);
    EXPECT_EQ(taper_.CurrentRow(), 0);
    elements_.PreviewLookup(lookup, 1);
    EXPECT_EQ(taper_.CurrentRow(), 1);
    EXPECT_EQ(elements_.State(), DatasetState::Browse);

    elements_.ChooseLookup(lookup, 0);
    EXPECT_EQ(elements_.State(), DatasetState::Edit);
    EXPECT_EQ(shown(2), "Thin");
    EXPECT_EQ(elements_.CurrentLookupChoice(lookup), 0);
    elements_.Post();
    EXPECT_EQ(Read("SELECT ID_TAPER FROM ELEMENTS WHERE ID = 3").toLongLong(), 1);

    EXPECT_EQ(MessageOf([&] { elements_.SetFieldText(lookup, "Thick"); }),
              "Field 'TAPER SCH.' cannot be modified");
    taper_.MoveTo(0);
    Set(taper_, "NOME", "Slim");
    taper_.Post();
    EXPECT_EQ(shown(0), "Slim");
}

TEST_P(DatasetTest, NullRulesReachTheDatabase) {
    Set(elements_, "LEN", "");
    Set(elements_, "NOME", "");
    elements_.Post();
    EXPECT_TRUE(Read("SELECT LEN FROM ELEMENTS WHERE ID = 1").isNull());
    EXPECT_EQ(Read("SELECT NOME IS NULL FROM ELEMENTS WHERE ID = 1").toInt(), 0);
    EXPECT_EQ(Read("SELECT NOME FROM ELEMENTS WHERE ID = 1").toString(), "");

    elements_.Append();
    Set(elements_, "LEN", "0.4");
    elements_.Post();
    const qlonglong id = Val(elements_, "ID").toLongLong();
    EXPECT_EQ(
        Read(QString("SELECT NOME IS NULL AND TYPE IS NULL FROM ELEMENTS WHERE ID = %1").arg(id))
            .toInt(),
        1);
    EXPECT_EQ(Text(elements_, "NOME"), "");
}

TEST_P(DatasetTest, DisplayAndEntryFollowTheRegionalMarks) {
    projects_.MoveTo(1);
    EXPECT_EQ(Text(projects_, "F0"), "432.000");
    EXPECT_EQ(Text(projects_, "HEIGHT"), "");
    SetCurrentRegionalMarks({",", ".", "."});
    EXPECT_EQ(Text(projects_, "F0"), "432,000");
    Set(projects_, "F0", "1.296,2");  // the offered text with its grouping mark
    projects_.Post();
    EXPECT_DOUBLE_EQ(Read("SELECT F0 FROM PROJECTS WHERE ID = 2").toDouble(), 1296.2);
    EXPECT_EQ(Text(projects_, "F0"), "1.296,200");
    EXPECT_THROW(Set(projects_, "F0", "1.5"), Failure);
    EXPECT_EQ(Text(projects_, "F0"), "1.5");
    EXPECT_THROW(projects_.Post(), Failure);  // still refused, nothing stored
    projects_.Cancel();
    EXPECT_DOUBLE_EQ(Read("SELECT F0 FROM PROJECTS WHERE ID = 2").toDouble(), 1296.2);

    // The key filter keeps the decimal separator of when the store was opened.
    EXPECT_TRUE(elements_.AcceptsKey(F(elements_, "LEN"), u'.'));
    EXPECT_FALSE(elements_.AcceptsKey(F(elements_, "LEN"), u','));
}

TEST_P(DatasetTest, CancelAndDelete) {
    elements_.MoveTo(2);
    Set(elements_, "NOME", "changed");
    elements_.Cancel();
    EXPECT_EQ(Text(elements_, "NOME"), "D1");
    EXPECT_EQ(elements_.State(), DatasetState::Browse);

    elements_.Append();
    EXPECT_EQ(elements_.RowCount(), 5);
    elements_.Cancel();
    EXPECT_EQ(elements_.RowCount(), 4);
    EXPECT_EQ(elements_.CurrentRow(), 2);  // back where it was

    elements_.Delete();
    EXPECT_EQ(elements_.RowCount(), 3);
    EXPECT_EQ(Text(elements_, "NOME"), "D2");
    EXPECT_EQ(Read("SELECT COUNT(*) FROM ELEMENTS WHERE ID = 3").toInt(), 0);
    elements_.Delete();  // the last row: the one before becomes current
    EXPECT_EQ(Text(elements_, "NOME"), "Dri");

    Exec("DELETE FROM ELEMENTS WHERE ID = 2");
    EXPECT_EQ(MessageOf([&] { elements_.Delete(); }),
              "The row was no longer in ELEMENTS: another user had already deleted it. "
              "It is removed from the list.");
    EXPECT_EQ(elements_.RowCount(), 1);

    sizes_.MoveTo(1);
    sizes_.Delete();  // by rowid: the other section of the schedule stays
    EXPECT_EQ(Read("SELECT COUNT(*) FROM TAPER_SIZES WHERE ID_TAPER = 1").toInt(), 1);
    EXPECT_EQ(Read("SELECT \"ORDER\" FROM TAPER_SIZES WHERE ID_TAPER = 1").toInt(), 1);
}

// A row another copy deleted while it was edited stays as a new row with
// every value shown: Post adds it again under a new key, Cancel drops it.
TEST_P(DatasetTest, ARowDeletedMeanwhileStaysAsANewRow) {
    elements_.MoveTo(3);
    Set(elements_, "DISTANCE", "1.75");
    Exec("DELETE FROM ELEMENTS WHERE ID = 4");
    EXPECT_EQ(MessageOf([&] { elements_.Post(); }), kDeletedByAnother);
    EXPECT_EQ(elements_.State(), DatasetState::Insert);
    EXPECT_EQ(Text(elements_, "DISTANCE"), "1.75");
    EXPECT_TRUE(Val(elements_, "ID").isNull());
    elements_.Post();
    EXPECT_EQ(Read("SELECT NOME || '/' || LEN || '/' || DISTANCE || '/' || ID_PROJECT FROM "
                   "ELEMENTS WHERE ID = " +
                   Val(elements_, "ID").toString())
                  .toString(),
              "D2/0.47/1.75/1");

    Set(elements_, "NOME", "D2b");
    Exec("DELETE FROM ELEMENTS WHERE NOME = 'D2'");
    EXPECT_EQ(MessageOf([&] { elements_.Post(); }), kDeletedByAnother);
    elements_.Cancel();
    EXPECT_EQ(elements_.RowCount(), 3);
    EXPECT_EQ(elements_.State(), DatasetState::Browse);
    EXPECT_EQ(Read("SELECT COUNT(*) FROM ELEMENTS").toInt(), 3);
}

TEST_P(DatasetTest, PostRefusedByTheDatabaseLosesNothing) {
    // Another copy holds the write lock past the time this copy waits.
    QSqlQuery(db_).exec(OnServer() ? "SET lock_timeout = '50ms'" : "PRAGMA busy_timeout = 50");
    const QString lockTables =
        OnServer() ? "BEGIN; LOCK TABLE TAPER, TAPER_SIZES" : "BEGIN IMMEDIATE";
    Set(sizes_, "LENGTH", "0.45");
    Exec(lockTables);
    const std::string locked = MessageOf([&] { sizes_.Post(); });
    EXPECT_NE(locked.find("lock"), std::string::npos) << locked;
    EXPECT_EQ(sizes_.State(), DatasetState::Edit);
    EXPECT_EQ(Text(sizes_, "LENGTH"), "0.45");
    Exec("COMMIT");
    sizes_.Post();
    EXPECT_DOUBLE_EQ(
        Read("SELECT LENGTH FROM TAPER_SIZES WHERE ID_TAPER = 1 AND \"ORDER\" = 1").toDouble(),
        0.45);

    // A new row refused keeps its values and posts once the lock is gone.
    Exec(lockTables);
    taper_.Append();
    Set(taper_, "NOME", "Medium");
    EXPECT_THROW(taper_.Post(), StoreError);
    EXPECT_EQ(taper_.State(), DatasetState::Insert);
    EXPECT_EQ(Text(taper_, "NOME"), "Medium");
    Exec("COMMIT");
    taper_.Post();
    EXPECT_EQ(Read("SELECT COUNT(*) FROM TAPER WHERE NOME = 'Medium'").toInt(), 1);
}

// Two copies of the program on one database: the store under test (B) and
// another copy (A) working through its own datasets on its own connection.
TEST_P(DatasetTest, APostOverAnotherCopysChangeIsRefused) {
    ProjectStore a;
    a.OpenStoreOn(other_);
    Set(a.TElements(), "LEN", "1.111");
    a.TElements().Post();
    Set(elements_, "LEN", "2.222");  // B read the row before A's post
    EXPECT_EQ(MessageOf([&] { elements_.Post(); }), kChangedByAnother);
    EXPECT_DOUBLE_EQ(Read("SELECT LEN FROM ELEMENTS WHERE ID = 1").toDouble(), 1.111);
    EXPECT_EQ(elements_.State(), DatasetState::Edit);
    EXPECT_EQ(Text(elements_, "LEN"), "2.222");
    elements_.Cancel();
    EXPECT_EQ(Text(elements_, "LEN"), "1.111");
    Set(elements_, "LEN", "2.222");  // now over what B has seen
    elements_.Post();
    EXPECT_DOUBLE_EQ(Read("SELECT LEN FROM ELEMENTS WHERE ID = 1").toDouble(), 2.222);

    // Different columns of one row still merge; a null compares as null.
    projects_.MoveTo(1);
    a.TProjects().MoveTo(1);
    Set(a.TProjects(), "NOME", "From A");
    a.TProjects().Post();
    Set(projects_, "HEIGHT", "12");
    projects_.Post();
    EXPECT_EQ(Text(projects_, "NOME"), "From A");
    EXPECT_EQ(Read("SELECT NOME || '/' || HEIGHT FROM PROJECTS WHERE ID = 2").toString(),
              "From A/12");

    // A delete needs every value as read; a row deleted meanwhile leaves the list.
    Set(a.TProjects(), "F0", "433");
    a.TProjects().Post();
    EXPECT_EQ(MessageOf([&] { projects_.Delete(); }),
              "The row was changed by another user since it was read, so it was not deleted. "
              "Its current values are shown now");
    EXPECT_EQ(Text(projects_, "F0"), "433.000");
    a.TProjects().Delete();
    Set(projects_, "NOME", "late");
    EXPECT_EQ(MessageOf([&] { projects_.Post(); }), kDeletedByAnother);
    projects_.Cancel();
    EXPECT_EQ(projects_.RowCount(), 1);
}

// A section another copy deleted must not stand for that copy's new section,
// whether the store has the key column (made by the program) or not (an
// older store, where SQLite hands a deleted row number out again).
TEST_P(DatasetTest, AStaleSectionNeverStandsForAnotherCopysNewOne) {
    for (const bool keyed : {true, false}) {
        SCOPED_TRACE(keyed ? "with key column" : "without key column");
        store_.CloseStore();
        if (!keyed) {
            Exec(
                "CREATE TABLE OLD_SIZES (ID_TAPER INTEGER, \"ORDER\" INTEGER,"
                " DIAMETER DOUBLE PRECISION, LENGTH DOUBLE PRECISION)");
            Exec(
                "INSERT INTO OLD_SIZES SELECT ID_TAPER, \"ORDER\", DIAMETER, LENGTH"
                " FROM TAPER_SIZES ORDER BY " +
                QString(OnServer() ? "ID" : "rowid"));
            Exec("DROP TABLE TAPER_SIZES");
            Exec("ALTER TABLE OLD_SIZES RENAME TO TAPER_SIZES");
        }
        store_.OpenStoreOn(db_);
        ProjectStore a;
        a.OpenStoreOn(other_);
        // Both show the one section of schedule 2, the table's last row.
        taper_.MoveTo(1);
        a.TTaper().MoveTo(1);
        const auto replaceInA = [&](const char* diameter) {
            a.TTaperSizes().Delete();
            a.TTaperSizes().Append();
            Set(a.TTaperSizes(), "ORDER", "1");
            Set(a.TTaperSizes(), "DIAMETER", diameter);
            a.TTaperSizes().Post();
        };
        replaceInA("9");
        Set(sizes_, "DIAMETER", "11");
        // By key, A's section is another row: this one was deleted. Without
        // a key it cannot be told from a changed row.
        EXPECT_EQ(MessageOf([&] { sizes_.Post(); }), keyed ? kDeletedByAnother : kChangedByAnother);
        sizes_.Cancel();
        store_.Refresh();
        ASSERT_EQ(sizes_.RowCount(), 1);
        EXPECT_EQ(Text(sizes_, "DIAMETER"), "9");

        replaceInA("8");
        EXPECT_THROW(sizes_.Delete(), StoreError);
        EXPECT_EQ(Read("SELECT DIAMETER FROM TAPER_SIZES WHERE ID_TAPER = 2").toDouble(), 8);
    }
}

// Stores filled by Windows tools hold text that is not UTF-8; the conflict
// checks compare it as the database holds it, so such rows stay editable.
TEST_P(DatasetTest, TextThatIsNotUtf8KeepsItsRowEditable) {
    if (OnServer()) GTEST_SKIP() << "the server holds UTF-8 text only";
    Exec(
        "UPDATE PROJECTS SET NOME = CAST(X'446970E8' AS TEXT), SOURCE_WIRE = CAST(X'77E8' AS TEXT)"
        " WHERE ID = 2");
    Exec("UPDATE ELEMENTS SET NOME = CAST(X'44E8' AS TEXT) WHERE ID = 4");
    store_.Refresh();
    projects_.MoveTo(1);
    Set(projects_, "NOME", "Dip");
    projects_.Post();
    EXPECT_EQ(Read("SELECT NOME || '/' || hex(SOURCE_WIRE) FROM PROJECTS WHERE ID = 2"), "Dip/77E8")
        << "a field left alone keeps its bytes";
    projects_.MoveTo(0);
    elements_.MoveTo(3);
    elements_.Delete();
    EXPECT_EQ(Read("SELECT COUNT(*) FROM ELEMENTS WHERE ID = 4").toInt(), 0);
}

TEST_P(DatasetTest, CurrentProjectAndQueriesUseTheStoresConnection) {
    const ProjectRow row = store_.CurrentProject();
    ASSERT_TRUE(row.id.IsInteger());
    EXPECT_EQ(row.id.ToDouble(), 1);
    EXPECT_EQ(row.nome.ToText(), "Six el");
    EXPECT_TRUE(row.height.IsInteger());
    EXPECT_EQ(row.height.ToDouble(), 10);
    EXPECT_EQ(store_.Queries().ElementsOfProject(row.id).size(), 4u);
}

// A field the code names wrongly is the caller's mistake, never shown to the
// user as a store failure.
TEST(TableDatasetMisuse, UnknownFieldsAreLogicErrors) {
    TableDataset projects(ProjectsDefinition());
    TableDataset elements(ElementsDefinition());
    const std::pair<const char*, std::function<void()>> misuses[] = {
        {"unknown field name", [&] { elements.SetMaster(projects, "NO_SUCH_FIELD", "ID"); }},
        {"unknown field number", [&] { elements.AcceptsKey(99, '1'); }},
        {"field that is not a lookup", [&] { elements.LookupChoices(0); }},
    };
    for (const auto& [name, misuse] : misuses) {
        SCOPED_TRACE(name);
        EXPECT_THROW(misuse(), std::logic_error);
    }
}

TEST(ProjectStoreOpening, FailureLeavesTheLaterTablesClosed) {
    QTemporaryDir dir;
    const QString path = dir.filePath("partial.db");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "partial");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        ASSERT_TRUE(query.exec("CREATE TABLE TAPER (ID INTEGER PRIMARY KEY, NOME TEXT, UM TEXT)"));
        ASSERT_TRUE(
            query.exec("CREATE TABLE TAPER_SIZES (ID_TAPER INTEGER, \"ORDER\" INTEGER,"
                       " DIAMETER DOUBLE, LENGTH DOUBLE)"));
        ProjectStore store;
        EXPECT_THROW(store.OpenStoreOn(db), StoreError);
        EXPECT_TRUE(store.TTaper().IsOpen());
        EXPECT_TRUE(store.TTaperSizes().IsOpen());
        EXPECT_FALSE(store.TProjects().IsOpen());
        EXPECT_FALSE(store.TElements().IsOpen());
        EXPECT_THROW(store.TProjects().Insert(), StoreError);
    }
    QSqlDatabase::removeDatabase("partial");

    ProjectStore store;
    EXPECT_THROW(store.OpenStore(dir.filePath("missing.udl")), StoreError);
    EXPECT_FALSE(store.TTaper().IsOpen());
}

}  // namespace
}  // namespace velkora
