// SPDX-License-Identifier: GPL-3.0-or-later
// The PostgreSQL test server that scripts/pg-server.sh starts, handed over in
// VELKORA_PG_HOST, VELKORA_PG_PORT, VELKORA_PG_USER and VELKORA_PG_DB, and
// fresh databases on it for tests that run once per provider.
#pragma once

#include <QAtomicInt>
#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <optional>
#include <stdexcept>

namespace velkora::test {

enum class TestProvider { SQLite, PostgreSQL };

inline const char* ProviderName(TestProvider provider) {
    return provider == TestProvider::SQLite ? "SQLite" : "PostgreSQL";
}

inline const char* kHowToRunServerTests =
    "no PostgreSQL test server (VELKORA_PG_HOST unset): run the tests with "
    "\"bash scripts/pg-server.sh run ctest --test-dir build\" to include them";

// In CI the server tests never skip: a missing server fails them.
inline bool ServerTestsRequired() { return qEnvironmentVariable("CI") == "true"; }

struct PgServer {
    QString host;  // a socket folder or a host name
    QString port;
    QString user;
    QString adminDatabase;

    QString DataSource() const { return port.isEmpty() ? host : host + ":" + port; }
};

inline std::optional<PgServer> PgServerFromEnvironment() {
    const QString host = qEnvironmentVariable("VELKORA_PG_HOST");
    if (host.isEmpty()) return std::nullopt;
    return PgServer{host, qEnvironmentVariable("VELKORA_PG_PORT"),
                    qEnvironmentVariable("VELKORA_PG_USER"),
                    qEnvironmentVariable("VELKORA_PG_DB", "postgres")};
}

// A new, empty database on the test server, dropped again at the end.
class ServerDatabase {
  public:
    explicit ServerDatabase(const PgServer& server) : server_(server) {
        static QAtomicInt counter;
        name_ = QString("velkora_test_%1_%2")
                    .arg(QCoreApplication::applicationPid())
                    .arg(counter.fetchAndAddRelaxed(1));
        Admin("CREATE DATABASE \"" + name_ + "\"");
    }
    ~ServerDatabase() {
        try {
            Admin("DROP DATABASE IF EXISTS \"" + name_ + "\" WITH (FORCE)");
        } catch (const std::exception&) {
            // The whole server goes at the end of the run anyway.
        }
    }
    ServerDatabase(const ServerDatabase&) = delete;
    ServerDatabase& operator=(const ServerDatabase&) = delete;

    const QString& Name() const { return name_; }
    // The connection line of a data-link file naming this database.
    QByteArray LinkLine() const {
        return QString("Provider=PostgreSQL;Data Source=%1;Initial Catalog=%2;User ID=%3")
            .arg(server_.DataSource(), name_, server_.user)
            .toUtf8();
    }

  private:
    void Admin(const QString& statement) const {
        const QString connection = "velkora-test-admin";
        {
            QSqlDatabase db = QSqlDatabase::contains(connection)
                                  ? QSqlDatabase::database(connection)
                                  : QSqlDatabase::addDatabase("QPSQL", connection);
            if (!db.isOpen()) {
                db.setHostName(server_.host);
                if (!server_.port.isEmpty()) db.setPort(server_.port.toInt());
                db.setUserName(server_.user);
                db.setDatabaseName(server_.adminDatabase);
                if (!db.open())
                    throw std::runtime_error("test server: " + db.lastError().text().toStdString());
            }
            QSqlQuery query(db);
            if (!query.exec(statement))
                throw std::runtime_error(statement.toStdString() + ": " +
                                         query.lastError().text().toStdString());
        }
    }

    PgServer server_;
    QString name_;
};

}  // namespace velkora::test
