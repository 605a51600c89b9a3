// SPDX-License-Identifier: GPL-3.0-or-later
// The libpq options a data-link file's Extended Properties adds, read and
// checked before libpq sees them, so that a message never quotes a value.
#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace velkora {

struct DataLink;

struct ConnectOption {
    QString key;  // lower case
    QString value;
};

// Extended Properties as libpq reads it: key=value options separated by
// blanks or ";", a value in single quotes where it holds blanks (a backslash
// escapes the next character). Throws StoreError naming the data-link file and a key, never a
// value, when it is malformed or would change what the program sets: host,
// hostaddr, port, dbname always; user and password where the data-link file
// gives User ID or Password; a connect_timeout that is not 1 to 300 seconds.
QList<ConnectOption> ReadConnectOptions(const DataLink& link);

// The options as Qt's driver passes them on to libpq, with the program's
// connect timeout where the file sets none.
QString ConnectOptionsText(const QList<ConnectOption>& options, int defaultTimeoutS);

// Every password the data-link file holds: Password and a password option.
QStringList PasswordsOf(const DataLink& link, const QList<ConnectOption>& options);

}  // namespace velkora
