// SPDX-License-Identifier: GPL-3.0-or-later
// velkora-cli init: a new data-link file and database, never over existing ones.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "Cli.h"
#include "CliSupport.h"
#include "CliVerbs.h"
#include "Connection.h"
#include "DataLink.h"
#include "PostgresConnection.h"
#include "SampleDesigns.h"
#include "StoreError.h"

namespace velkora {

namespace {

void WriteNewFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    // NewOnly: a file that appeared meanwhile is never overwritten.
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) ||
        file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        if (file.isOpen()) file.remove();
        throw Failure(QString("Could not write %1: %2")
                          .arg(QDir::toNativeSeparators(path), reason)
                          .toStdString());
    }
}

void AddSamples(const QString& databaseFile) {
    const QString name = QStringLiteral("velkora-cli-sample");
    {
        QSqlDatabase db = OpenDatabaseFile(databaseFile, name);
        AddSampleDesigns(db);
    }
    CloseConnection(name);
}

// A value of a data-link line, quoted when it would otherwise be misread.
QString LinkValue(const QString& value) {
    if (!value.contains(';') && !value.contains('"') && value.trimmed() == value) return value;
    return '"' + QString(value).replace("\"", "\"\"") + '"';
}

QString ServerLinkLine(const CliArguments& parsed) {
    QString line = "Provider=PostgreSQL;Data Source=" + LinkValue(parsed.Required("server")) +
                   ";Initial Catalog=" + LinkValue(parsed.Required("database"));
    if (parsed.Has("user")) line += ";User ID=" + LinkValue(parsed.Value("user"));
    return line;
}

// The folder init works in, made when missing; the folders it made are
// removed again when init fails, so a refused init leaves nothing behind.
class InitFolder {
  public:
    explicit InitFolder(const CliArguments& parsed) : dir_(parsed.positional.value(0, ".")) {
        for (QString folder = QDir::cleanPath(dir_.absolutePath()); !QFileInfo::exists(folder);
             folder = QFileInfo(folder).absolutePath())
            made_.prepend(folder);
        if (!QDir().mkpath(dir_.path())) {
            Undo();
            throw Failure(QString("Could not make the folder %1")
                              .arg(QDir::toNativeSeparators(dir_.path()))
                              .toStdString());
        }
    }
    const QDir& Dir() const { return dir_; }
    // Removes the folders made, innermost first, where they are still empty.
    void Undo() const {
        for (auto folder = made_.rbegin(); folder != made_.rend(); ++folder) QDir().rmdir(*folder);
    }

  private:
    QDir dir_;
    QStringList made_;
};

void RefuseExisting(const QString& path) {
    if (QFileInfo::exists(path))
        throw Failure(QString("%1 exists already; init leaves an existing store as it is")
                          .arg(QDir::toNativeSeparators(path))
                          .toStdString());
}

// The data-link file (without a password) first, so nothing is made when it
// cannot be written; then the tables on the server.
int InitServer(const CliArguments& parsed, QTextStream& out) {
    const QString line = ServerLinkLine(parsed);
    const InitFolder folder(parsed);
    const QString link = QDir::cleanPath(folder.Dir().filePath(kDataLinkName));
    const bool sample = parsed.flags.contains("sample");
    DataLink dataLink;
    bool written = false;
    try {
        RefuseExisting(link);
        WriteNewFile(link, "[oledb]\n; Everything after this line is an OLE DB initstring\n" +
                               line.toUtf8() + "\n");
        written = true;
        dataLink = ReadDataLink(link);
        CreateServerStore(dataLink, [sample](QSqlDatabase& db) {
            if (sample) AddSampleDesigns(db);
        });
    } catch (...) {
        if (written) QFile::remove(link);
        folder.Undo();
        throw;
    }
    out << "Made " << QDir::toNativeSeparators(link) << " and the tables in the database "
        << PostgresDatabaseName(dataLink) << (sample ? " with the sample designs" : "") << "\n";
    return kCliSuccess;
}

int InitFile(const CliArguments& parsed, QTextStream& out) {
    for (const char* option : {"server", "database", "user"})
        if (parsed.Has(option))
            throw UsageError(
                QString("--%1 belongs to --provider postgresql; an SQLite store is a file")
                    .arg(option));
    const InitFolder folder(parsed);
    const QString link = QDir::cleanPath(folder.Dir().filePath(kDataLinkName));
    const QString database = QDir::cleanPath(folder.Dir().filePath(kDatabaseName));
    bool made = false;
    try {
        for (const QString& path : {link, database}) RefuseExisting(path);
        CreateDatabaseFile(database);
        made = true;
        if (parsed.flags.contains("sample")) AddSamples(database);
        WriteNewFile(link,
                     "[oledb]\n; Everything after this line is an OLE DB initstring\n"
                     "Provider=SQLite;Data Source=" +
                         kDatabaseName.toUtf8() + "\n");
    } catch (...) {
        if (made) QFile::remove(database);
        folder.Undo();
        throw;
    }
    out << "Made " << QDir::toNativeSeparators(link) << " and "
        << QDir::toNativeSeparators(database)
        << (parsed.flags.contains("sample") ? " with the sample designs" : "") << "\n";
    return kCliSuccess;
}

}  // namespace

int InitVerb(const QStringList& args, QTextStream& out) {
    const CliArguments parsed =
        ParseArguments(args, {"init", {"provider", "server", "database", "user"}, {"sample"}, 1});
    const QString provider = parsed.Has("provider") ? parsed.Value("provider").toLower() : "sqlite";
    if (provider == "sqlite") return InitFile(parsed, out);
    if (provider == "postgresql") return InitServer(parsed, out);
    throw UsageError(
        QString("--provider is sqlite or postgresql, not \"%1\"").arg(parsed.Value("provider")));
}

}  // namespace velkora
