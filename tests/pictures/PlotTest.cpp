// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QDir>
#include <QSvgRenderer>

#include "GuiApplication.h"
#include "StoreTestFiles.h"
#include "ToolRun.h"

namespace velkora {
namespace {

using test::ReadBytes;
using test::RunTool;
using test::ToolRun;

class PlotTest : public TemporaryWorkingDirectory {
  protected:
    void SetUp() override {
        TemporaryWorkingDirectory::SetUp();
        test::EnsureGuiApplication();
        ASSERT_EQ(RunTool({"init", "--sample"}).status, kCliSuccess);
    }
};

TEST_F(PlotTest, RefusesAWrongKindOrFileType) {
    const struct {
        const char* name;
        QStringList args;
        const char* message;
    } rows[] = {
        {"unknown_kind",
         {"--kind", "polar", "--output", "a.svg"},
         "--kind is azimuth|elevation|swr|smith|geometry, not \"polar\""},
        {"unknown_format",
         {"--kind", "geometry", "--output", "a.pdf"},
         "--output names a .svg or .png file, not \"a.pdf\""},
        {"no_output", {"--kind", "geometry"}, "--output"},
    };
    for (const auto& row : rows) {
        const ToolRun run = RunTool(QStringList{"plot"} + row.args);
        EXPECT_EQ(run.status, kCliUsage) << row.name;
        EXPECT_TRUE(run.err.contains(row.message)) << row.name << ": " << run.err.toStdString();
    }
}

TEST_F(PlotTest, DrawsTheGeometryOfEverySampleAsSvgAndPng) {
    for (int project = 1; project <= 7; ++project)
        for (const QString& name :
             {QString("g%1.svg").arg(project), QString("g%1.png").arg(project)}) {
            const ToolRun run = RunTool({"plot", "--project", QString::number(project), "--kind",
                                         "geometry", "--output", name});
            ASSERT_EQ(run.status, kCliSuccess) << name.toStdString() << run.err.toStdString();
            const std::string bytes = ReadBytes(name);
            if (name.endsWith(".png"))
                EXPECT_EQ(bytes.substr(1, 3), "PNG");
            else
                EXPECT_TRUE(QSvgRenderer(QByteArray::fromStdString(bytes)).isValid());
        }
}

TEST_F(PlotTest, AProjectThatCannotBeDrawnFailsWithTheReasonAndKeepsTheOldFile) {
    WriteFile("old.svg", "old");
    ASSERT_EQ(RunTool({"plot", "--project", "1", "--kind", "geometry", "--output", "old.svg",
                       "--data-link", "none.udl"})
                  .status,
              kCliFailure);
    {
        QSqlDatabase db = OpenConnection("velkora.udl", "empty");
        QSqlQuery query(db);
        ASSERT_TRUE(query.exec("DELETE FROM ELEMENTS WHERE ID_PROJECT = 2"));
    }
    CloseConnection("empty");
    const ToolRun run =
        RunTool({"plot", "--project", "2", "--kind", "geometry", "--output", "old.svg"});
    EXPECT_EQ(run.status, kCliFailure);
    EXPECT_TRUE(run.err.contains("no elements")) << run.err.toStdString();
    EXPECT_EQ(ReadBytes("old.svg"), "old");
    // The report is still written, with the reason in the project's place.
    EXPECT_EQ(RunTool({"report", "--project", "2", "--output", "two.html"}).status, kCliFailure);
    EXPECT_TRUE(QString::fromStdString(ReadBytes("two.html")).contains("no elements"));
}

// Without nec2c the kinds that need it fail with the way to install it and
// write nothing; the geometry is still drawn.
TEST_F(PlotTest, WithoutNec2cOnlyTheGeometryIsDrawn) {
    const QByteArray path = qgetenv("PATH");
    QDir().mkdir("bin");
    qputenv("PATH", QDir("bin").absolutePath().toLocal8Bit());
    const ToolRun swr = RunTool({"plot", "--kind", "swr", "--output", "swr.svg"});
    const ToolRun report = RunTool({"report", "--output", "all.html"});
    const ToolRun geometry = RunTool({"plot", "--kind", "geometry", "--output", "g.svg"});
    qputenv("PATH", path);
    for (const ToolRun& run : {swr, report}) {
        EXPECT_EQ(run.status, kCliFailure);
        EXPECT_TRUE(run.err.contains("apt-get install nec2c")) << run.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists("swr.svg"));
    EXPECT_FALSE(QFile::exists("all.html"));
    EXPECT_EQ(geometry.status, kCliSuccess) << geometry.err.toStdString();
}

// One run of nec2c feeds every kind; the report holds them all.
TEST_F(PlotTest, DrawsEveryKindFromTheSolverAndReportsTheProject) {
    for (const char* kind : {"azimuth", "elevation", "swr", "smith"}) {
        const QString name = QString(kind) + ".svg";
        const ToolRun run = RunTool({"plot", "--project", "6", "--kind", kind, "--ground", "real",
                                     "--sweep", "28.3:28.5:0.1", "--output", name});
        ASSERT_EQ(run.status, kCliSuccess) << kind << run.err.toStdString();
        EXPECT_TRUE(QSvgRenderer(QByteArray::fromStdString(ReadBytes(name))).isValid()) << kind;
    }
    const ToolRun run = RunTool({"report", "--project", "6", "--output", "one.html"});
    ASSERT_EQ(run.status, kCliSuccess) << run.err.toStdString();
    const QString html = QString::fromStdString(ReadBytes("one.html"));
    EXPECT_EQ(html.count("<svg"), 5);
    EXPECT_EQ(html.count("<section"), 1);
    EXPECT_FALSE(html.contains("class=\"problem\""));
}

}  // namespace
}  // namespace velkora
