// SPDX-License-Identifier: GPL-3.0-or-later
// velkora-cli optimize on the sample store: what it refuses, and one real
// search with nec2c.
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>
#include <QStandardPaths>

#include "CliSupport.h"
#include "GenerationQueries.h"
#include "StoreTestFiles.h"
#include "ToolRun.h"

namespace velkora {
namespace {

using test::RunTool;
using test::ToolRun;

class OptimizeCliTest : public TemporaryWorkingDirectory {
  protected:
    void SetUp() override {
        TemporaryWorkingDirectory::SetUp();
        ASSERT_EQ(RunTool({"init", "--sample"}).status, kCliSuccess);
    }
    void Sql(const QString& statement) {
        {
            QSqlDatabase db = OpenConnection("velkora.udl", "sql");
            QSqlQuery query(db);
            ASSERT_TRUE(query.exec(statement)) << statement.toStdString();
        }
        CloseConnection("sql");
    }
    QString Projects() { return RunTool({"projects"}).out; }
};

struct BadInput {
    const char* name;
    QStringList args;
    const char* setup;  // SQL run first, or nullptr
    int status;
    const char* says;
};

TEST_F(OptimizeCliTest, BadInputSaysWhatIsWrongAndWritesNothing) {
    const BadInput cases[] = {
        {"NoProject", {}, nullptr, kCliUsage, "optimize needs --project"},
        {"UnknownGoal",
         {"--project", "2", "--goal", "gain=1,loud=2"},
         nullptr,
         kCliUsage,
         "--goal: \"loud=2\" is not NAME=WEIGHT with NAME one of gain, fb, fr, swr, x"},
        {"WeightNotANumber",
         {"--project", "2", "--goal", "fb=much"},
         nullptr,
         kCliUsage,
         "the weight of fb must be a number of at least 0, not \"much\""},
        {"WeightNegative",
         {"--project", "2", "--goal", "gain=-1"},
         nullptr,
         kCliUsage,
         "of at least 0"},
        {"WeightInfinite",
         {"--project", "2", "--goal", "gain=inf"},
         nullptr,
         kCliUsage,
         "of at least 0"},
        {"AllWeightsZero",
         {"--project", "2", "--goal", "gain=0,fb=0"},
         nullptr,
         kCliUsage,
         "every goal a weight of 0"},
        {"RangeZero",
         {"--project", "2", "--range", "0"},
         nullptr,
         kCliUsage,
         "above 0 and at most 50"},
        {"RangeTooWide",
         {"--project", "2", "--range", "60"},
         nullptr,
         kCliUsage,
         "above 0 and at most 50"},
        {"BandBackwards",
         {"--project", "2", "--band", "14.35:14:0.05"},
         nullptr,
         kCliUsage,
         "--band takes START:STOP:STEP"},
        {"BandTooFine",
         {"--project", "2", "--band", "14:14.35:0.00001"},
         nullptr,
         kCliUsage,
         "--band asks for 35001 frequencies; at most 10000"},
        {"MaxSwrBelowOne",
         {"--project", "2", "--max-swr", "0.5"},
         nullptr,
         kCliUsage,
         "an SWR of at least 1"},
        {"VaryUnknown",
         {"--project", "2", "--vary", "lengths,spacing"},
         nullptr,
         kCliUsage,
         "--vary takes"},
        {"RunsZero",
         {"--project", "2", "--runs", "0"},
         nullptr,
         kCliUsage,
         "--runs takes a whole number"},
        {"RefusedByTheModel",
         {"--project", "2"},
         "UPDATE PROJECTS SET SOURCE_WIRE = 'w5c' WHERE ID = 2",
         kCliFailure,
         "an outer piece of element"},
        {"OneElement",
         {"--project", "2"},
         "DELETE FROM ELEMENTS WHERE ID_PROJECT = 2 AND NOME <> 'Radiator'",
         kCliFailure,
         "project 2 has 1 element(s); optimizing needs at least two"},
    };
    for (const BadInput& c : cases) {
        if (c.setup) Sql(c.setup);
        const ToolRun run = RunTool(QStringList{"optimize"} + c.args);
        EXPECT_EQ(run.status, c.status) << c.name;
        EXPECT_TRUE(run.err.contains(c.says)) << c.name << ": " << run.err.toStdString();
        EXPECT_FALSE(Projects().contains("(optimized)")) << c.name;
    }
}

TEST_F(OptimizeCliTest, WithoutNec2cSaysHowToInstallIt) {
    const QByteArray path = qgetenv("PATH");
    ASSERT_TRUE(QDir().mkdir("bin"));
    qputenv("PATH", QDir("bin").absolutePath().toLocal8Bit());
    const ToolRun run = RunTool({"optimize", "--project", "2", "--runs", "5"});
    qputenv("PATH", path);
    EXPECT_EQ(run.status, kCliFailure);
    EXPECT_TRUE(run.err.contains("apt-get install nec2c")) << run.err.toStdString();
    EXPECT_EQ(Projects(), test::kSampleProjects);
}

TEST_F(OptimizeCliTest, StoresTheBestDesignAsANewProjectOnTheSameSchedules) {
    if (QStandardPaths::findExecutable("nec2c").isEmpty()) GTEST_SKIP() << "nec2c is missing";
    const QString source = RunTool({"wires", "--project", "2"}).out;
    const ToolRun run = RunTool({"optimize", "--project", "2", "--runs", "12", "--json"});
    ASSERT_EQ(run.status, kCliSuccess) << run.err.toStdString();
    const QJsonObject json = QJsonDocument::fromJson(run.out.toUtf8()).object();
    EXPECT_EQ(json["project"].toInt(), 8);
    EXPECT_EQ(json["runs"].toInt(), 12);
    EXPECT_GE(json["after"]["score"].toDouble(), json["before"]["score"].toDouble());
    EXPECT_TRUE(json["after"]["results"][0].toObject().contains("front_to_back_db"));
    EXPECT_TRUE(Projects().endsWith(" 8  3-el. Yagi 10 m DK7ZB (28 ohm) (optimized)  3\n"))
        << Projects().toStdString();
    EXPECT_EQ(RunTool({"wires", "--project", "2"}).out, source);
    Sql("SELECT 1");
    QSqlDatabase db = OpenConnection("velkora.udl", "check");
    QSqlQuery schedules(db);
    ASSERT_TRUE(
        schedules.exec("SELECT COUNT(DISTINCT ID_TAPER), COUNT(*) FROM ELEMENTS"
                       " WHERE ID_PROJECT IN (2, 8)"));
    ASSERT_TRUE(schedules.next());
    EXPECT_EQ(schedules.value(0).toInt(), 1);
    EXPECT_EQ(schedules.value(1).toInt(), 6);
    db = QSqlDatabase();
    CloseConnection("check");
}

TEST_F(OptimizeCliTest, ASignalStopsTheSearchAndKeepsTheBestSoFar) {
    const QString nec2c = QStandardPaths::findExecutable("nec2c");
    if (nec2c.isEmpty()) GTEST_SKIP() << "nec2c is missing";
    // nec2c as itself, but its fifth run first asks this process to end.
    ASSERT_TRUE(QDir().mkdir("bin"));
    WriteFile("bin/nec2c",
              "#!/bin/sh\nn=$(($(cat count 2>/dev/null || echo 0) + 1))\n"
              "echo $n > count\n[ $n -eq 5 ] && kill -TERM $PPID\nexec " +
                  nec2c.toUtf8() + " \"$@\"\n");
    QFile::setPermissions("bin/nec2c", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QDir("bin").absolutePath().toLocal8Bit() + ":" + path);
    const ToolRun run = RunTool({"optimize", "--project", "2", "--runs", "100"});
    qputenv("PATH", path);
    ASSERT_EQ(run.status, kCliSuccess) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith("Stopped by SIGTERM after ")) << run.out.toStdString();
    EXPECT_TRUE(Projects().contains(" 8  3-el. Yagi 10 m DK7ZB (28 ohm) (optimized)  3\n"));
}

}  // namespace
}  // namespace velkora
