// SPDX-License-Identifier: GPL-3.0-or-later
#include "PostgresConnection.h"

#include <QFile>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

#include "ConnectOptions.h"
#include "StoreError.h"

namespace velkora {

namespace {

// Gives up on a server that does not answer, rather than hanging the window.
constexpr int kConnectTimeoutS = 10;

struct ServerAddress {
    QString host;
    int port = -1;  // libpq's default
};

ServerAddress ParseServer(const QString& dataSource) {
    static const QRegularExpression withPort(R"(^(.*):(\d{1,5})$)");
    ServerAddress address{dataSource.trimmed()};
    const QRegularExpressionMatch match = withPort.match(address.host);
    // "fe80::1" is an address without a port; "[fe80::1]:5432" has one.
    const bool bareIpv6 = address.host.count(':') > 1 && !address.host.startsWith('[');
    if (match.hasMatch() && !bareIpv6) {
        address.host = match.captured(1);
        address.port = match.captured(2).toInt();
    }
    if (address.host.startsWith('[') && address.host.endsWith(']'))
        address.host = address.host.mid(1, address.host.size() - 2);
    return address;
}

void RefuseReadablePassword(const DataLink& link, const QList<ConnectOption>& options) {
    if (PasswordsOf(link, options).isEmpty() || !QFile::exists(link.file)) return;
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    if (QFile::permissions(link.file) & others)
        throw StoreError(QString("The data-link file %1 holds a password but other users may read "
                                 "it; make it private with: chmod 600 %1")
                             .arg(link.file));
}

// What went wrong, in words, from libpq's message. The server's own words
// carry a severity ("FATAL:"); without one libpq failed on this machine.
QString ConnectFailure(const QString& message, const DataLink& link) {
    const auto has = [&](const char* text) { return message.contains(QLatin1String(text)); };
    if (has("password authentication failed") || has("no password supplied") ||
        has("authentication failed") || has("fe_sendauth"))
        return QString(
                   "authentication failed for the user %1 (check User ID and Password, or "
                   "the ~/.pgpass entry)")
            .arg(link.Property("User ID").isEmpty() ? QString("of this login")
                                                    : link.Property("User ID"));
    static const QRegularExpression unknownRole(R"re(role "([^"]*)" does not exist)re");
    if (const QRegularExpressionMatch role = unknownRole.match(message); role.hasMatch())
        return QString("the server knows no user %1 (give the User ID of a role on the server)")
            .arg(role.captured(1));
    if (has("database \"") && has("does not exist"))
        return "the database does not exist on the server (its administrator makes it; "
               "\"velkora-cli init --provider postgresql\" then makes the tables)";
    if (has("could not connect") || has("Connection refused") || has("could not translate") ||
        has("timeout expired") || has("No such file or directory") || has("Is the server running"))
        return "the server cannot be reached (is it running, and are the host and port right?)";
    if (IsConnectionLost(message)) return "the server closed the connection";
    if (has("FATAL:") || has("ERROR:")) return "the server refused the connection";
    return "libpq, PostgreSQL's client library, could not make the connection on this machine";
}

// Every password, also as Qt's driver quotes it for libpq, hidden.
QString WithoutPasswords(QString message, const QStringList& passwords) {
    for (const QString& password : passwords) {
        QString quoted = password;
        quoted.replace('\\', "\\\\").replace('\'', "\\'");
        message.replace(quoted, "****");
        message.replace(password, "****");
    }
    return message.simplified();
}

}  // namespace

QString PostgresDatabaseName(const DataLink& link) {
    return QString("%1 on the PostgreSQL server %2")
        .arg(link.Property("Initial Catalog"), link.dataSource);
}

bool IsConnectionLost(const QString& message) {
    static const char* const kLost[] = {
        "server closed the connection",       "terminating connection",
        "no connection to the server",        "connection to server was lost",
        "could not receive data from server", "could not send data to server",
        "SSL SYSCALL error: EOF detected",    "SSL connection has been closed unexpectedly"};
    for (const char* text : kLost)
        if (message.contains(QLatin1String(text))) return true;
    return false;
}

QSqlDatabase ConnectPostgres(const DataLink& link, const QString& connectionName,
                             StoreAccess access) {
    if (link.Property("Initial Catalog").isEmpty())
        throw StoreError(QString("The data-link file %1 names no Initial Catalog (the database on "
                                 "the server %2)")
                             .arg(link.file, link.dataSource));
    const QList<ConnectOption> options = ReadConnectOptions(link);
    RefuseReadablePassword(link, options);
    QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", connectionName);
    if (!db.isValid())
        throw StoreError(
            "The PostgreSQL driver of Qt (QPSQL) is not installed (Debian: libqt6sql6-psql)");
    const ServerAddress server = ParseServer(link.dataSource);
    db.setHostName(server.host);
    db.setPort(server.port);
    db.setDatabaseName(link.Property("Initial Catalog"));
    db.setUserName(link.Property("User ID"));
    db.setPassword(link.Property("Password"));
    db.setConnectOptions(ConnectOptionsText(options, kConnectTimeoutS));
    if (!db.open()) {
        const QString said =
            WithoutPasswords(db.lastError().databaseText(), PasswordsOf(link, options));
        const QString failure = ConnectFailure(said, link);
        throw StoreError(QString("Could not open the database %1: %2. %3 said: %4")
                             .arg(PostgresDatabaseName(link), failure,
                                  failure.startsWith("libpq") ? "It" : "The server", said));
    }
    if (access == StoreAccess::ReadOnly &&
        !QSqlQuery(db).exec("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY"))
        throw StoreError(QString("Could not open the database %1 for reading: %2")
                             .arg(PostgresDatabaseName(link), db.lastError().text()));
    return db;
}

}  // namespace velkora
