// SPDX-License-Identifier: GPL-3.0-or-later
#include <QSqlQuery>

#include "Connection.h"
#include "DbValueFromVariant.h"
#include "GenerationQueries.h"
#include "ReadSnapshot.h"
#include "StoreError.h"
#include "StoreTestFiles.h"

namespace velkora {
namespace {

// Tables as another tool might make them: no relations, no keys.
QStringList OutsideSchema(bool server) {
    if (server)
        return {
            "CREATE TABLE PROJECTS (ID BIGINT, NOME TEXT, F0 DOUBLE PRECISION, SOURCE_WIRE TEXT,"
            " HEIGHT INTEGER)",
            "CREATE TABLE ELEMENTS (ID BIGINT, ID_PROJECT BIGINT, NOME TEXT, TYPE TEXT,"
            " LEN DOUBLE PRECISION, ID_TAPER BIGINT, DISTANCE DOUBLE PRECISION,"
            " HEIGHT DOUBLE PRECISION)",
            "CREATE TABLE TAPER (ID BIGINT, NOME TEXT, UM TEXT)",
            "CREATE TABLE TAPER_SIZES (ID_TAPER BIGINT, \"ORDER\" INTEGER,"
            " DIAMETER DOUBLE PRECISION, LENGTH DOUBLE PRECISION)"};
    return {
        "CREATE TABLE PROJECTS (ID INTEGER, NOME TEXT, F0 REAL, SOURCE_WIRE TEXT, HEIGHT "
        "INTEGER)",
        "CREATE TABLE ELEMENTS (ID INTEGER, ID_PROJECT INTEGER, NOME TEXT, TYPE TEXT, LEN,"
        " ID_TAPER, DISTANCE REAL, HEIGHT REAL)",
        "CREATE TABLE TAPER (ID INTEGER, NOME TEXT, UM TEXT)",
        "CREATE TABLE TAPER_SIZES (ID_TAPER INTEGER, \"ORDER\" INTEGER, DIAMETER REAL, "
        "LENGTH)"};
}

class GenerationQueriesTest : public ProviderTest {
  protected:
    void TearDown() override {
        db_ = QSqlDatabase();
        CloseConnection("test");
        CloseConnection("reader");
        ProviderTest::TearDown();
    }
    // A database the program made, or, with outside, one made by another
    // tool without relations or keys.
    void Open(const QStringList& rows, bool outside = false) {
        QStringList schema;
        for (const QString& statement : OutsideSchema(OnServer())) schema << QuotedNames(statement);
        MakeStore(outside ? schema : QStringList());
        db_ = OpenConnection("velkora.udl", "test");
        QSqlQuery query(db_);
        for (const QString& row : rows)
            ASSERT_TRUE(query.exec(QuotedNames(row)))
                << row.toStdString() << ": " << query.lastError().text().toStdString();
    }
    QSqlDatabase db_;
};
VELKORA_FOR_EACH_PROVIDER(GenerationQueriesTest);

// The same, for what only SQLite's loose column types allow.
using SqliteGenerationQueriesTest = GenerationQueriesTest;
INSTANTIATE_TEST_SUITE_P(SQLite, SqliteGenerationQueriesTest,
                         ::testing::Values(test::TestProvider::SQLite));

std::vector<std::int64_t> Ids(const std::vector<ElementRow>& rows) {
    std::vector<std::int64_t> ids;
    for (const ElementRow& row : rows) ids.push_back(static_cast<std::int64_t>(row.id.ToDouble()));
    return ids;
}

std::vector<double> Diameters(const std::vector<TaperSection>& sections) {
    std::vector<double> diameters;
    for (const TaperSection& section : sections) diameters.push_back(section.diameter.ToDouble());
    return diameters;
}

TEST_P(GenerationQueriesTest, ElementsComeInBoomOrderWithTiesByAscendingId) {
    Open({"INSERT INTO PROJECTS (ID, NOME) VALUES (1, 'P'), (2, 'Q')",
          "INSERT INTO ELEMENTS (ID, ID_PROJECT, DISTANCE) VALUES (5, 1, 0.4), (3, 1, 0.4), (9, 1, "
          "0.0),"
          " (4, 1, 1.2), (7, 2, 0.1), (2, 1, 0.4)"});
    SqlModelSource source(db_);
    EXPECT_EQ(Ids(source.ElementsOfProject(DbValue::Integer(1))),
              (std::vector<std::int64_t>{9, 2, 3, 5, 4}));
    EXPECT_EQ(Ids(source.ElementsOfProject(DbValue::Integer(2))), (std::vector<std::int64_t>{7}));
    EXPECT_TRUE(source.ElementsOfProject(DbValue::Integer(3)).empty())
        << "a project without elements";
    EXPECT_TRUE(source.ElementsOfProject(DbValue()).empty()) << "a null project matches nothing";
    EXPECT_EQ(Ids(source.ElementsOfProject(DbValue::Integer(1))).size(), 5u)
        << "the prepared query runs again";
}

TEST_P(SqliteGenerationQueriesTest, ElementValuesStayWhatTheyAre) {
    Open(
        {"INSERT INTO ELEMENTS (ID, ID_PROJECT, NOME, TYPE, LEN, ID_TAPER, DISTANCE, HEIGHT) VALUES"
         " (1, 1, 'Riflettore \xC3\xA0', 'Element', 0.5, 3, 0, 10),"
         " (2, 1, '', NULL, NULL, NULL, 1, NULL),"
         " (3, 1, 'x', 'Driver', 'abc', '7', 2, 1.5)"},
        true);
    SqlModelSource source(db_);
    const std::vector<ElementRow> rows = source.ElementsOfProject(DbValue::Integer(1));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].nome, DbValue::Text("Riflettore \xC3\xA0"));
    EXPECT_EQ(rows[0].type, DbValue::Text("Element"));
    EXPECT_EQ(rows[0].len, DbValue::Real(0.5));
    EXPECT_EQ(rows[0].idTaper, DbValue::Integer(3));
    EXPECT_EQ(rows[0].idProject, DbValue::Integer(1));
    EXPECT_EQ(rows[0].distance, DbValue::Real(0.0)) << "a REAL column holds 0 as a floating number";
    EXPECT_EQ(rows[0].height, DbValue::Real(10.0));
    EXPECT_EQ(rows[1].nome, DbValue::Text("")) << "empty text is no null";
    for (const DbValue* value : {&rows[1].type, &rows[1].len, &rows[1].idTaper, &rows[1].height})
        EXPECT_TRUE(value->IsNull());
    EXPECT_EQ(rows[2].len, DbValue::Text("abc")) << "a wrong kind is handed on, not made 0";
    EXPECT_EQ(rows[2].idTaper, DbValue::Text("7"));
}

