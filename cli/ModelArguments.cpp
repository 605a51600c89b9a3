// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModelArguments.h"

#include <optional>

#include "GenerationQueries.h"

namespace velkora {

namespace {

// The row of names whose text the option holds (letter case ignored).
template <class T, std::size_t N>
T Choice(const CliArguments& parsed, const QString& option,
         const std::pair<const char*, T> (&choices)[N]) {
    const QString value = parsed.Value(option).toLower();
    QStringList names;
    for (const auto& [name, choice] : choices) {
        if (value == name) return choice;
        names << name;
    }
    throw UsageError(
        QString("--%1 is %2, not \"%3\"").arg(option, names.join(" or "), parsed.Value(option)));
}

// The option texts of the NEC-2 choices; solve's report names them the same way.
const std::pair<const char*, NecTaper> kTapers[] = {{"corrected", NecTaper::Corrected},
                                                    {"exact", NecTaper::Exact}};
const std::pair<const char*, NecGround> kGrounds[] = {
    {"free", NecGround::Free}, {"perfect", NecGround::Perfect}, {"real", NecGround::Real}};

template <class T, std::size_t N>
QString NameOf(T choice, const std::pair<const char*, T> (&choices)[N]) {
    for (const auto& [name, candidate] : choices)
        if (candidate == choice) return name;
    return {};
}

}  // namespace

MainLobeAxis AxisOf(const CliArguments& parsed, const MainLobeAxis* fallback) {
    if (!parsed.Has("axis") && fallback != nullptr) return *fallback;
    parsed.Required("axis");
    static const std::pair<const char*, MainLobeAxis> kAxes[] = {{"x", MainLobeAxis::X},
                                                                 {"y", MainLobeAxis::Y}};
    return Choice(parsed, "axis", kAxes);
}

NecOptions NecOptionsOf(const CliArguments& parsed) {
    NecOptions options;
    if (parsed.Has("taper")) options.taper = Choice(parsed, "taper", kTapers);
    if (parsed.Has("ground")) options.ground = Choice(parsed, "ground", kGrounds);
    return options;
}

QString TaperName(NecTaper taper) { return NameOf(taper, kTapers); }

QString GroundName(NecGround ground) { return NameOf(ground, kGrounds); }

ProjectRow ChosenProject(const QSqlDatabase& db, const CliArguments& parsed) {
    if (!parsed.Has("project")) return ReadFirstProjectRow(db);
    bool ok = false;
    const qint64 id = parsed.Value("project").trimmed().toLongLong(&ok);
    if (!ok)
        throw UsageError(
            QString("--project takes a project's ID, not \"%1\"").arg(parsed.Value("project")));
    const std::optional<ProjectRow> row = ReadProjectRow(db, id);
    if (!row)
        throw UsageError(
            QString("the store has no project with ID %1 (velkora-cli projects lists them)")
                .arg(id));
    return *row;
}

}  // namespace velkora
