// SPDX-License-Identifier: GPL-3.0-or-later
#include <QProcess>
#include <QSqlQuery>

#include "Connection.h"
#include "StoreError.h"
#include "StoreTestFiles.h"

namespace velkora {
namespace {

const QByteArray kLink =
    "[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n"
    "Provider=SQLite;Data Source=velkora.db\r\n";

// The four tables as another tool might make them: no relations, extra columns.
const QStringList kOutsideSchema = {
    "CREATE TABLE PROJECTS (ID INTEGER PRIMARY KEY, NOME TEXT, F0 REAL, SOURCE_WIRE TEXT, HEIGHT "
    "INTEGER,"
    " NOTES TEXT)",
    "CREATE TABLE ELEMENTS (ID INTEGER PRIMARY KEY, ID_PROJECT INTEGER, NOME TEXT, TYPE TEXT, LEN "
    "REAL,"
    " ID_TAPER INTEGER, DISTANCE REAL, HEIGHT REAL, COLOUR TEXT)",
    "CREATE TABLE TAPER (ID INTEGER PRIMARY KEY, NOME TEXT, UM TEXT)",
    "CREATE TABLE TAPER_SIZES (ID_TAPER INTEGER, \"ORDER\" INTEGER, DIAMETER REAL, LENGTH REAL)",
    "CREATE TABLE LOG (LINE TEXT)",
};

QVariant Scalar(const QSqlDatabase& db, const QString& statement) {
    QSqlQuery query(db);
    if (!query.exec(statement) || !query.next()) return QVariant();
    return query.value(0);
}

class ConnectionTest : public TemporaryWorkingDirectory {
  protected:
    void TearDown() override {
        CloseConnection("test");
        CloseConnection("second");
        TemporaryWorkingDirectory::TearDown();
    }
    std::string FailureOfOpen(const QString& link = "velkora.udl") {
        try {
            OpenConnection(link, "test");
        } catch (const StoreError& e) {
            EXPECT_FALSE(QSqlDatabase::contains("test"))
                << "a failed open leaves its connection behind";
            return e.what();
        }
        return "(no failure)";
    }
};

TEST_F(ConnectionTest, OpensACreatedDatabaseWithItsSettings) {
    CreateDatabaseFile("velkora.db");
    WriteFile("velkora.udl", kLink);
    const QSqlDatabase db = OpenConnection("velkora.udl", "test");
    EXPECT_TRUE(db.isOpen());
    EXPECT_EQ(Scalar(db, "PRAGMA journal_mode").toString(), "wal");
    EXPECT_EQ(Scalar(db, "PRAGMA foreign_keys").toInt(), 1);
    EXPECT_EQ(Scalar(db, "PRAGMA busy_timeout").toInt(), 5000);
}

TEST_F(ConnectionTest, EachFailureNamesWhatFailed) {
    struct Case {
        const char* name;
        QByteArray link;                // written as velkora.udl unless empty
        std::function<void()> prepare;  // makes the database, if any
        std::string message;
    };
    const std::string db = QDir::toNativeSeparators(Path("velkora.db")).toStdString();
    const std::vector<Case> cases = {
        {"no data-link file", "", [] {},
         "The data-link file velkora.udl was not found in the working directory"},
        {"provider of another system", "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=velkora.mdb",
         [] {},
         "The data-link file velkora.udl names the provider \"Microsoft.Jet.OLEDB.4.0\", which is "
         "not available "
         "here; available: SQLite"},
        {"database file missing", kLink, [] {},
         "The database file " + db + " named by the data-link file velkora.udl does not exist"},
        {"database is a folder", kLink, [] { QDir().mkdir("velkora.db"); },
         "The database " + db + " named by the data-link file velkora.udl is not a file"},
        {"not an SQLite file", kLink,
         [] { WriteFile("velkora.db", "just some text, not a database\n"); },
         "Could not open the database " + db + ": file is not a database"},
        {"empty file has no tables", kLink, [] { WriteFile("velkora.db", ""); },
         "The database " + db + " has no table PROJECTS"},
        {"missing table", kLink,
         [] { MakeDatabase("velkora.db", kOutsideSchema.mid(0, 2) + kOutsideSchema.mid(3)); },
         "The database " + db + " has no table TAPER"},
        {"missing column", kLink,
         [] {
             QStringList schema = kOutsideSchema;
             schema[1] =
                 "CREATE TABLE ELEMENTS (ID INTEGER, ID_PROJECT INTEGER, NOME TEXT, TYPE TEXT, LEN "
                 "REAL,"
                 " DISTANCE REAL, HEIGHT REAL)";
             MakeDatabase("velkora.db", schema);
         },
         "The table ELEMENTS in the database " + db + " has no column ID_TAPER"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove("velkora.udl");
        QFile::remove("velkora.db");
        QDir().rmdir("velkora.db");
        if (!c.link.isEmpty()) WriteFile("velkora.udl", c.link);
        c.prepare();
        const std::string message = FailureOfOpen();
        EXPECT_NE(message.find(c.message), std::string::npos) << message;
    }
    QFile::remove("velkora.db");
    WriteFile("velkora.udl", kLink);
    FailureOfOpen();
    EXPECT_FALSE(QFile::exists("velkora.db")) << "opening made an empty database";
}

TEST_F(ConnectionTest, OpensADatabaseMadeByAnotherTool) {
    MakeDatabase("velkora.db", kOutsideSchema);
    WriteFile("velkora.udl", "Provider=sqlite;Data Source=velkora.db");
    const QSqlDatabase db = OpenConnection("velkora.udl", "test");
    EXPECT_EQ(Scalar(db, "SELECT COUNT(*) FROM PROJECTS").toInt(), 0);
}

// A store kept with the rollback journal (another tool's, or one on a network
// share) stays so: opening changes no journal mode, and a read-only
// connection leaves every byte and no companion file.
TEST_F(ConnectionTest, OpeningLeavesTheFileAsItWas) {
    MakeDatabase("velkora.db", kOutsideSchema);
    WriteFile("velkora.udl", kLink);
    QFile file("velkora.db");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    {
        const QSqlDatabase db = OpenConnection("velkora.udl", "test", StoreAccess::ReadOnly);
        EXPECT_EQ(Scalar(db, "SELECT COUNT(*) FROM PROJECTS").toInt(), 0);
        EXPECT_FALSE(QSqlQuery(db).exec("INSERT INTO PROJECTS (NOME) VALUES ('x')"));
        const QSqlDatabase writer = OpenConnection("velkora.udl", "second");
        EXPECT_EQ(Scalar(writer, "PRAGMA journal_mode").toString(), "delete");
    }
    CloseConnection("test");
    CloseConnection("second");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_EQ(QDir().entryList(QDir::Files), QStringList({"velkora.db", "velkora.udl"}));
}

TEST_F(ConnectionTest, DataSourceIsReadAgainstTheDataLinkFilesFolder) {
    // A data-link file names one database from any working directory; names
    // with URI characters must survive.
    QDir().mkdir("links");
    QDir().mkdir("data #1");
    CreateDatabaseFile("data #1/what?50% of.db");
    const QByteArray absolute = Path("data #1/what?50% of.db").toUtf8();
    const struct {
        const char* name;
        const char* link;
        QByteArray dataSource;
    } cases[] = {
        {"beside the working directory", "velkora.udl", "\"data #1/what?50% of.db\""},
        {"in a folder", "links/v.udl", "\"../data #1/what?50% of.db\""},
        {"absolute", "links/a.udl", "\"" + absolute + "\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(c.link, "Provider=SQLite;Data Source=" + c.dataSource);
        EXPECT_TRUE(OpenConnection(c.link, "test").isOpen());
        EXPECT_EQ(StoreFilesOf(c.link).value(1).path, QString::fromUtf8(absolute));
    }
    EXPECT_EQ(QDir(Path("data #1")).entryList(QDir::Files).filter(".db").first(), "what?50% of.db");
}

TEST_F(ConnectionTest, AWalStoreInAFolderThatCannotBeWrittenSaysWhatSqliteNeeds) {
    QDir().mkdir("store");
    QDir().mkdir("readonly");
    CreateDatabaseFile("store/velkora.db");
    if (QProcess::execute("mount", {"--bind", Path("store"), Path("readonly")}) != 0)
        GTEST_SKIP() << "bind mounts need root";
    QProcess::execute("mount", {"-o", "remount,ro,bind", Path("readonly")});
    WriteFile("velkora.udl", "Provider=SQLite;Data Source=readonly/velkora.db");
    std::string message;
    try {
        OpenConnection("velkora.udl", "test", StoreAccess::ReadOnly);
    } catch (const StoreError& e) {
        message = e.what();
    }
    QProcess::execute("umount", {Path("readonly")});
    EXPECT_NE(message.find("SQLite needs to create its shared-memory file"), std::string::npos)
        << message;
}

TEST_F(ConnectionTest, ReopeningReplacesTheConnection) {
    CreateDatabaseFile("velkora.db");
    WriteFile("velkora.udl", kLink);
    OpenConnection("velkora.udl", "test");
    const QSqlDatabase db = OpenConnection("velkora.udl", "test");
    EXPECT_TRUE(db.isOpen());
    EXPECT_TRUE(QSqlDatabase::database("test", false).isOpen());
}

TEST_F(ConnectionTest, AReaderIsNotBlockedByAnotherCopysWrite) {
    CreateDatabaseFile("velkora.db");
    WriteFile("velkora.udl", kLink);
    QSqlDatabase writer = OpenConnection("velkora.udl", "test");
    const QSqlDatabase reader = OpenConnection("velkora.udl", "second");
    QSqlQuery write(writer);
    ASSERT_TRUE(write.exec("BEGIN IMMEDIATE"));
    ASSERT_TRUE(write.exec("INSERT INTO PROJECTS (NOME) VALUES ('pending')"));
    EXPECT_EQ(Scalar(reader, "SELECT COUNT(*) FROM PROJECTS").toInt(), 0);
    ASSERT_TRUE(write.exec("COMMIT"));
    EXPECT_EQ(Scalar(reader, "SELECT COUNT(*) FROM PROJECTS").toInt(), 1);
}

TEST_F(ConnectionTest, DeletingAMasterRowDeletesItsDetailRows) {
    CreateDatabaseFile("velkora.db");
    WriteFile("velkora.udl", kLink);
    QSqlDatabase db = OpenConnection("velkora.udl", "test");
    QSqlQuery query(db);
    for (const char* statement :
         {"INSERT INTO PROJECTS (ID, NOME) VALUES (1, 'a')",
          "INSERT INTO PROJECTS (ID, NOME) VALUES (2, 'b')",
          "INSERT INTO TAPER (ID, NOME) VALUES (7, 's')",
          "INSERT INTO ELEMENTS (ID_PROJECT, ID_TAPER) VALUES (1, 7)",
          "INSERT INTO ELEMENTS (ID_PROJECT, ID_TAPER) VALUES (2, 7)",
          "INSERT INTO TAPER_SIZES (ID_TAPER, \"ORDER\") VALUES (7, 1)",
          "DELETE FROM PROJECTS WHERE ID = 1", "DELETE FROM TAPER WHERE ID = 7"})
        ASSERT_TRUE(query.exec(statement)) << statement;
    EXPECT_EQ(Scalar(db, "SELECT COUNT(*) FROM ELEMENTS").toInt(), 1);
    EXPECT_EQ(Scalar(db, "SELECT ID_PROJECT FROM ELEMENTS").toInt(), 2);
    EXPECT_EQ(Scalar(db, "SELECT COUNT(*) FROM TAPER_SIZES").toInt(), 0);
    EXPECT_EQ(Scalar(db, "SELECT ID_TAPER FROM ELEMENTS").toInt(), 7)
        << "an element keeps its schedule's ID";
}

TEST_F(ConnectionTest, CreatingRefusesAnExistingFile) {
    WriteFile("velkora.db", "mine");
    try {
        CreateDatabaseFile("velkora.db");
        FAIL() << "created over an existing file";
    } catch (const StoreError& e) {
        EXPECT_NE(std::string(e.what()).find("velkora.db exists already"), std::string::npos)
            << e.what();
    }
    QFile file("velkora.db");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "mine");
}

TEST_F(ConnectionTest, CreatingInAMissingFolderLeavesNothing) {
    EXPECT_THROW(CreateDatabaseFile("no/such/folder/velkora.db"), StoreError);
    EXPECT_FALSE(QDir("no").exists());
}

}  // namespace
}  // namespace velkora
