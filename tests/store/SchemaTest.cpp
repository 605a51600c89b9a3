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

TEST_F(SchemaTest, CreatedSchemaVerifies) {
    CreateSchema(db_);
    EXPECT_NO_THROW(VerifySchema(db_));
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
