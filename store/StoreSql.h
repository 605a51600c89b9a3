// SPDX-License-Identifier: GPL-3.0-or-later
// SQL that runs on every provider: names quoted by the connection's driver
// (the server folds unquoted names to lower case) and new keys read back with
// INSERT ... RETURNING, which SQLite and PostgreSQL both take.
#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace velkora {

// A table's or column's name as the connection's driver quotes it.
QString QuotedName(const QSqlDatabase& db, const QString& name);

// The database's message of a failure, in plain words where the server
// closed the connection.
QString DatabaseMessage(const QSqlError& error);
// The same for a failure of the connection itself (a transaction).
QString DatabaseMessage(const QSqlDatabase& db);

// Inserts one row and returns its key column's value (invalid when key is
// empty). A QByteArray value is text given by its bytes: kept as they are
// where the engine takes any bytes as text, read as UTF-8 elsewhere. Throws StoreError "what: the
// database's message".
QVariant InsertRow(const QSqlDatabase& db, const QString& table, const QStringList& columns,
                   const QVariantList& values, const QString& key, const QString& what);

}  // namespace velkora
