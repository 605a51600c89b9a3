// SPDX-License-Identifier: GPL-3.0-or-later
// Storing an optimized variant of a project, once per provider.
#include <QSqlQuery>

#include "ProjectVariant.h"
#include "StoreError.h"
#include "StoreTestFiles.h"

namespace velkora {
namespace {

class ProjectVariantTest : public ProviderTest {
  protected:
    void TearDown() override {
        db_ = QSqlDatabase();
        CloseConnection("variant");
        ProviderTest::TearDown();
    }
    void Exec(const QString& sql) {
        QSqlQuery query(db_);
        ASSERT_TRUE(query.exec(QuotedNames(sql)))
            << sql.toStdString() << ": " << query.lastError().text().toStdString();
    }
    // Every element as "project name: element LEN DISTANCE HEIGHT schedule".
    QStringList Elements() {
        QSqlQuery query(db_);
        EXPECT_TRUE(query.exec(
            QuotedNames("SELECT P.NOME, E.NOME, E.LEN, E.DISTANCE, E.HEIGHT, E.ID_TAPER, P.F0"
                        " FROM ELEMENTS E JOIN PROJECTS P ON P.ID = E.ID_PROJECT ORDER BY E.ID")));
        QStringList rows;
        while (query.next()) {
            QStringList row;
            for (int i = 0; i < 7; ++i) row << query.value(i).toString();
            rows << row.join(' ');
        }
        return rows;
    }
    // The key the store gave the row of table named name.
    qint64 IdOf(const char* table, const char* name) {
        QSqlQuery query(db_);
        EXPECT_TRUE(query.exec(
            QuotedNames(QString("SELECT ID FROM %1 WHERE NOME = '%2'").arg(table, name))));
        EXPECT_TRUE(query.next());
        return query.value(0).toLongLong();
    }
    QSqlDatabase db_;
};
VELKORA_FOR_EACH_PROVIDER(ProjectVariantTest);

TEST_P(ProjectVariantTest, CopiesTheProjectWithNewPlacesAndLeavesTheSourceAlone) {
    MakeStore();
    db_ = OpenConnection("velkora.udl", "variant");
    // Keys given by the store, as the server's identity columns want them.
    Exec("INSERT INTO PROJECTS (NOME, F0) VALUES ('Beam', 14.1), ('Other', 7)");
    const qint64 beam = IdOf("PROJECTS", "Beam");
    const qint64 other = IdOf("PROJECTS", "Other");
    Exec(QString("INSERT INTO ELEMENTS (ID_PROJECT, NOME, LEN, DISTANCE, HEIGHT, ID_TAPER) VALUES"
                 " (%1, 'R', 5.5, 0, 10, 3), (%1, 'D', 5.2, 2, 10, 4), (%2, 'X', 1, 0, 0, 3)")
             .arg(beam)
             .arg(other));
    const qint64 r = IdOf("ELEMENTS", "R"), d = IdOf("ELEMENTS", "D"), x = IdOf("ELEMENTS", "X");
    const QStringList before = Elements();

    const qint64 id =
        InsertProjectVariant(db_, beam, "Beam (optimized)", {{d, 5.1, 1.9}, {r, 5.45, 0}});
    EXPECT_GT(id, other);
    const QStringList variant = {"Beam (optimized) R 5.45 0 10 3 14.1",
                                 "Beam (optimized) D 5.1 1.9 10 4 14.1"};
    EXPECT_EQ(Elements(), before + variant);

    // The project lost an element meanwhile: nothing is written.
    const QStringList stored = Elements();
    EXPECT_THROW(InsertProjectVariant(db_, beam, "Again", {{r, 5, 0}}), StoreError);
    EXPECT_THROW(InsertProjectVariant(db_, beam, "Again", {{r, 5, 0}, {x, 5, 1}}), StoreError);
    EXPECT_EQ(Elements(), stored);
}

}  // namespace
}  // namespace velkora
