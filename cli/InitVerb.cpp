// velkora-cli init: a new data-link file and database, never over existing ones.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "Cli.h"
#include "CliSupport.h"
#include "CliVerbs.h"
#include "Connection.h"
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

}  // namespace

int InitVerb(const QStringList& args, QTextStream& out) {
    const CliArguments parsed = ParseArguments(args, {"init", {}, {"sample"}, 1});
    const QString dirName = parsed.positional.value(0, ".");
    const QDir dir(dirName);
    if (!dir.exists() && !QDir().mkpath(dirName))
        throw Failure(QString("Could not make the folder %1")
                          .arg(QDir::toNativeSeparators(dirName))
                          .toStdString());
    const QString link = QDir::cleanPath(dir.filePath(kDataLinkName));
    const QString database = QDir::cleanPath(dir.filePath(kDatabaseName));
    for (const QString& path : {link, database}) {
        if (QFileInfo::exists(path))
            throw Failure(QString("%1 exists already; init leaves an existing store as it is")
                              .arg(QDir::toNativeSeparators(path))
                              .toStdString());
    }
    CreateDatabaseFile(database);
    try {
        if (parsed.flags.contains("sample")) AddSamples(database);
        WriteNewFile(link,
                     "[oledb]\n; Everything after this line is an OLE DB initstring\n"
                     "Provider=SQLite;Data Source=" +
                         kDatabaseName.toUtf8() + "\n");
    } catch (...) {
        QFile::remove(database);
        throw;
    }
    out << "Made " << QDir::toNativeSeparators(link) << " and "
        << QDir::toNativeSeparators(database)
        << (parsed.flags.contains("sample") ? " with the sample designs" : "") << "\n";
    return kCliSuccess;
}

}  // namespace velkora
