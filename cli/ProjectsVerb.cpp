// velkora-cli projects: ID, name and element count of every project.
#include <algorithm>

#include "Cli.h"
#include "CliSupport.h"
#include "CliVerbs.h"
#include "GenerationQueries.h"

namespace velkora {

int ProjectsVerb(const QStringList& args, QTextStream& out) {
    const CliArguments parsed = ParseArguments(args, {"projects", {"data-link"}, {}, 0});
    const CliConnection connection(DataLinkOf(parsed));
    const QList<ProjectSummary> projects = ListProjects(connection.Db());
    if (projects.isEmpty()) {
        out << "The store has no projects\n";
        return kCliSuccess;
    }
    qsizetype idWidth = 2, nameWidth = 4;
    for (const ProjectSummary& project : projects) {
        idWidth = std::max(idWidth, QString::number(project.id).size());
        nameWidth = std::max(nameWidth, project.nome.size());
    }
    const auto line = [&](const QString& id, const QString& nome, const QString& count) {
        out << id.rightJustified(idWidth) << "  " << nome.leftJustified(nameWidth) << "  " << count
            << "\n";
    };
    line("ID", "NOME", "ELEMENTS");
    for (const ProjectSummary& project : projects)
        line(QString::number(project.id), project.nome, QString::number(project.elementCount));
    return kCliSuccess;
}

}  // namespace velkora