TEST_P(GenerationQueriesTest, SectionsComeInOrderWithTiesAsStored) {
    Open({"INSERT INTO TAPER (ID, NOME) VALUES (1, 'a'), (2, 'b')",
          "INSERT INTO TAPER_SIZES (ID_TAPER, \"ORDER\", DIAMETER, LENGTH) VALUES"
          " (1, 2, 20, 1.0), (1, 1, 30, 0.5), (2, 1, 99, 1), (1, 2, 21, 1.0), (1, 3, 16, 2), (1, "
          "2, 22, 1.0)"});
    SqlModelSource source(db_);
    EXPECT_EQ(Diameters(source.SectionsOfSchedule(DbValue::Integer(1))),
              (std::vector<double>{30, 20, 21, 22, 16}));
    EXPECT_TRUE(source.SectionsOfSchedule(DbValue()).empty()) << "no schedule, no sections";
    EXPECT_TRUE(source.SectionsOfSchedule(DbValue::Integer(5)).empty());
    const std::vector<TaperSection> sections = source.SectionsOfSchedule(DbValue::Integer(2));
    ASSERT_EQ(sections.size(), 1u);
    EXPECT_EQ(sections[0].idTaper, DbValue::Integer(2));
    EXPECT_EQ(sections[0].order, DbValue::Integer(1));
    EXPECT_EQ(sections[0].length, DbValue::Real(1.0));
}

TEST_P(GenerationQueriesTest, SectionsOfADeletedScheduleAreStillRead) {
    // Without relations nothing removes the sections; the query reads
    // TAPER_SIZES alone, and an ID_TAPER stored as text still matches.
    Open({"INSERT INTO TAPER (ID, NOME) VALUES (1, 'gone')",
          "INSERT INTO TAPER_SIZES (ID_TAPER, \"ORDER\", DIAMETER, LENGTH) VALUES (1, 1, 12, NULL)",
          "DELETE FROM TAPER"},
         true);
    SqlModelSource source(db_);
    const std::vector<TaperSection> sections = source.SectionsOfSchedule(DbValue::Text("1"));
    ASSERT_EQ(sections.size(), 1u);
    EXPECT_TRUE(sections[0].length.IsNull());
}

