// SPDX-License-Identifier: GPL-3.0-or-later
// velkora-cli solve, wires and the NEC-2 deck against the published designs
// of the sample store; these tests run nec2c.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSqlQuery>
#include <cmath>
#include <optional>

#include "Connection.h"
#include "Failure.h"
#include "StoreTestFiles.h"
#include "ToolRun.h"

namespace velkora {
namespace {

using test::ReadBytes;
using test::RunTool;
using test::ToolRun;

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A published figure: a value with a tolerance, or a floor.
struct Figure {
    double value;
    double tolerance;  // 0: value is a floor
    bool Meets(double got) const {
        return tolerance == 0 ? got > value : std::abs(got - value) <= tolerance;
    }
};

struct Published {
    int project;
    double mhz;
    std::optional<Figure> gain, frontToBack, resistance, reactance;
};

constexpr Figure Gain(double dbi) { return {dbi, 0.5}; }
constexpr Figure FrontToBack(double db) { return {db, 3}; }
constexpr Figure Ohm(double ohm) { return {ohm, 4}; }
constexpr Figure Above(double floor) { return {floor, 0}; }

// The figures designers published; the tolerances of comparing a corrected
// NEC-2 model with them.
const Published kPublished[] = {
    {1, 14.15, Gain(6.15), FrontToBack(10), Ohm(28), {}},
    {2, 28.5, Gain(7.65), {}, Ohm(28), {}},
    {3, 14.0, Above(10), Above(20), {}, {}},
    {3, 14.175, Above(10), Above(20), {}, {}},
    {3, 14.35, Above(10), Above(20), {}, {}},
    {4, 14.0, Above(10), Above(20), {}, {}},
    {4, 14.175, Above(10), Above(20), {}, {}},
    {4, 14.35, Above(10), Above(20), {}, {}},
    {5, 14.0, Above(10), Above(20), {}, {}},
    {5, 14.175, Above(10), Above(20), {}, {}},
    {5, 14.35, Above(10), Above(20), {}, {}},
    {6, 28.0, {}, {}, Ohm(28.8), Ohm(-11.0)},
    {6, 28.5, Gain(7.1), {}, Ohm(28.9), Ohm(-0.3)},
    {6, 29.0, {}, {}, Ohm(23.5), Ohm(13.6)},
    {7, 21.0, {}, {}, Ohm(20.5), Ohm(-9.2)},
    {7, 21.225, Gain(7.6), Above(20), Ohm(20.4), Ohm(1.0)},
    {7, 21.45, {}, {}, Ohm(20.7), Ohm(10.0)},
};

class SolveTest : public TemporaryWorkingDirectory {
  protected:
    void SetUp() override {
        TemporaryWorkingDirectory::SetUp();
        ASSERT_EQ(RunTool({"init", "--sample"}).status, kCliSuccess);
    }

    // The published figures the model of one taper misses, one line each.
    QStringList Misses(const QString& taper) {
        QStringList misses;
        for (int project = 1; project <= 7; ++project) {
            QStringList args = {"solve",   "--project", QString::number(project),
                                "--taper", taper,       "--json"};
            if (project >= 3) {
                static const char* const kSweeps[] = {"14:14.35:0.175", "28:29:0.5",
                                                      "21:21.45:0.225"};
                args << "--sweep" << kSweeps[project <= 5 ? 0 : project - 5];
            }
            const ToolRun run = RunTool(args);
            EXPECT_EQ(run.status, kCliSuccess) << run.err.toStdString();
            const QJsonArray results =
                QJsonDocument::fromJson(run.out.toUtf8()).object()["results"].toArray();
            for (const Published& published : kPublished) {
                if (published.project != project) continue;
                std::optional<QJsonObject> row;
                for (const QJsonValue result : results)
                    if (std::abs(result["mhz"].toDouble() - published.mhz) < 1e-6)
                        row = result.toObject();
                if (!row) {
                    misses << QString("project %1: no result at %2 MHz")
                                  .arg(project)
                                  .arg(published.mhz);
                    continue;
                }
                const auto check = [&](const std::optional<Figure>& figure, const char* key) {
                    if (figure && !figure->Meets((*row)[key].toDouble()))
                        misses << QString("project %1 at %2 MHz: %3 %4, published %5")
                                      .arg(project)
                                      .arg(published.mhz)
                                      .arg(key)
                                      .arg((*row)[key].toDouble())
                                      .arg(figure->value);
                };
                check(published.gain, "gain_dbi");
                check(published.frontToBack, "front_to_back_db");
                check(published.resistance, "r_ohm");
                check(published.reactance, "x_ohm");
            }
        }
        return misses;
    }

