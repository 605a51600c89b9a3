// SPDX-License-Identifier: GPL-3.0-or-later
// Files for store tests: a temporary working directory, data-link files,
// SQLite databases made with plain SQL, and stores of each provider for
// tests that run once per provider.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <ostream>
#include <vector>

#include "Connection.h"
#include "DataLink.h"
#include "TestServer.h"

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace velkora {

// Runs the test in a fresh temporary working directory.
class TemporaryWorkingDirectory : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        previous_ = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(dir_.path()));
    }
    void TearDown() override { QDir::setCurrent(previous_); }

    QString Path(const QString& name) const { return dir_.filePath(name); }

    static void WriteFile(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
        file.write(bytes);
    }

    // A database made outside the program: the statements run on a bare file.
    static void MakeDatabase(const QString& path, const QStringList& statements) {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "outside-tool");
            db.setDatabaseName(path);
            ASSERT_TRUE(db.open());
            for (const QString& statement : statements) {
                QSqlQuery query(db);
                ASSERT_TRUE(query.exec(statement))
                    << statement.toStdString() << ": " << query.lastError().text().toStdString();
            }
            db.close();
        }
        QSqlDatabase::removeDatabase("outside-tool");
    }

    QTemporaryDir dir_;
    QString previous_;
};

// A statement written with the store's bare upper-case names, with those
// names quoted, so it runs on every provider. Names next to a quote are left
// as they are ("ORDER" is written quoted).
inline QString QuotedNames(const QString& statement) {
    static const QRegularExpression names(
        "(?<![\"'\\w])(PROJECTS|ELEMENTS|TAPER_SIZES|TAPER|ID_PROJECT|ID_TAPER|ID|NOME|F0|"
        "SOURCE_WIRE|HEIGHT|TYPE|LEN|DISTANCE|UM|DIAMETER|LENGTH)(?![\"'\\w])");
    return QString(statement).replace(names, "\"\\1\"");
}

// A test run once per provider (SQLite, then PostgreSQL on the test server)
// in a fresh working directory. Without a server the PostgreSQL run skips,
// or fails in CI.
class ProviderTest : public TemporaryWorkingDirectory,
                     public ::testing::WithParamInterface<test::TestProvider> {
  protected:
    void SetUp() override {
        TemporaryWorkingDirectory::SetUp();
        if (!OnServer()) return;
        server_ = test::PgServerFromEnvironment();
        if (server_) return;
        if (test::ServerTestsRequired()) FAIL() << test::kHowToRunServerTests;
        GTEST_SKIP() << test::kHowToRunServerTests;
    }
    void TearDown() override {
        databases_.clear();
        TemporaryWorkingDirectory::TearDown();
    }

    bool OnServer() const { return GetParam() == test::TestProvider::PostgreSQL; }

    // A new store of the provider and the data-link file `link` naming it:
    // with the program's tables, or, given `outside`, with the tables those
    // statements make (as another tool would). `file` is the SQLite file.
    void MakeStore(const QStringList& outside = {}, const QString& link = "velkora.udl",
                   const QString& file = "velkora.db") {
        if (!OnServer()) {
            if (outside.isEmpty())
                CreateDatabaseFile(file);
            else
                MakeDatabase(file, outside);
            WriteFile(link, "Provider=SQLite;Data Source=" + file.toUtf8());
            return;
        }
        databases_.push_back(std::make_unique<test::ServerDatabase>(*server_));
        WriteFile(link, databases_.back()->LinkLine());
        if (outside.isEmpty()) {
            CreateServerStore(ReadDataLink(link));
            return;
        }
        QSqlDatabase db = ConnectServerForTest(link, "outside-tool");
        for (const QString& statement : outside) {
            QSqlQuery query(db);
            ASSERT_TRUE(query.exec(statement))
                << statement.toStdString() << ": " << query.lastError().text().toStdString();
        }
        db = QSqlDatabase();
        CloseConnection("outside-tool");
    }

    // The PostgreSQL test server, when the test runs on it.
    std::optional<test::PgServer> server_;

  private:
    static QSqlDatabase ConnectServerForTest(const QString& link, const QString& name) {
        const DataLink parsed = ReadDataLink(link);
        QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", name);
        const qsizetype colon = parsed.dataSource.lastIndexOf(':');
        db.setHostName(parsed.dataSource.left(colon));
        db.setPort(parsed.dataSource.mid(colon + 1).toInt());
        db.setDatabaseName(parsed.Property("Initial Catalog"));
        db.setUserName(parsed.Property("User ID"));
        EXPECT_TRUE(db.open()) << db.lastError().text().toStdString();
        return db;
    }

    std::vector<std::unique_ptr<test::ServerDatabase>> databases_;
};

// A new store of each provider, with a second connection ("other-copy")
// standing for another copy of the program on the same database. The
// connection under test is named "store-under-test"; both close at the end.
class OtherCopyTest : public ProviderTest {
  protected:
    void SetUp() override {
        ProviderTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        MakeStore();
        other_ = OpenConnection("velkora.udl", "other-copy");
    }
    void TearDown() override {
        other_ = QSqlDatabase();
        CloseConnection("store-under-test");
        CloseConnection("other-copy");
        ProviderTest::TearDown();
    }

    // A statement run by the other copy.
    void Exec(const QString& sql) {
        QSqlQuery query(other_);
        ASSERT_TRUE(query.exec(QuotedNames(sql)))
            << sql.toStdString() << ": " << query.lastError().text().toStdString();
    }

    QSqlDatabase other_;
};

inline std::string ProviderTestName(const ::testing::TestParamInfo<test::TestProvider>& run) {
    return test::ProviderName(run.param);
}

}  // namespace velkora

// Runs every test of a ProviderTest fixture once per provider.
#define VELKORA_FOR_EACH_PROVIDER(Fixture)                                             \
    INSTANTIATE_TEST_SUITE_P(                                                          \
        Providers, Fixture,                                                            \
        ::testing::Values(test::TestProvider::SQLite, test::TestProvider::PostgreSQL), \
        ProviderTestName)
