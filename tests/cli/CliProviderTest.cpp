// SPDX-License-Identifier: GPL-3.0-or-later
// velkora-cli on a store of each provider: init makes the store once, copy
// moves the designs there and back, and every model comes out byte for byte
// as from the SQLite store the designs came from.
#include <QSqlQuery>
#include <QSqlRecord>

#include "Connection.h"
#include "StoreTestFiles.h"
#include "ToolRun.h"

namespace velkora {
namespace {

using test::kSampleProjects;
using test::ReadBytes;
using test::RunTool;
using test::ToolRun;

class CliProviderTest : public ProviderTest {
  protected:
    // The options that make init use a new, empty database on the test server.
    QStringList NewServerDatabase() {
        serverDatabases_.push_back(std::make_unique<test::ServerDatabase>(*server_));
        return ServerOptions();
    }
    // The options naming the last database made on the test server.
    QStringList ServerOptions() const {
        return {"--provider", "postgresql",
                "--server",   server_->DataSource(),
                "--database", serverDatabases_.back()->Name(),
                "--user",     server_->user};
    }
    // init in dir, or in the working directory when dir is empty.
    static QStringList InitIn(const QString& dir) {
        return dir.isEmpty() ? QStringList{"init"} : QStringList{"init", dir};
    }
    // init of a new store of the provider.
    ToolRun Init(const QString& dir, const QStringList& extra = {}) {
        const QStringList provider = OnServer() ? NewServerDatabase() : QStringList{};
        return RunTool(InitIn(dir) + provider + extra);
    }
    // How init names the store it made in dir.
    QString MadeStore(const QString& dir) const {
        if (!OnServer()) return QDir::cleanPath(dir + "/velkora.db");
        return "the tables in the database " + serverDatabases_.back()->Name() +
               " on the PostgreSQL server " + server_->DataSource();
    }
    // The connection line of a data-link file naming the store made last; a
    // file store is named by its path from the data-link file's folder.
    QByteArray LinkLine(const QByteArray& path = "velkora.db") const {
        return OnServer() ? serverDatabases_.back()->LinkLine()
                          : "Provider=SQLite;Data Source=" + path;
    }

    // Every row of the four tables with the keys replaced by what they name,
    // in the store's order.
    static QStringList Content(const QString& link) {
        QStringList rows;
        {
            const QSqlDatabase db = OpenConnection(link, "content", StoreAccess::ReadOnly);
            QSqlQuery query(db);
            for (const char* sql :
                 {"SELECT NOME, F0, SOURCE_WIRE, HEIGHT FROM PROJECTS ORDER BY ID",
                  "SELECT P.NOME, E.NOME, E.TYPE, E.LEN, T.NOME, E.DISTANCE, E.HEIGHT"
                  " FROM ELEMENTS E JOIN PROJECTS P ON P.ID = E.ID_PROJECT"
                  " LEFT JOIN TAPER T ON T.ID = E.ID_TAPER ORDER BY P.ID, E.ID",
                  "SELECT T.NOME, T.UM, S.\"ORDER\", S.DIAMETER, S.LENGTH FROM TAPER_SIZES S"
                  " JOIN TAPER T ON T.ID = S.ID_TAPER ORDER BY T.ID, S.\"ORDER\", S.DIAMETER"}) {
                EXPECT_TRUE(query.exec(QuotedNames(sql))) << query.lastError().text().toStdString();
                while (query.next()) {
                    QStringList values;
                    for (int i = 0; i < query.record().count(); ++i)
                        values << (query.isNull(i) ? "NULL" : query.value(i).toString());
                    rows << values.join(" | ");
                }
            }
        }
        CloseConnection("content");
        return rows;
    }

