// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "Schema.h"
#include "StoreError.h"

namespace velkora {
namespace {

class SchemaTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        db_ = QSqlDatabase::addDatabase("QSQLITE", "schema-test");
        db_.setDatabaseName(dir_.filePath("test.db"));
        ASSERT_TRUE(db_.open());
    }
    void TearDown() override {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase("schema-test");
    }
    QTemporaryDir dir_;
    QSqlDatabase db_;
};

// The made tables verify, deletes cascade to details, and a deleted
// project's key is never given again.
TEST_F(SchemaTest, CreatedSchemaVerifiesWithItsRelations) {
    CreateSchema(db_);
    EXPECT_NO_THROW(VerifySchema(db_));
    QSqlQuery query(db_);
    for (const char* statement :
         {"PRAGMA foreign_keys = ON", "INSERT INTO PROJECTS (NOME) VALUES ('a')",
          "INSERT INTO PROJECTS (NOME) VALUES ('b')", "INSERT INTO TAPER (NOME) VALUES ('t')",
          "INSERT INTO ELEMENTS (ID_PROJECT, ID_TAPER) SELECT ID, 999 FROM PROJECTS",
          "INSERT INTO TAPER_SIZES (ID_TAPER, \"ORDER\") SELECT ID, 1 FROM TAPER",
          "DELETE FROM PROJECTS WHERE NOME = 'b'", "DELETE FROM TAPER",
          "INSERT INTO PROJECTS (NOME) VALUES ('c')"})
        ASSERT_TRUE(query.exec(statement)) << statement;
    ASSERT_TRUE(query.exec("SELECT (SELECT COUNT(*) FROM ELEMENTS), (SELECT COUNT(*) FROM "
                           "TAPER_SIZES), (SELECT ID FROM PROJECTS WHERE NOME = 'c')") &&
                query.next());
    EXPECT_EQ(query.value(0).toInt(), 1) << "the deleted project's element goes";
    EXPECT_EQ(query.value(1).toInt(), 0) << "the deleted schedule's sections go";
    EXPECT_EQ(query.value(2).toInt(), 3) << "key 2 is not given again";
}

TEST_F(SchemaTest, MissingTableOrColumnIsNamed) {
    QSqlQuery query(db_);
    ASSERT_TRUE(
        query.exec("CREATE TABLE PROJECTS (ID INTEGER, NOME TEXT, F0 REAL, HEIGHT INTEGER)"));
    try {
        VerifySchema(db_);
        FAIL() << "verified";
    } catch (const StoreError& e) {
        EXPECT_NE(std::string(e.what()).find("has no column SOURCE_WIRE"), std::string::npos)
            << e.what();
    }
    ASSERT_TRUE(query.exec("ALTER TABLE PROJECTS ADD COLUMN SOURCE_WIRE TEXT"));
    try {
        VerifySchema(db_);
        FAIL() << "verified";
    } catch (const StoreError& e) {
        EXPECT_NE(std::string(e.what()).find("has no table ELEMENTS"), std::string::npos)
            << e.what();
    }
}

}  // namespace
}  // namespace velkora