    void Sql(const QString& statement) {
        {
            QSqlDatabase db = OpenConnection("velkora.udl", "sql");
            QSqlQuery query(db);
            ASSERT_TRUE(query.exec(statement)) << statement.toStdString();
        }
        CloseConnection("sql");
    }
};

TEST_F(SolveTest, CorrectedTaperLandsEveryPublishedFigure) {
    const QStringList misses = Misses("corrected");
    EXPECT_TRUE(misses.isEmpty()) << misses.join("\n").toStdString();
}

TEST_F(SolveTest, ExactTaperMissesPublishedFigures) {
    EXPECT_FALSE(Misses("exact").isEmpty()) << "every tube its own wire should not land";
}

// The wire lines of an MMANA model as coordinates: line i is wire i + 1.
std::vector<std::vector<double>> MmanaWires(const QString& path) {
    const QStringList lines = QString::fromLatin1(ReadAll(path)).split("\r\n");
    const int start = static_cast<int>(lines.indexOf("***Wires***"));
    std::vector<std::vector<double>> wires;
    for (int i = 0; i < lines[start + 1].toInt(); ++i) {
        std::vector<double> wire;
        for (const QString& field : lines[start + 2 + i].split(",\t").mid(0, 6))
            wire.push_back(field.toDouble());
        wires.push_back(wire);
    }
    return wires;
}

TEST_F(SolveTest, TagsAndSourcesAreTheMmanaWireNumbers) {
    const QRegularExpression sourceWire("\\r\\nw(\\d+)c,\\t");
    for (int project = 1; project <= 7; ++project) {
        for (const QString taper : {"exact", "corrected"}) {
            SCOPED_TRACE(QString("project %1, %2").arg(project).arg(taper).toStdString());
            const QString id = QString::number(project);
            ASSERT_EQ(RunTool({"generate", "--target", "mmana", "--axis", "x", "--project", id,
                               "--output", "m.maa"})
                          .status,
                      kCliSuccess);
            ASSERT_EQ(RunTool({"generate", "--target", "nec", "--axis", "x", "--project", id,
                               "--taper", taper, "--output", "m.nec"})
                          .status,
                      kCliSuccess);
            const std::vector<std::vector<double>> mmana = MmanaWires("m.maa");
            const QString deck = QString::fromUtf8(ReadAll("m.nec"));
            int gw = 0;
            std::size_t centres = 0;
            for (const std::vector<double>& wire : mmana) centres += wire[1] == -wire[4];
            for (const QString& line : deck.split('\n')) {
                const QStringList f = line.split(' ');
                if (f[0] == "EX") {
                    EXPECT_EQ(f[2], sourceWire.match(ReadAll("m.maa")).captured(1))
                        << line.toStdString();
                }
                if (f[0] != "GW") continue;
                ++gw;
                const std::size_t tag = f[1].toUInt();
                ASSERT_TRUE(tag >= 1 && tag <= mmana.size()) << line.toStdString();
                const std::vector<double>& wire = mmana[tag - 1];
                EXPECT_NEAR(f[3].toDouble(), wire[0], 5e-4) << "boom position";
                EXPECT_NEAR(f[5].toDouble(), wire[2], 5e-4) << "height";
                if (taper == "exact")
                    EXPECT_NEAR(f[4].toDouble(), wire[1], 5e-4) << line.toStdString();
                else
                    EXPECT_EQ(wire[1], -wire[4]) << "not a centre wire: " << line.toStdString();
            }
            EXPECT_EQ(static_cast<std::size_t>(gw), taper == "exact" ? mmana.size() : centres);
        }
    }
}

TEST_F(SolveTest, WiresListsTheMmanaNumbersOfEveryElement) {
    const ToolRun run = RunTool({"wires", "--project", "2"});
    EXPECT_EQ(run.status, kCliSuccess) << run.err.toStdString();
    EXPECT_EQ(run.out,
              "3-el. Yagi 10 m DK7ZB (28 ohm)  (SOURCE_WIRE w4c)\n"
              "Reflector  wires 1-3    centre 1    (source w1c)\n"
              "Radiator   wires 4-6    centre 4    (source w4c)\n"
              "Director   wires 7-9    centre 7    (source w7c)\n");
}

TEST_F(SolveTest, TableForPeople) {
    const ToolRun run = RunTool({"solve", "--project", "2", "--z0", "28"});
    EXPECT_EQ(run.status, kCliSuccess) << run.err.toStdString();
    const QStringList lines = run.out.split('\n');
    ASSERT_EQ(lines.size(), 4) << run.out.toStdString();
    EXPECT_EQ(lines[0],
              "3-el. Yagi 10 m DK7ZB (28 ohm): taper corrected, ground free, source w4c, SWR "
              "against 28 ohm");
    EXPECT_EQ(lines[1], "       MHz  Gain dBi  F/B dB   R ohm   X ohm    SWR");
    EXPECT_TRUE(lines[2].startsWith("    28.500      7.")) << lines[2].toStdString();
}

TEST_F(SolveTest, FailuresSayWhatToDo) {
    Sql("UPDATE PROJECTS SET SOURCE_WIRE = 'w12c' WHERE ID = 1");
    ToolRun run = RunTool({"solve", "--project", "1"});
    EXPECT_EQ(run.status, kCliFailure);
    EXPECT_EQ(run.err,
              "velkora-cli: project 1: SOURCE_WIRE names wire 12, an outer piece of element "
              "\"Radiator\", which the corrected taper makes one wire: feed its centre wire w10c, "
              "or use --taper exact.\n");

    // nec2c stands in for itself: missing, then refusing the deck.
    const QByteArray path = qgetenv("PATH");
    ASSERT_TRUE(QDir().mkdir("bin"));
    qputenv("PATH", QDir("bin").absolutePath().toLocal8Bit());
    run = RunTool({"solve", "--project", "2"});
    EXPECT_EQ(run.status, kCliFailure);
    EXPECT_TRUE(run.err.contains("apt-get install nec2c")) << run.err.toStdString();
    WriteFile("bin/nec2c",
              "#!/bin/sh\nprintf '\\n  NO SEGMENT HAS AN ITAG OF 7\\n\\n' > \"$4\"\nexit 255\n");
    QFile::setPermissions("bin/nec2c", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    run = RunTool({"solve", "--project", "2"});
    EXPECT_EQ(run.status, kCliFailure);
    EXPECT_EQ(run.err, "velkora-cli: nec2c refused the deck: NO SEGMENT HAS AN ITAG OF 7.\n");
    WriteFile("bin/nec2c", "#!/bin/sh\nexec /bin/sleep 30\n");
    run = RunTool({"solve", "--project", "2", "--timeout", "0.2"});
    qputenv("PATH", path);
    EXPECT_EQ(run.status, kCliFailure);
    EXPECT_EQ(run.err, "velkora-cli: nec2c took longer than 0.2 s and was stopped.\n");

    const struct {
        QStringList args;
        const char* message;
    } kUsageErrors[] = {
        {{"--sweep", "28"}, "--sweep takes START:STOP:STEP"},
        {{"--sweep", "28:29"}, "--sweep takes START:STOP:STEP"},
        {{"--sweep", "29:28:0.5"}, "--sweep takes START:STOP:STEP"},
        {{"--sweep", "28:29:0"}, "--sweep takes START:STOP:STEP"},
        {{"--sweep", "a:b:c"}, "--sweep takes START:STOP:STEP"},
        {{"--sweep", "28:inf:0.5"}, "--sweep takes START:STOP:STEP"},
        {{"--sweep", "1:1e300:1e-300"}, "--sweep asks for countless frequencies; at most 10000"},
        {{"--sweep", "1:2:0.0001"}, "--sweep asks for 10001 frequencies; at most 10000"},
        {{"--z0", "nan"}, "--z0 takes an impedance in ohm above 0"},
        {{"--z0", "inf"}, "--z0 takes an impedance in ohm above 0"},
        {{"--timeout", "0"}, "--timeout takes the seconds nec2c may run above 0"},
        {{"--timeout", "inf"}, "--timeout takes the seconds nec2c may run above 0"},
        {{"--csv", "--json"}, "--json and --csv each choose the output"},
        {{"--pattern"}, "--pattern adds the cuts to the JSON"},
    };
    for (const auto& row : kUsageErrors) {
        run = RunTool(QStringList{"solve"} + row.args);
        EXPECT_EQ(run.status, kCliUsage) << row.message;
        EXPECT_TRUE(run.err.startsWith(QString("velkora-cli: ") + row.message))
            << run.err.toStdString();
    }
}

// The CSV has a column for every figure of the JSON, of the same name and
// value; a figure that does not apply, such as a take-off angle in free
// space, is null there and empty here. Over ground the elevation cut keeps
// to the sky, from horizon to horizon.
TEST_F(SolveTest, JsonAndCsvCarryTheSameFigures) {
    const struct {
        const char* ground;
        bool takeoff;
        qsizetype elevationPoints;
    } rows[] = {{"free", false, 360}, {"real", true, 181}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.ground);
        const QStringList args = {"solve", "--project", "2", "--ground", row.ground};
        ToolRun run = RunTool(args + QStringList{"--json", "--pattern"});
        ASSERT_EQ(run.status, kCliSuccess) << run.err.toStdString();
        QJsonObject json =
            QJsonDocument::fromJson(run.out.toUtf8()).object()["results"].toArray()[0].toObject();
        EXPECT_EQ(json.take("azimuth_cut").toArray().size(), 360);
        EXPECT_EQ(json.take("elevation_cut").toArray().size(), row.elevationPoints);
        const double takeoff = json.value("takeoff_deg").toDouble(-1);
        EXPECT_EQ(takeoff > 0 && takeoff < 90, row.takeoff) << takeoff;
        EXPECT_EQ(json.value("takeoff_deg").isNull(), !row.takeoff);

        run = RunTool(args + QStringList{"--csv"});
        ASSERT_EQ(run.status, kCliSuccess) << run.err.toStdString();
        const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 2) << run.out.toStdString();
        const QStringList names = lines[0].split(',');
        const QStringList values = lines[1].split(',');
        ASSERT_EQ(values.size(), names.size());
        QStringList sorted = names;
        sorted.sort();
        EXPECT_EQ(sorted, json.keys());
        for (qsizetype i = 0; i < names.size(); ++i)
            EXPECT_EQ(values[i], json.value(names[i]).isNull()
                                     ? QString()
                                     : QString::number(json.value(names[i]).toDouble(), 'g', 12))
                << names[i].toStdString();
    }
}

TEST_F(SolveTest, CheckExitsByWhatItFinds) {
    ToolRun run = RunTool({"check", "--project", "4"});
    EXPECT_EQ(run.status, kCliSuccess) << run.out.toStdString();
    EXPECT_EQ(run.out, "6-el. Yagi 20 m NW3Z (48 ft boom): no warnings\n");
    Sql("UPDATE ELEMENTS SET LEN = 9 WHERE NOME = 'Director' AND ID_PROJECT = 2");
    run = RunTool({"check", "--project", "2"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out.contains("LEN 9 m is longer than its schedule")) << run.out.toStdString();
    EXPECT_EQ(RunTool({"check", "--data-link", "missing.udl"}).status, 3);
}

}  // namespace
}  // namespace velkora