TEST_P(SqliteGenerationQueriesTest, ProjectRowsByIdAndInTheStoresOrder) {
    Open({"INSERT INTO PROJECTS (ID, NOME, F0, SOURCE_WIRE, HEIGHT) VALUES (5, 'Five', 144.3, "
          "'w2c', 10),"
          " (2, 'Two', NULL, NULL, NULL)",
          "INSERT INTO ELEMENTS (ID, ID_PROJECT) VALUES (1, 5), (2, 5), (3, 2)"},
         true);
    const std::optional<ProjectRow> five = ReadProjectRow(db_, 5);
    ASSERT_TRUE(five.has_value());
    EXPECT_EQ(five->id, DbValue::Integer(5));
    EXPECT_EQ(five->nome, DbValue::Text("Five"));
    EXPECT_EQ(five->f0, DbValue::Real(144.3));
    EXPECT_EQ(five->sourceWire, DbValue::Text("w2c"));
    EXPECT_EQ(five->height, DbValue::Integer(10));
    EXPECT_FALSE(ReadProjectRow(db_, 3).has_value());
    EXPECT_EQ(ReadFirstProjectRow(db_).id, DbValue::Integer(5)) << "first stored, not lowest ID";
    const QList<ProjectSummary> projects = ListProjects(db_);
    ASSERT_EQ(projects.size(), 2);
    EXPECT_EQ(projects[0].id, 5);
    EXPECT_EQ(projects[0].nome, "Five");
    EXPECT_EQ(projects[0].elementCount, 2);
    EXPECT_EQ(projects[1].elementCount, 1);
}

TEST_P(GenerationQueriesTest, NoProjectGivesAnAllNullRow) {
    Open({});
    const ProjectRow row = ReadFirstProjectRow(db_);
    for (const DbValue* value : {&row.id, &row.nome, &row.f0, &row.sourceWire, &row.height})
        EXPECT_TRUE(value->IsNull());
    EXPECT_TRUE(ListProjects(db_).isEmpty());
}

TEST(DbValueFromVariantTest, EachKindConverts) {
    struct Case {
        const char* name;
        QVariant variant;
        DbValue expected;
    };
    const Case cases[] = {
        {"invalid", QVariant(), DbValue()},
        {"typed null", QVariant(QMetaType::fromType<double>()), DbValue()},
        {"int", QVariant(-7), DbValue::Integer(-7)},
        {"long long", QVariant(qlonglong(9007199254740993)), DbValue::Integer(9007199254740993)},
        {"double", QVariant(0.00635), DbValue::Real(0.00635)},
        {"text", QVariant(QString::fromUtf8("\xC3\xA0 b")), DbValue::Text("\xC3\xA0 b")},
        {"empty text", QVariant(QString("")), DbValue::Text("")},
        {"bytes", QVariant(QByteArray("w10c")), DbValue::Text("w10c")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DbValueFromVariant(c.variant), c.expected);
    }
    EXPECT_EQ(VariantFromDbValue(DbValue::Integer(9007199254740993)).toLongLong(),
              9007199254740993);
    EXPECT_TRUE(VariantFromDbValue(DbValue()).isNull());
}

// Another copy posts between the project row and the sections: a model read
// inside one snapshot still shows one state of the store.
TEST_P(GenerationQueriesTest, AModelReadsOneStateOfTheStore) {
    Open({"INSERT INTO PROJECTS (ID, NOME, F0) VALUES (1, 'P', 1)",
          "INSERT INTO TAPER (ID) VALUES (1)",
          "INSERT INTO ELEMENTS (ID, ID_PROJECT, ID_TAPER) VALUES (1, 1, 1)",
          "INSERT INTO TAPER_SIZES (ID_TAPER, \"ORDER\", DIAMETER) VALUES (1, 1, 1)"});
    QSqlQuery write(db_);
    {
        const QSqlDatabase reader = OpenConnection("velkora.udl", "reader", StoreAccess::ReadOnly);
        {
            const ReadSnapshot snapshot(reader);
            const ProjectRow project = ReadProjectRow(reader, 1).value();
            ASSERT_TRUE(write.exec(QuotedNames("UPDATE PROJECTS SET F0 = 2")));
            ASSERT_TRUE(write.exec(QuotedNames("UPDATE TAPER_SIZES SET DIAMETER = 2")));
            SqlModelSource source(reader);
            const std::vector<ElementRow> elements = source.ElementsOfProject(project.id);
            ASSERT_EQ(elements.size(), 1u);
            EXPECT_EQ(project.f0.ToDouble(), 1);
            EXPECT_EQ(Diameters(source.SectionsOfSchedule(elements[0].idTaper)),
                      std::vector<double>{1});
        }
        EXPECT_EQ(ReadProjectRow(reader, 1).value().f0.ToDouble(), 2);
    }
}

}  // namespace
}  // namespace velkora
