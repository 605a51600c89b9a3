// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

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
}

}  // namespace
}  // namespace velkora