    std::vector<std::unique_ptr<test::ServerDatabase>> serverDatabases_;
};
VELKORA_FOR_EACH_PROVIDER(CliProviderTest);

// The store opens from its own folder, its data-link file holds no password,
// and a second init on the same store is refused without leaving anything.
TEST_P(CliProviderTest, InitMakesAStoreOnceAndItOpens) {
    const struct {
        const char* name;
        QString dir;
        QStringList options;
        QString listed;
    } rows[] = {
        {"empty, here", "", {}, "The store has no projects\n"},
        {"sample, in new folders", "new/store", {"--sample"}, kSampleProjects},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ToolRun run = Init(row.dir, row.options);
        ASSERT_EQ(run.status, kCliSuccess) << run.err.toStdString();
        const QString folder = row.dir.isEmpty() ? "." : row.dir;
        const QString link = QDir::cleanPath(folder + "/velkora.udl");
        EXPECT_EQ(run.out, "Made " + link + " and " + MadeStore(folder) +
                               (row.options.isEmpty() ? "" : " with the sample designs") + "\n");
        EXPECT_EQ(ReadBytes(link),
                  "[oledb]\n; Everything after this line is an OLE DB initstring\n" +
                      LinkLine().toStdString() + "\n");
        ASSERT_TRUE(QDir::setCurrent(folder));
        const ToolRun listed = RunTool({"projects"});
        ASSERT_TRUE(QDir::setCurrent(dir_.path()));
        EXPECT_EQ(listed.status, kCliSuccess) << listed.err.toStdString();
        EXPECT_EQ(listed.out, row.listed);

        // A file store is found again by its folder, a server store by its
        // database, which init may name from any folder.
        const QStringList same =
            OnServer() ? QStringList{"init", "again/deeper"} + ServerOptions() : InitIn(row.dir);
        const ToolRun again = RunTool(same);
        EXPECT_EQ(again.status, kCliFailure);
        EXPECT_TRUE(
            again.err.contains(OnServer() ? "holds tables of a store already" : "exists already"))
            << again.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists("again")) << "nor the folders it made";
    }
}

// The designs keep every row and value on the way there and back, and give
// the same model files; a copy into the store it reads from, however the
// target file names it, would double every design and is refused.
TEST_P(CliProviderTest, CopyThereAndBackKeepsRowsAndModelBytes) {
    ASSERT_EQ(RunTool({"init", "--sample"}).status, kCliSuccess);
    {
        // Values that need every digit, grouping marks and a non-ASCII name.
        QSqlDatabase db = OpenConnection("velkora.udl", "edit");
        QSqlQuery query(db);
        ASSERT_TRUE(query.exec(
            "INSERT INTO ELEMENTS (ID_PROJECT, NOME, TYPE, LEN, ID_TAPER, DISTANCE, HEIGHT)"
            " VALUES (2, 'Direttore \xC3\xA0', 'Element', 0.30000000000000004, 1, 1234.5678,"
            " 15.000000000000002)"));
    }
    CloseConnection("edit");
    ASSERT_EQ(Init("there").status, kCliSuccess);
    const ToolRun there = RunTool({"copy", "--from", "velkora.udl", "--to", "there/velkora.udl"});
    ASSERT_EQ(there.status, kCliSuccess) << there.err.toStdString();
    EXPECT_EQ(
        there.out,
        "Copied 7 projects with 28 elements and 10 schedules with 43 sections from velkora.udl "
        "to there/velkora.udl\n");
    CreateDatabaseFile("back.db");
    WriteFile("back.udl", "Provider=SQLite;Data Source=back.db");
    const ToolRun back = RunTool({"copy", "--from", "there/velkora.udl", "--to", "back.udl"});
    ASSERT_EQ(back.status, kCliSuccess) << back.err.toStdString();

    const QStringList original = Content("velkora.udl");
    EXPECT_EQ(original.size(), 7 + 28 + 43);
    EXPECT_EQ(Content("there/velkora.udl"), original);
    EXPECT_EQ(Content("back.udl"), original);

    ASSERT_TRUE(QDir().mkdir("other"));
    WriteFile("other/same.udl", LinkLine("../there/velkora.db"));
    for (const char* target : {"there/velkora.udl", "other/same.udl"}) {
        SCOPED_TRACE(target);
        const ToolRun run = RunTool({"copy", "--from", "there/velkora.udl", "--to", target});
        EXPECT_EQ(run.status, kCliFailure);
        EXPECT_TRUE(run.err.contains("is the source store itself")) << run.err.toStdString();
    }
    EXPECT_EQ(Content("there/velkora.udl"), original) << "nothing was copied";

    const QString each =
        "generate --target %1 --axis %2 --project %3"
        " --decimal-separator %4 --thousands-separator %5";
    for (const QString target : {"mmana", "eznec", "nec"})
        for (const QString axis : {"x", "y"})
            for (const auto& [decimal, thousands] :
                 {std::pair<QString, QString>{".", ","}, std::pair<QString, QString>{",", "."}})
                for (const QString project : {"1", "2", "5"}) {
                    const QStringList args =
                        each.arg(target, axis, project, decimal, thousands).split(' ');
                    SCOPED_TRACE(args.join(' ').toStdString());
                    for (const auto& [output, link] : {std::pair{"here.out", "velkora.udl"},
                                                       std::pair{"there.out", "there/velkora.udl"},
                                                       std::pair{"back.out", "back.udl"}}) {
                        const ToolRun run =
                            RunTool(args + QStringList{"--output", output, "--data-link", link});
                        ASSERT_EQ(run.status, kCliSuccess) << run.err.toStdString();
                    }
                    EXPECT_EQ(ReadBytes("there.out"), ReadBytes("here.out"));
                    EXPECT_EQ(ReadBytes("back.out"), ReadBytes("here.out"));
                }
}

}  // namespace
}  // namespace velkora
