// SPDX-License-Identifier: GPL-3.0-or-later
// velkora-cli against the PostgreSQL test server: init makes the tables there,
// copy moves the designs to the server and back, and every model comes out
// byte for byte as from the SQLite store.
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

class CliServerTest : public ProviderTest {
  protected:
    // init --provider postgresql on a new, empty server database.
    ToolRun InitOnServer(const QString& dir, const QStringList& extra = {}) {
        emptyDatabases_.push_back(std::make_unique<test::ServerDatabase>(*server_));
        return RunTool(QStringList{"init", "--provider", "postgresql", "--server",
                                   server_->DataSource(), "--database",
                                   emptyDatabases_.back()->Name(), "--user", server_->user, dir} +
                       extra);
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

    std::vector<std::unique_ptr<test::ServerDatabase>> emptyDatabases_;
};
INSTANTIATE_TEST_SUITE_P(Server, CliServerTest, ::testing::Values(test::TestProvider::PostgreSQL),
                         ProviderTestName);

TEST_P(CliServerTest, InitWritesALinkWithoutPasswordAndMakesTheTablesOnce) {
    const ToolRun run = InitOnServer("club", {"--sample"});
    ASSERT_EQ(run.status, kCliSuccess) << run.err.toStdString();
    const QString name = emptyDatabases_.back()->Name();
    EXPECT_EQ(ReadBytes("club/velkora.udl"),
              "[oledb]\n; Everything after this line is an OLE DB initstring\n"
              "Provider=PostgreSQL;Data Source=" +
                  server_->DataSource().toStdString() + ";Initial Catalog=" + name.toStdString() +
                  ";User ID=" + server_->user.toStdString() + "\n");
    const ToolRun listed = RunTool({"projects", "--data-link", "club/velkora.udl"});
    EXPECT_EQ(listed.out, kSampleProjects);

    // The same database again: refused, and no data-link file left behind.
    const ToolRun again =
        RunTool({"init", "--provider", "postgresql", "--server", server_->DataSource(),
                 "--database", name, "--user", server_->user, "again/deeper"});
    EXPECT_EQ(again.status, kCliFailure);
    EXPECT_NE(again.err.indexOf("holds tables of a store already"), -1) << again.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists("again")) << "nor the folders it made";
    EXPECT_EQ(RunTool({"init", "--server", "x", "--database", "y"}).status, kCliUsage);
}

TEST_P(CliServerTest, SampleToServerAndBackKeepsRowsAndModelBytes) {
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
    ASSERT_EQ(InitOnServer("server").status, kCliSuccess);
    const ToolRun there = RunTool({"copy", "--from", "velkora.udl", "--to", "server/velkora.udl"});
    ASSERT_EQ(there.status, kCliSuccess) << there.err.toStdString();
    EXPECT_EQ(
        there.out,
        "Copied 7 projects with 28 elements and 10 schedules with 43 sections from velkora.udl "
        "to server/velkora.udl\n");
    CreateDatabaseFile("back.db");
    WriteFile("back.udl", "Provider=SQLite;Data Source=back.db");
    const ToolRun back = RunTool({"copy", "--from", "server/velkora.udl", "--to", "back.udl"});
    ASSERT_EQ(back.status, kCliSuccess) << back.err.toStdString();

    const QStringList original = Content("velkora.udl");
    EXPECT_EQ(original.size(), 7 + 28 + 43);
    EXPECT_EQ(Content("server/velkora.udl"), original);
    EXPECT_EQ(Content("back.udl"), original);

    for (const char* target : {"mmana", "eznec"})
        for (const char* axis : {"x", "y"})
            for (const auto& [decimal, thousands] : {std::pair{".", ","}, std::pair{",", "."}})
                for (const char* project : {"1", "2", "5"}) {
                    const QStringList args{"generate", "--target",
                                           target,     "--axis",
                                           axis,       "--project",
                                           project,    "--decimal-separator",
                                           decimal,    "--thousands-separator",
                                           thousands,  "--output"};
                    SCOPED_TRACE(args.join(' ').toStdString());
                    ASSERT_EQ(RunTool(args + QStringList{"sqlite.out"}).status, kCliSuccess);
                    const ToolRun server = RunTool(
                        args + QStringList{"server.out", "--data-link", "server/velkora.udl"});
                    ASSERT_EQ(server.status, kCliSuccess) << server.err.toStdString();
                    ASSERT_EQ(
                        RunTool(args + QStringList{"back.out", "--data-link", "back.udl"}).status,
                        kCliSuccess);
                    EXPECT_EQ(ReadBytes("server.out"), ReadBytes("sqlite.out"));
                    EXPECT_EQ(ReadBytes("back.out"), ReadBytes("sqlite.out"));
                }
}

}  // namespace
}  // namespace velkora
