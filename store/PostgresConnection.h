// SPDX-License-Identifier: GPL-3.0-or-later
// Connections to a PostgreSQL server named by a data-link file:
//     Provider=PostgreSQL;Data Source=db.example.org:5432;Initial Catalog=designs;
//     User ID=anna;Password=...;Extended Properties="sslmode=require"
// Data Source is a host, host:port, [IPv6 address]:port or a socket folder
// (an absolute path, optionally followed by :port). Without a Password,
// libpq's own ways apply (~/.pgpass, PGPASSFILE, PGSERVICE). Extended
// Properties holds further libpq options, separated by ";" or blanks; it
// cannot change the server, database, login or password the file names, nor
// switch off the connect timeout (ConnectOptions.h).
#pragma once

#include <QSqlDatabase>
#include <QString>

#include "Connection.h"
#include "DataLink.h"

namespace velkora {

// Connects under connectionName without checking the tables; a read-only
// connection's transactions are read-only. Refuses a
// data-link file that holds a password while other users may read it.
// Throws StoreError naming the server and the database and saying what went
// wrong (server unreachable, authentication failed, database missing); the
// password never appears in a message.
QSqlDatabase ConnectPostgres(const DataLink& link, const QString& connectionName,
                             StoreAccess access);

// Whether a message of libpq says the server closed the connection (it
// stopped, or the network failed).
bool IsConnectionLost(const QString& message);

// "DATABASE on the PostgreSQL server SERVER", as messages name the store.
QString PostgresDatabaseName(const DataLink& link);

}  // namespace velkora
