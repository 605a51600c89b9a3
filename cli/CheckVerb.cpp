// SPDX-License-Identifier: GPL-3.0-or-later
// velkora-cli check: the warnings about one project's design, one a line.
#include "Cli.h"
#include "CliSupport.h"
#include "CliVerbs.h"
#include "DesignCheck.h"
#include "GenerationQueries.h"
#include "ModelArguments.h"
#include "ReadSnapshot.h"

namespace velkora {

namespace {

// Warnings are not a failure of the command: a check that could not run
// says so with a status of its own.
constexpr int kCheckWarned = 1;
constexpr int kCheckFailed = 3;

}  // namespace

int CheckVerb(const QStringList& args, QTextStream& out) {
    const CliArguments parsed = ParseArguments(args, {"check", {"project", "data-link"}, {}, 0});
    std::vector<std::string> warnings;
    QString name;
    try {
        const CliConnection connection(DataLinkOf(parsed));
        const ReadSnapshot snapshot(connection.Db());  // one state of the store
        const ProjectRow project = ChosenProject(connection.Db(), parsed);
        SqlModelSource source(connection.Db());
        const RegionalMarks marks;
        warnings = DesignWarnings({project, source, MainLobeAxis::X, marks});
        name = OneLine(QString::fromStdString(project.nome.ToText()));
    } catch (const Failure& failure) {
        QTextStream(stderr) << FailureLine(failure.Where(), failure.Message()) << "\n";
        return kCheckFailed;
    }
    if (warnings.empty()) {
        out << name << ": no warnings\n";
        return kCliSuccess;
    }
    out << name << ": " << warnings.size() << (warnings.size() == 1 ? " warning" : " warnings")
        << "\n";
    for (const std::string& warning : warnings)
        out << "  " << OneLine(QString::fromStdString(warning)) << "\n";
    return kCheckWarned;
}

}  // namespace velkora
