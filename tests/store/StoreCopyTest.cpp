// SPDX-License-Identifier: GPL-3.0-or-later
// Copying designs between two stores of one provider: which rows go, and
// how elements keep their schedules under the target's new keys.
#include <QSqlQuery>

#include "StoreCopy.h"
#include "StoreError.h"
#include "StoreTestFiles.h"

namespace velkora {
namespace {

class StoreCopyTest : public ProviderTest {
  protected:
    void TearDown() override {
        from_ = to_ = QSqlDatabase();
        CloseConnection("from");
        CloseConnection("to");
        ProviderTest::TearDown();
    }
    void Exec(QSqlDatabase& db, const char* sql) {
        QSqlQuery query(db);
        ASSERT_TRUE(query.exec(QuotedNames(sql)))
            << sql << ": " << query.lastError().text().toStdString();
    }
    // The target's elements as "project: element -> schedule (its sections)".
    QStringList TargetElements() {
        QSqlQuery query(to_);
        EXPECT_TRUE(query.exec(QuotedNames(
            "SELECT P.NOME, E.NOME, T.NOME, (SELECT COUNT(*) FROM TAPER_SIZES S"
            " WHERE S.ID_TAPER = T.ID) FROM ELEMENTS E JOIN PROJECTS P ON P.ID = E.ID_PROJECT"
            " LEFT JOIN TAPER T ON T.ID = E.ID_TAPER ORDER BY E.ID")));
        QStringList rows;
        while (query.next())
            rows << QString("%1: %2 -> %3 (%4)")
                        .arg(query.value(0).toString(), query.value(1).toString(),
                             query.isNull(2) ? "none" : query.value(2).toString())
                        .arg(query.value(3).toInt());
        return rows;
    }
    QSqlDatabase from_, to_;
};
VELKORA_FOR_EACH_PROVIDER(StoreCopyTest);

TEST_P(StoreCopyTest, ChosenProjectsTakeTheirSchedulesUnderNewKeys) {
    MakeStore({}, "from.udl", "from.db");
    MakeStore({}, "to.udl", "to.db");
    from_ = OpenConnection("from.udl", "from");
    to_ = OpenConnection("to.udl", "to");
    Exec(from_, "INSERT INTO TAPER (ID, NOME) VALUES (1, 'A'), (2, 'B'), (3, 'unused')");
    Exec(from_,
         "INSERT INTO TAPER_SIZES (ID_TAPER, \"ORDER\", DIAMETER) VALUES (1, 1, 10), (2, 1, 20),"
         " (2, 2, 15), (3, 1, 5)");
    Exec(from_, "INSERT INTO PROJECTS (ID, NOME) VALUES (1, 'P1'), (2, 'P2'), (3, 'P3')");
    Exec(from_,
         "INSERT INTO ELEMENTS (ID, ID_PROJECT, NOME, ID_TAPER) VALUES (1, 1, 'e1', 2),"
         " (2, 2, 'e2', 1), (3, 2, 'e3', 99), (4, 2, 'e4', NULL), (5, 3, 'e5', 2)");
    // The target's own rows push the new keys away from the source's.
    Exec(to_, "INSERT INTO TAPER (NOME) VALUES ('theirs'), ('theirs too')");
    Exec(to_, "INSERT INTO PROJECTS (NOME) VALUES ('theirs')");

    const CopyCounts counts = CopyDesigns(from_, to_, QList<qint64>{2, 3});
    EXPECT_EQ(counts.projects, 2);
    EXPECT_EQ(counts.elements, 4);
    EXPECT_EQ(counts.schedules, 2) << "only the schedules the chosen elements use";
    EXPECT_EQ(counts.sections, 3);
    EXPECT_EQ(TargetElements(), QStringList({"P2: e2 -> A (1)", "P2: e3 -> none (0)",
                                             "P2: e4 -> none (0)", "P3: e5 -> B (2)"}))
        << "a schedule missing in the source does not name one of the target's";

    // Everything, a second time: a second copy of each row.
    const CopyCounts all = CopyDesigns(from_, to_, std::nullopt);
    EXPECT_EQ(all.projects, 3);
    EXPECT_EQ(all.schedules, 3);
    EXPECT_EQ(all.sections, 4);
    EXPECT_EQ(TargetElements().count("P2: e2 -> A (1)"), 2);

    // An unknown project: nothing is written.
    const int before = int(TargetElements().size());
    EXPECT_THROW(CopyDesigns(from_, to_, QList<qint64>{1, 7}), StoreError);
    EXPECT_EQ(TargetElements().size(), before);
}

TEST_P(StoreCopyTest, TheSourceStoreItselfIsRefusedAsTarget) {
    MakeStore({}, "from.udl", "from.db");
    QDir().mkdir("other");
    QFile::copy("from.udl", "other/alias.udl");
    if (!OnServer()) WriteFile("other/alias.udl", "Provider=SQLite;Data Source=../from.db");
    from_ = OpenConnection("from.udl", "from");
    to_ = OpenConnection("other/alias.udl", "to");
    Exec(from_, "INSERT INTO PROJECTS (NOME) VALUES ('P1')");
    try {
        CopyDesigns(from_, to_, std::nullopt);
        FAIL() << "copied into itself";
    } catch (const StoreError& e) {
        EXPECT_NE(std::string(e.what()).find("the source store itself"), std::string::npos)
            << e.what();
    }
    EXPECT_EQ(TargetElements().size(), 0);
    QSqlQuery count(to_);
    ASSERT_TRUE(count.exec(QuotedNames("SELECT COUNT(*) FROM PROJECTS")) && count.next());
    EXPECT_EQ(count.value(0).toInt(), 1);
}

// Text that is not UTF-8 and a fraction in a whole-number column, as an
// SQLite store filled by other tools holds them: kept exactly by SQLite,
// refused by the server with the place named.
TEST_P(StoreCopyTest, ValuesAreCopiedExactlyOrNotAtAll) {
    CreateDatabaseFile("from.db");
    WriteFile("from.udl", "Provider=SQLite;Data Source=from.db");
    MakeStore({}, "to.udl", "to.db");
    from_ = OpenConnection("from.udl", "from");
    to_ = OpenConnection("to.udl", "to");
    const struct {
        const char* name;
        const char* update;
        const char* check;    // read back from the target on SQLite
        const char* refusal;  // on the server
    } cases[] = {
        {"text not UTF-8", "NOME = CAST(X'446970E8' AS TEXT)", "hex(NOME)",
         "NOME of PROJECTS row with ID 1, \"Dip\\xE8\": it is not UTF-8 text"},
        {"fractional height", "HEIGHT = 12.5", "HEIGHT",
         "HEIGHT of PROJECTS row with ID 1, 12.5: it is not a whole number"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Exec(from_, "DELETE FROM PROJECTS");
        Exec(from_, "INSERT INTO PROJECTS (ID, NOME, HEIGHT) VALUES (1, 'P', 10)");
        Exec(from_, (std::string("UPDATE PROJECTS SET ") + c.update).c_str());
        QSqlQuery source(from_);
        ASSERT_TRUE(source.exec(QString("SELECT %1 FROM PROJECTS").arg(c.check)) && source.next());
        std::string message;
        try {
            CopyDesigns(from_, to_, std::nullopt);
        } catch (const StoreError& e) {
            message = e.what();
        }
        QSqlQuery target(to_);
        if (OnServer()) {
            EXPECT_NE(message.find(c.refusal), std::string::npos) << message;
            ASSERT_TRUE(target.exec("SELECT COUNT(*) FROM \"PROJECTS\"") && target.next());
            EXPECT_EQ(target.value(0).toInt(), 0) << "nothing is written";
            continue;
        }
        EXPECT_EQ(message, "");
        ASSERT_TRUE(target.exec(QString("SELECT %1 FROM PROJECTS ORDER BY ID DESC").arg(c.check)) &&
                    target.next());
        EXPECT_EQ(target.value(0), source.value(0));
    }
}

TEST_P(StoreCopyTest, AServerThatGoesAwaySaysSo) {
    if (!OnServer()) GTEST_SKIP() << "a server's connection";
    MakeStore({}, "from.udl", "from.db");
    MakeStore({}, "to.udl", "to.db");
    from_ = OpenConnection("from.udl", "from");
    to_ = OpenConnection("to.udl", "to");
    QSqlQuery pid(to_);
    ASSERT_TRUE(pid.exec("SELECT pg_backend_pid()") && pid.next());
    QSqlQuery kill(from_);
    ASSERT_TRUE(kill.exec("SELECT pg_terminate_backend(" + pid.value(0).toString() + ")"));
    try {
        CopyDesigns(from_, to_, std::nullopt);
        FAIL() << "copied";
    } catch (const StoreError& e) {
        EXPECT_NE(std::string(e.what()).find("the server closed the connection"), std::string::npos)
            << e.what();
    }
}

}  // namespace
}  // namespace velkora
