// SPDX-License-Identifier: GPL-3.0-or-later
// The PostgreSQL provider's connection: the data-link keys, libpq's own
// password sources, and failures that name the server and the database.
#include <QSqlQuery>

#include "Connection.h"
#include "StoreError.h"
#include "StoreTestFiles.h"

namespace velkora {
namespace {

// The test server's role that must give a password (see scripts/pg-server.sh).
const QByteArray kPasswordUser = "velkora_pw";
const QByteArray kPassword = "velkora-test";

class PostgresConnectionTest : public ProviderTest {
  protected:
    void TearDown() override {
        CloseConnection("test");
        ProviderTest::TearDown();
    }
    QByteArray Link(const QByteArray& extra) const {
        return "Provider=PostgreSQL;Data Source=" + server_->DataSource().toUtf8() + ";" + extra;
    }
    std::string FailureOfOpen() {
        try {
            OpenConnection("velkora.udl", "test");
        } catch (const StoreError& e) {
            EXPECT_FALSE(QSqlDatabase::contains("test")) << "a failed open leaves its connection";
            return e.what();
        }
        return "(no failure)";
    }
    QByteArray Catalog() const {
        return ReadDataLink("velkora.udl").Property("Initial Catalog").toUtf8();
    }
};
INSTANTIATE_TEST_SUITE_P(Server, PostgresConnectionTest,
                         ::testing::Values(test::TestProvider::PostgreSQL), ProviderTestName);

TEST_P(PostgresConnectionTest, FailuresNameServerAndDatabaseAndWhatWentWrong) {
    MakeStore();
    const QByteArray db = Catalog();
    const QByteArray passwordLogin = "Initial Catalog=" + db + ";User ID=" + kPasswordUser;
    struct Case {
        const char* name;
        QByteArray link;
        const char* expected;
    };
    const Case cases[] = {
        {"wrong password", Link(passwordLogin + ";Password=not-" + kPassword),
         "authentication failed for the user velkora_pw"},
        {"no password at all", Link(passwordLogin), "authentication failed"},
        {"missing database", Link("Initial Catalog=nothing_here;User ID=velkora"),
         "nothing_here on the PostgreSQL server"},
        {"server not running",
         "Provider=PostgreSQL;Data Source=/nonexistent-folder:5432;Initial Catalog=" + db,
         "the server cannot be reached"},
        {"host and port, nothing listening",
         "Provider=PostgreSQL;Data Source=127.0.0.1:1;Initial Catalog=" + db,
         "the server cannot be reached"},
        {"no database named", Link("User ID=velkora"), "names no Initial Catalog"},
        {"libpq refuses an option on this machine",
         Link("Initial Catalog=" + db + ";Extended Properties=\"sslmode=sometimes\""),
         "libpq, PostgreSQL's client library, could not make the connection on this machine"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile("velkora.udl", c.link);
        QFile::setPermissions("velkora.udl", QFile::ReadOwner | QFile::WriteOwner);
        const std::string message = FailureOfOpen();
        EXPECT_NE(message.find(c.expected), std::string::npos) << message;
        EXPECT_EQ(message.find(kPassword.toStdString()), std::string::npos) << message;
    }
    WriteFile("velkora.udl", Link("Initial Catalog=nothing_here;User ID=velkora"));
    EXPECT_NE(FailureOfOpen().find("the database does not exist"), std::string::npos);
}

TEST_P(PostgresConnectionTest, APasswordOthersMayReadIsRefused) {
    MakeStore();
    const QByteArray link = Link("Initial Catalog=" + Catalog() + ";User ID=" + kPasswordUser +
                                 ";Password=" + kPassword);
    WriteFile("velkora.udl", link);
    QFile::setPermissions(
        "velkora.udl", QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    const std::string message = FailureOfOpen();
    EXPECT_NE(message.find("chmod 600 velkora.udl"), std::string::npos) << message;
    EXPECT_EQ(message.find(kPassword.toStdString()), std::string::npos) << message;

    QFile::setPermissions("velkora.udl", QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_TRUE(OpenConnection("velkora.udl", "test").isOpen());
}

TEST_P(PostgresConnectionTest, WithoutAPasswordLibpqsPasswordFileServes) {
    MakeStore();
    WriteFile("pgpass", "*:*:*:" + kPasswordUser + ":" + kPassword + "\n");
    QFile::setPermissions("pgpass", QFile::ReadOwner | QFile::WriteOwner);
    qputenv("PGPASSFILE", QFile::encodeName(Path("pgpass")));
    WriteFile("velkora.udl", Link("Initial Catalog=" + Catalog() + ";User ID=" + kPasswordUser +
                                  ";Extended Properties=\"application_name=velkora-test\""));
    const bool opened = OpenConnection("velkora.udl", "test").isOpen();
    qunsetenv("PGPASSFILE");
    EXPECT_TRUE(opened);
    QSqlQuery query(QSqlDatabase::database("test"));
    ASSERT_TRUE(query.exec("SHOW application_name") && query.next());
    EXPECT_EQ(query.value(0).toString(), "velkora-test") << "Extended Properties reach libpq";
}

TEST_P(PostgresConnectionTest, AMissingTableOrColumnIsNamed) {
    MakeStore();
    {
        QSqlDatabase db = OpenConnection("velkora.udl", "test");
        QSqlQuery query(db);
        ASSERT_TRUE(query.exec("ALTER TABLE \"TAPER\" DROP COLUMN \"UM\""));
    }
    CloseConnection("test");
    const std::string message = FailureOfOpen();
    EXPECT_NE(message.find("The table TAPER in the database " + Catalog().toStdString() +
                           " on the PostgreSQL server"),
              std::string::npos)
        << message;
    EXPECT_NE(message.find("has no column UM"), std::string::npos) << message;
}

TEST_P(PostgresConnectionTest, TheServerStoreIsMadeOnceWithItsRelations) {
    MakeStore();
    try {
        CreateServerStore(ReadDataLink("velkora.udl"));
        FAIL() << "made twice";
    } catch (const StoreError& e) {
        EXPECT_NE(std::string(e.what()).find("holds tables of a store already"), std::string::npos)
            << e.what();
    }
    QSqlDatabase db = OpenConnection("velkora.udl", "test");
    QSqlQuery query(db);
    for (const char* statement :
         {"INSERT INTO \"PROJECTS\" (\"NOME\") VALUES ('p')",
          "INSERT INTO \"TAPER\" (\"NOME\") VALUES ('t')",
          "INSERT INTO \"ELEMENTS\" (\"ID_PROJECT\", \"ID_TAPER\") SELECT \"ID\", 999 FROM "
          "\"PROJECTS\"",
          "INSERT INTO \"TAPER_SIZES\" (\"ID_TAPER\", \"ORDER\") SELECT \"ID\", 1 FROM \"TAPER\"",
          "DELETE FROM \"PROJECTS\"", "DELETE FROM \"TAPER\""})
        ASSERT_TRUE(query.exec(statement))
            << statement << ": " << query.lastError().text().toStdString();
    ASSERT_TRUE(query.exec("SELECT (SELECT COUNT(*) FROM \"ELEMENTS\") + (SELECT COUNT(*) FROM "
                           "\"TAPER_SIZES\")") &&
                query.next());
    EXPECT_EQ(query.value(0).toInt(), 0) << "deletes cascade to elements and sections";
    query.finish();
    db = QSqlDatabase();
}

}  // namespace
}  // namespace velkora
