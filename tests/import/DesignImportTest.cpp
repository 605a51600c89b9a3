// SPDX-License-Identifier: GPL-3.0-or-later
// An imported design in the store of each provider: one new project with its
// elements; an identical stored schedule is used, a stored one never changed.
#include <QSqlQuery>

#include "DesignImport.h"
#include "StoreTestFiles.h"

namespace velkora {
namespace {

class DesignImportTest : public ProviderTest {
  protected:
    void TearDown() override {
        db_ = QSqlDatabase();
        CloseConnection("import");
        ProviderTest::TearDown();
    }
    QStringList Rows(const char* sql) {
        QSqlQuery query(db_);
        EXPECT_TRUE(query.exec(QuotedNames(sql))) << query.lastError().text().toStdString();
        QStringList rows;
        while (query.next()) {
            QStringList values;
            for (int i = 0; query.value(i).isValid(); ++i) values << query.value(i).toString();
            rows << values.join(" ");
        }
        return rows;
    }
    QSqlDatabase db_;
};
VELKORA_FOR_EACH_PROVIDER(DesignImportTest);

TEST_P(DesignImportTest, AnIdenticalScheduleIsUsedAndNoStoredOneChanges) {
    MakeStore();
    db_ = OpenConnection("velkora.udl", "import");
    const ImportedDesign design{
        "2 el",
        14.1,
        "w4c",
        0,
        {{"Reflector", "Element", 5.3, 0, 10, 0}, {"Driven", "Driver", 5.1, 2.3, 10, 1}},
        {{"one", {{12.5, 5.3}}}, {"two", {{20, 1}, {16, 4.5}}}},
        {}};
    ImportedDesign longer = design;
    longer.schedules[1].sections[1].lengthM = 4.6;  // no longer the same schedule
    const qint64 first = AddImportedDesign(db_, design);
    const qint64 second = AddImportedDesign(db_, design);
    AddImportedDesign(db_, longer);
    EXPECT_EQ(second, first + 1);
    EXPECT_EQ(Rows("SELECT NOME, F0, SOURCE_WIRE, HEIGHT FROM PROJECTS ORDER BY ID"),
              QStringList({"2 el 14.1 w4c 0", "2 el 14.1 w4c 0", "2 el 14.1 w4c 0"}));
    EXPECT_EQ(Rows("SELECT T.NOME, S.\"ORDER\", S.DIAMETER, S.LENGTH FROM TAPER_SIZES S"
                   " JOIN TAPER T ON T.ID = S.ID_TAPER ORDER BY T.ID, S.\"ORDER\""),
              QStringList(
                  {"one 1 12.5 5.3", "two 1 20 1", "two 2 16 4.5", "two 1 20 1", "two 2 16 4.6"}));
    EXPECT_EQ(Rows("SELECT E.ID_PROJECT, E.NOME, E.TYPE, E.LEN, T.NOME, E.DISTANCE, E.HEIGHT"
                   " FROM ELEMENTS E JOIN TAPER T ON T.ID = E.ID_TAPER ORDER BY E.ID"),
              QStringList({"1 Reflector Element 5.3 one 0 10", "1 Driven Driver 5.1 two 2.3 10",
                           "2 Reflector Element 5.3 one 0 10", "2 Driven Driver 5.1 two 2.3 10",
                           "3 Reflector Element 5.3 one 0 10", "3 Driven Driver 5.1 two 2.3 10"}));
}

}  // namespace
}  // namespace velkora
