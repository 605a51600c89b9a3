// SPDX-License-Identifier: GPL-3.0-or-later
// velkora-cli copy: designs from one store into another, for moving a
// store to a server and back, or keeping a backup.
#include "Cli.h"
#include "CliSupport.h"
#include "CliVerbs.h"
#include "Connection.h"
#include "StoreCopy.h"

namespace velkora {

namespace {

std::optional<QList<qint64>> ChosenProjects(const CliArguments& parsed) {
    if (!parsed.Has("project")) return std::nullopt;
    QList<qint64> ids;
    for (const QString& text : parsed.lists.value("project")) {
        bool ok = false;
        ids << text.trimmed().toLongLong(&ok);
        if (!ok) throw UsageError(QString("--project takes a project's ID, not \"%1\"").arg(text));
    }
    return ids;
}

// "1 project", "2 projects".
QString Count(int count, const char* noun) {
    return QString("%1 %2%3").arg(count).arg(QLatin1String(noun)).arg(count == 1 ? "" : "s");
}

}  // namespace

int CopyVerb(const QStringList& args, QTextStream& out) {
    const CliArguments parsed =
        ParseArguments(args, {"copy", {"from", "to", "project"}, {}, 0, {"project"}});
    const QString from = parsed.Required("from");
    const QString to = parsed.Required("to");
    const std::optional<QList<qint64>> projects = ChosenProjects(parsed);
    const CliConnection source(from);
    const CliConnection target(to, StoreAccess::ReadWrite, "velkora-cli-copy-to");
    const CopyCounts counts = CopyDesigns(source.Db(), target.Db(), projects);
    out << QString("Copied %1 with %2 and %3 with %4 from %5 to %6\n")
               .arg(Count(counts.projects, "project"), Count(counts.elements, "element"),
                    Count(counts.schedules, "schedule"), Count(counts.sections, "section"), from,
                    to);
    return kCliSuccess;
}

}  // namespace velkora
