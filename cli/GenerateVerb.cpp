// SPDX-License-Identifier: GPL-3.0-or-later
// velkora-cli generate: the model of one project, as the window writes it.
#include <optional>
#include <string>

#include "Cli.h"
#include "CliSupport.h"
#include "CliVerbs.h"
#include "GenerationQueries.h"
#include "ModelArguments.h"
#include "ModelTargets.h"
#include "ReadSnapshot.h"
#include "StoreFileGuard.h"

namespace velkora {

namespace {

struct GenerateRequest {
    const ModelTarget* target = nullptr;
    MainLobeAxis axis = MainLobeAxis::X;
    NecOptions nec;
    QString output;
    CliArguments parsed;
    RegionalMarks marks;
};

QString TargetNames() {
    QStringList names;
    for (const ModelTarget& target : ModelTargets())
        names << QString::fromUtf8(target.name.data(), static_cast<qsizetype>(target.name.size()));
    const QString last = names.takeLast();
    return names.join(", ") + " or " + last;
}

GenerateRequest ParseGenerate(const QStringList& args) {
    GenerateRequest request;
    request.parsed =
        ParseArguments(args, {"generate",
                              {"target", "axis", "output", "project", "taper", "ground",
                               "decimal-separator", "thousands-separator", "data-link"},
                              {},
                              0});
    const CliArguments& parsed = request.parsed;
    request.target = FindTarget(parsed.Required("target").toStdString());
    if (request.target == nullptr)
        throw UsageError(
            QString("--target is %1, not \"%2\"").arg(TargetNames(), parsed.Value("target")));
    if (request.target->target != OutputTarget::Nec &&
        (parsed.Has("taper") || parsed.Has("ground")))
        throw UsageError("--taper and --ground belong to --target nec");
    request.axis = AxisOf(parsed, nullptr);
    request.nec = NecOptionsOf(parsed);
    request.output = parsed.Required("output");
    if (request.output.isEmpty()) throw UsageError("--output needs a file name");
    request.marks = MarksOfRun(parsed);
    return request;
}

}  // namespace

// Runs the same writers as the window's Generate command; prints nothing
// on success.
int GenerateVerb(const QStringList& args, QTextStream&) {
    const GenerateRequest request = ParseGenerate(args);
    const QString dataLink = DataLinkOf(request.parsed);
    RefuseStoreFileAsOutput(request.output, StoreFilesOf(dataLink));
    const CliConnection connection(dataLink);
    const ReadSnapshot snapshot(connection.Db());  // the whole model from one state of the store
    const ProjectRow project = ChosenProject(connection.Db(), request.parsed);
    SqlModelSource source(connection.Db());
    const ModelJob job{project, source, request.axis, request.marks};
    request.target->write(PathBytes(request.output), job, request.nec);
    return kCliSuccess;
}

}  // namespace velkora
