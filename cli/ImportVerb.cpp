// SPDX-License-Identifier: GPL-3.0-or-later
// velkora-cli import: designs from MMANA, Yagi Optimizer and NEC-2 files,
// each file one new project in a transaction of its own.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "Cli.h"
#include "CliSupport.h"
#include "CliVerbs.h"
#include "DesignImport.h"
#include "Failure.h"
#include "ImportFile.h"

namespace velkora {

namespace {

std::optional<ImportFormat> FormatOf(const CliArguments& parsed) {
    if (!parsed.Has("format")) return std::nullopt;
    const std::optional<ImportFormat> format =
        ImportFormatNamed(parsed.Value("format").toStdString());
    if (!format)
        throw UsageError(
            QString("--format takes maa, yag or nec, not \"%1\"").arg(parsed.Value("format")));
    return format;
}

// The new project's ID; the design's notes go to `notes`.
qint64 ImportOne(QSqlDatabase& db, const QString& file, std::optional<ImportFormat> format,
                 std::vector<std::string>& notes) {
    const std::string path = PathBytes(file);
    try {
        const ImportedDesign design = ReadDesignFile(path, format);
        notes = design.notes;
        return AddImportedDesign(db, design);
    } catch (Failure& failure) {
        if (failure.Where().empty()) failure.AddWhere(path);
        throw;
    }
}

}  // namespace

int ImportVerb(const QStringList& args, QTextStream& out, QTextStream& err) {
    const CliArguments parsed =
        ParseArguments(args, {"import", {"format", "data-link"}, {"json"}, 100000});
    if (parsed.positional.isEmpty()) throw UsageError("import needs at least one FILE");
    const std::optional<ImportFormat> format = FormatOf(parsed);
    const bool json = parsed.Has("json");
    const CliConnection store(DataLinkOf(parsed), StoreAccess::ReadWrite);
    QSqlDatabase db = store.Db();
    QJsonArray projects;
    int failed = 0;
    for (const QString& file : parsed.positional) {
        std::vector<std::string> notes;
        try {
            const qint64 id = ImportOne(db, file, format, notes);
            projects.append(id);
            if (!json) out << QString("%1: project %2\n").arg(file).arg(id);
        } catch (const Failure& failure) {
            err << FailureLine(failure.Where(), failure.Message()) << "\n";
            ++failed;
        }
        for (const std::string& note : notes) {
            if (json)
                err << FailureLine(PathBytes(file), note) << "\n";
            else
                out << "  " << QString::fromStdString(note) << "\n";
        }
    }
    if (json)
        out << QJsonDocument(QJsonObject{{"projects", projects}}).toJson(QJsonDocument::Compact)
            << "\n";
    return failed == 0 ? kCliSuccess : kCliFailure;
}

}  // namespace velkora
