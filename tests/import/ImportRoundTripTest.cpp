// SPDX-License-Identifier: GPL-3.0-or-later
// velkora-cli import on the sample designs' own models: every MMANA model
// comes back byte for byte, every NEC-2 deck solves as the design it came
// from, and a file that fails leaves nothing behind.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>
#include <QStandardPaths>
#include <cmath>

#include "Connection.h"
#include "StoreTestFiles.h"
#include "ToolRun.h"

namespace velkora::test {
namespace {

class ImportRoundTrip : public TemporaryWorkingDirectory {
  protected:
    void SetUp() override {
        TemporaryWorkingDirectory::SetUp();
        ASSERT_EQ(RunTool({"init", "--sample"}).status, kCliSuccess);
    }

    static QString Write(const QString& target, int project, const QStringList& extra = {}) {
        const QString path = QString("p%1.%2").arg(project).arg(target == "mmana" ? "maa" : "nec");
        const ToolRun run =
            RunTool(QStringList{"generate", "--target", target, "--axis", "x", "--project",
                                QString::number(project), "--output", path} +
                    extra);
        EXPECT_EQ(run.status, kCliSuccess) << run.err.toStdString();
        return path;
    }

    static int Import(const QString& path) {
        const ToolRun run = RunTool({"import", path, "--json"});
        EXPECT_EQ(run.status, kCliSuccess) << run.err.toStdString();
        return QJsonDocument::fromJson(run.out.toUtf8())["projects"][0].toInt();
    }

    static QJsonArray Solve(int project, const QString& taper) {
        const ToolRun run = RunTool({"solve", "--project", QString::number(project), "--taper",
                                     taper, "--json", "--sweep", "14:29:7.5"});
        EXPECT_EQ(run.status, kCliSuccess) << run.err.toStdString();
        return QJsonDocument::fromJson(run.out.toUtf8())["results"].toArray();
    }

    static int Count(const QString& table) {
        QSqlDatabase db = OpenConnection("velkora.udl", "count");
        int count = -1;
        {
            QSqlQuery query(db);
            if (query.exec("SELECT COUNT(*) FROM " + table) && query.next())
                count = query.value(0).toInt();
        }
        db = QSqlDatabase();
        CloseConnection("count");
        return count;
    }
};

TEST_F(ImportRoundTrip, EverySampleMmanaModelComesBackByteForByte) {
    for (int project = 1; project <= 7; ++project) {
        const std::string before = ReadBytes(Write("mmana", project));
        const std::string after =
            ReadBytes(Write("mmana", Import(QString("p%1.maa").arg(project))));
        EXPECT_EQ(after, before) << "project " << project;
    }
}

// The exact deck is every tube as a wire, the corrected one a uniform wire an
// element: imported, each solves (as it stands) as the project it came from.
TEST_F(ImportRoundTrip, EverySampleNecDeckSolvesAsItsProject) {
    if (QStandardPaths::findExecutable("nec2c").isEmpty()) GTEST_SKIP() << "no nec2c";
    for (const QString taper : {"exact", "corrected"}) {
        for (int project = 1; project <= 7; ++project) {
            const int imported = Import(Write("nec", project, {"--taper", taper}));
            const QJsonArray want = Solve(project, taper);
            const QJsonArray got = Solve(imported, "exact");
            ASSERT_EQ(got.size(), want.size());
            for (qsizetype i = 0; i < want.size(); ++i) {
                const auto off = [&](const char* key) {
                    return std::abs(got[i][key].toDouble() - want[i][key].toDouble());
                };
                EXPECT_LE(off("gain_dbi"), 0.1) << taper.toStdString() << " " << project;
                EXPECT_LE(off("r_ohm"), 2) << taper.toStdString() << " " << project;
                EXPECT_LE(off("x_ohm"), 2) << taper.toStdString() << " " << project;
            }
        }
    }
}

TEST_F(ImportRoundTrip, AFailingFileLeavesNothingAndTheOthersGoIn) {
    const QString good = Write("mmana", 7);
    WriteFile("bad.maa", "t\n*\n14.0\n***Wires***\n1\n0.0, -5.0, 0.0, 0.0, 5.0, 0.0, -1, -1\n");
    const int schedules = Count("TAPER");
    const ToolRun run = RunTool({"import", good, "bad.maa", good});
    EXPECT_EQ(run.status, kCliFailure);
    EXPECT_EQ(run.out, "p7.maa: project 8\np7.maa: project 9\n");
    EXPECT_TRUE(run.err.startsWith("velkora-cli: bad.maa:6: a negative radius"))
        << run.err.toStdString();
    EXPECT_EQ(Count("PROJECTS"), 9);
    // The first import made the schedule; the second found it identical.
    EXPECT_EQ(Count("TAPER"), schedules + 1);
}

}  // namespace
}  // namespace velkora::test
