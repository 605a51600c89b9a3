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
    out << QString(
               "Copied %1 projects with %2 elements and %3 schedules with %4 sections from "
               "%5 to %6\n")
               .arg(counts.projects)
               .arg(counts.elements)
               .arg(counts.schedules)
               .arg(counts.sections)
               .arg(from, to);
    return kCliSuccess;
}

}  // namespace velkora
