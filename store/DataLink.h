// SPDX-License-Identifier: GPL-3.0-or-later
// The data-link file that names the store's provider and database: an
// optional "[oledb]" line, ";" comment lines and one line of Key=Value pairs
// separated by ";", for example
//     [oledb]
//     ; Everything after this line is an OLE DB initstring
//     Provider=SQLite;Data Source=velkora.db
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

namespace velkora {

struct DataLink {
    QString file;        // the data-link file it was read from, for messages
    QString provider;    // as written, e.g. "SQLite"
    QString dataSource;  // as written; for SQLite the database file
    // The absolute folder of the data-link file, against which a relative
    // database file is read; empty for text not read from a file (then the
    // working directory serves).
    QString folder;
    // Every pair of the connection line, keys in lower case.
    QHash<QString, QString> properties;

    // The value of a key (any letter case); empty when the line lacks it.
    QString Property(const QString& key) const { return properties.value(key.toLower()); }
};

// Reads and checks a data-link file. Throws StoreError naming the file when
// it is missing, unreadable or malformed, or names no provider or no Data Source.
DataLink ReadDataLink(const QString& path);

// The same for a file's bytes (UTF-16 LE when they start with its byte-order
// mark, UTF-8 otherwise); file names it in messages.
DataLink ParseDataLink(const QByteArray& bytes, const QString& file);

}  // namespace velkora
