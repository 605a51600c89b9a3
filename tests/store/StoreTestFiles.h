// Files for store tests: a temporary working directory, data-link files and
// SQLite databases made with plain SQL.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTemporaryDir>
#include <ostream>

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

}  // namespace velkora
