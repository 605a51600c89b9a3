// SPDX-License-Identifier: GPL-3.0-or-later
// velkora-cli plot: one picture of a project as an SVG or PNG file.
#include "Cli.h"
#include "CliSupport.h"
#include "CliVerbs.h"
#include "GenerationQueries.h"
#include "ModelArguments.h"
#include "ModelFile.h"
#include "PictureFile.h"
#include "PictureKinds.h"
#include "ReadSnapshot.h"
#include "SolveOptions.h"
#include "StoreFileGuard.h"

namespace velkora {

namespace {

struct PlotRequest {
    CliArguments parsed;
    const PictureKind* kind = nullptr;
    PictureFormat format = PictureFormat::Svg;
    QString output;
    SolveSettings solve;
};

PlotRequest ParsePlot(const QStringList& args) {
    PlotRequest request;
    request.parsed = ParseArguments(args, {"plot",
                                           {"project", "kind", "output", "axis", "taper", "ground",
                                            "sweep", "z0", "timeout", "data-link"},
                                           {},
                                           0});
    const QString kind = request.parsed.Required("kind");
    request.kind = FindPictureKind(kind.toLower());
    if (request.kind == nullptr)
        throw UsageError(QString("--kind is %1, not \"%2\"").arg(PictureKindNames(), kind));
    request.output = request.parsed.Required("output");
    const std::optional<PictureFormat> format = PictureFormatOf(request.output);
    if (!format)
        throw UsageError(
            QString("--output names a .svg or .png file, not \"%1\"").arg(request.output));
    request.format = *format;
    request.solve = SolveSettingsOf(request.parsed);
    return request;
}

// The geometry, and for the kinds that need them the solver's figures over
// --sweep or the picture band around F0.
PictureInput ReadInput(const PlotRequest& request) {
    std::optional<SolveJob> job;
    PictureInput input;
    {
        const CliConnection connection(DataLinkOf(request.parsed));
        const ReadSnapshot snapshot(connection.Db());  // one state of the store
        const ProjectRow project = ChosenProject(connection.Db(), request.parsed);
        SqlModelSource source(connection.Db());
        input = GeometryInput(project, source);
        if (!input.geometryProblem.isEmpty()) throw Failure(input.geometryProblem.toStdString());
        if (!request.kind->needsSolver) return input;
        NecOptions options = request.solve.nec;
        if (!options.sweep) options.sweep = PictureBand(input.f0);
        const RegionalMarks marks;
        job = SolveJobOf({project, source, request.solve.axis, marks}, options, request.solve.z0);
    }
    const StopOnSignals stop(-1);  // nothing but the file is written
    input.z0 = request.solve.z0;
    input.sweep = SolveWithProgress(*job, request.solve.timeout, stop);
    return input;
}

}  // namespace

// Writes the file as generate does: complete or not at all, the old file kept
// on failure. A project that cannot be drawn fails with the reason.
int PlotVerb(const QStringList& args, QTextStream&) {
    const PlotRequest request = ParsePlot(args);
    RefuseStoreFileAsOutput(request.output, StoreFilesOf(DataLinkOf(request.parsed)));
    const PictureInput input = ReadInput(request);
    const std::string bytes = PictureBytes(request.format, request.kind->size, input.title,
                                           [&](QPainter& painter, const QSizeF& size) {
                                               PaintPicture(*request.kind, painter, size, input);
                                           });
    WriteModelFile(PathBytes(request.output), bytes);
    return kCliSuccess;
}

}  // namespace velkora
