// SPDX-License-Identifier: GPL-3.0-or-later
// velkora-cli projects: ID, name and element count of every project.
#include <algorithm>

#include "Cli.h"
#include "CliSupport.h"
#include "CliVerbs.h"
#include "GenerationQueries.h"
#include "TableDataset.h"

namespace velkora {

int ProjectsVerb(const QStringList& args, QTextStream& out) {
    const CliArguments parsed = ParseArguments(args, {"projects", {"data-link"}, {}, 0});
    const CliConnection connection(DataLinkOf(parsed));
    const QList<ProjectSummary> projects = ListProjects(connection.Db());
    if (projects.isEmpty()) {
        out << "The store has no projects\n";
        return kCliSuccess;
    }
    // The name column is titled as the projects grid titles it.
    const TableDefinition table = ProjectsDefinition();
    const auto nameField =
        std::find_if(table.fields.begin(), table.fields.end(),
                     [](const FieldInfo& field) { return field.name == "NOME"; });
    const QString nameTitle = nameField->DisplayName();
    qsizetype idWidth = 2, nameWidth = nameTitle.size();
    for (const ProjectSummary& project : projects) {
        idWidth = std::max(idWidth, QString::number(project.id).size());
        nameWidth = std::max(nameWidth, project.nome.size());
    }
    const auto line = [&](const QString& id, const QString& nome, const QString& count) {
        out << id.rightJustified(idWidth) << "  " << nome.leftJustified(nameWidth) << "  " << count
            << "\n";
    };
    line("ID", nameTitle, "ELEMENTS");
    for (const ProjectSummary& project : projects)
        line(QString::number(project.id), project.nome, QString::number(project.elementCount));
    return kCliSuccess;
}

}  // namespace velkora
