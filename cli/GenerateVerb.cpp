// velkora-cli generate: the model of one project, as the window writes it.
#include <QFile>
#include <optional>
#include <string>

#include "Cli.h"
#include "CliSupport.h"
#include "CliVerbs.h"
#include "GenerationQueries.h"
#include "ModelWriters.h"
#include "ReadSnapshot.h"
#include "StoreFileGuard.h"

namespace velkora {

namespace {

struct GenerateRequest {
    bool mmana = true;
    MainLobeAxis axis = MainLobeAxis::X;
    QString output;
    std::optional<qint64> project;
    RegionalMarks marks;
    QString dataLink;
};

GenerateRequest ParseGenerate(const QStringList& args) {
    const CliArguments parsed =
        ParseArguments(args, {"generate",
                              {"target", "axis", "output", "project", "decimal-separator",
                               "thousands-separator", "data-link"},
                              {},
                              0});
    GenerateRequest request;
    const QString target = parsed.Required("target").toLower();
    if (target != "mmana" && target != "eznec")
        throw UsageError(
            QString("--target is mmana or eznec, not \"%1\"").arg(parsed.Value("target")));
    request.mmana = target == "mmana";
    const QString axis = parsed.Required("axis").toLower();
    if (axis != "x" && axis != "y")
        throw UsageError(QString("--axis is x or y, not \"%1\"").arg(parsed.Value("axis")));
    request.axis = axis == "x" ? MainLobeAxis::X : MainLobeAxis::Y;
    request.output = parsed.Required("output");
    if (request.output.isEmpty()) throw UsageError("--output needs a file name");
    if (parsed.Has("project")) {
        bool ok = false;
        request.project = parsed.Value("project").trimmed().toLongLong(&ok);
        if (!ok)
            throw UsageError(
                QString("--project takes a project's ID, not \"%1\"").arg(parsed.Value("project")));
    }
    request.marks = MarksOfRun(parsed);
    request.dataLink = DataLinkOf(parsed);
    return request;
}

}  // namespace

// Runs the same writers as the window's Generate command; prints nothing
// on success.
int GenerateVerb(const QStringList& args, QTextStream&) {
    const GenerateRequest request = ParseGenerate(args);
    RefuseStoreFileAsOutput(request.output, StoreFilesOf(request.dataLink));
    const CliConnection connection(request.dataLink);
    const ReadSnapshot snapshot(connection.Db());  // the whole model from one state of the store
    ProjectRow project;
    if (request.project) {
        const std::optional<ProjectRow> row = ReadProjectRow(connection.Db(), *request.project);
        if (!row)
            throw UsageError(
                QString("the store has no project with ID %1 (velkora-cli projects lists them)")
                    .arg(*request.project));
        project = *row;
    } else {
        project = ReadFirstProjectRow(connection.Db());
    }
    SqlModelSource source(connection.Db());
    const ModelJob job{project, source, request.axis, request.marks};
    const std::string path = QFile::encodeName(request.output).toStdString();
    if (request.mmana)
        WriteMmanaModel(path, job);
    else
        WriteEzNecModel(path, job);
    return kCliSuccess;
}

}  // namespace velkora
