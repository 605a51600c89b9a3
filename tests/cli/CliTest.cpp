// SPDX-License-Identifier: GPL-3.0-or-later
#include <unistd.h>

#include <QProcess>
#include <QSqlQuery>
#include <fstream>
#include <sstream>

#include "CliSupport.h"
#include "Connection.h"
#include "GenerationQueries.h"
#include "ModelWriters.h"
#include "StoreTestFiles.h"
#include "ToolRun.h"

namespace velkora {
namespace {

using test::ReadBytes;
using test::RunTool;
using test::ToolRun;

class CliTest : public TemporaryWorkingDirectory {
  protected:
    // The model the writers make of a project when called directly.
    std::string DirectModel(bool mmana, qint64 id, MainLobeAxis axis, const RegionalMarks& marks) {
        std::string text;
        {
            const QSqlDatabase db = OpenConnection("velkora.udl", "direct");
            const ProjectRow project = ReadProjectRow(db, id).value();
            SqlModelSource source(db);
            const ModelJob job{project, source, axis, marks};
            text = mmana ? MmanaModelText(job) : EzNecModelText(job);
        }
        CloseConnection("direct");
        return text;
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

// Qt's own notes (here every debug category switched on) stay off the terminal.
TEST_F(CliTest, QtsOwnMessagesNeverReachTheTerminal) {
    ASSERT_EQ(RunTool({"init", "--sample"}).status, kCliSuccess);
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_LOGGING_RULES", "*=true");
    tool.setProcessEnvironment(environment);
    tool.start(VELKORA_CLI, {"projects"});
    ASSERT_TRUE(tool.waitForFinished());
    EXPECT_EQ(tool.exitCode(), kCliSuccess);
    EXPECT_EQ(QString::fromUtf8(tool.readAllStandardError()), "");
}

TEST_F(CliTest, InitRefusesToTouchAnExistingStore) {
    for (const QString existing : {"velkora.udl", "velkora.db"}) {
        SCOPED_TRACE(existing.toStdString());
        QFile::remove("velkora.udl");
        QFile::remove("velkora.db");
        WriteFile(existing, "the user's own");
        const ToolRun run = RunTool({"init", "--sample"});
        EXPECT_EQ(run.status, kCliFailure);
        EXPECT_EQ(run.err, "velkora-cli: " + existing +
                               " exists already; init leaves an existing store as it is.\n");
        EXPECT_EQ(ReadBytes(existing), "the user's own");
        EXPECT_EQ(QDir().entryList(QDir::Files), QStringList{existing})
            << "init made a file after all";
    }
}

TEST_F(CliTest, SampleModelsFeedTheDrivenElementsCentreWire) {
    ASSERT_EQ(RunTool({"init", "--sample"}).status, kCliSuccess);
    ASSERT_EQ(
        RunTool({"generate", "--target", "mmana", "--axis", "x", "--output", "20m.maa"}).status,
        kCliSuccess);
    const std::string model = ReadBytes("20m.maa");
    EXPECT_EQ(
        model.rfind("2-el. Yagi 20 m DK7ZB (28 ohm)\r\n*\r\n14.150\r\n***Wires***\r\n18\r\n", 0),
        0u)
        << model;
    // The 10th wire is the radiator's centre wire, which the source names.
    std::istringstream lines(model);
    std::string line;
    for (int i = 0; i < 15; ++i) std::getline(lines, line);
    EXPECT_EQ(line, "2.3,\t0.5,\t15.0,\t2.3,\t-0.5,\t15.0,\t0.0175,\t-1\r");
    EXPECT_NE(model.find("\r\nw10c,\t0.0,\t1.0\r\n"), std::string::npos);
}

TEST_F(CliTest, GenerateWritesWhatTheWritersWrite) {
    ASSERT_EQ(RunTool({"init", "--sample"}).status, kCliSuccess);
    Sql("INSERT INTO ELEMENTS (ID_PROJECT, NOME, TYPE, LEN, ID_TAPER, DISTANCE, HEIGHT)"
        " VALUES (2, 'Far', 'Element', 2.0, 2, 1234.5, 15)");
    const RegionalMarks plain;
    const RegionalMarks comma{",", ".", "/"};
    const RegionalMarks ungrouped{",", "", "/"};
    struct Case {
        const char* name;
        QStringList args;
        bool mmana;
        qint64 project;
        MainLobeAxis axis;
        RegionalMarks marks;
    };
    const Case cases[] = {
        {"mmana x, first project",
         {"--target", "mmana", "--axis", "x"},
         true,
         1,
         MainLobeAxis::X,
         plain},
        {"mmana y, comma locale",
         {"--target=MMANA", "--axis=Y", "--project=2", "--decimal-separator", ",",
          "--thousands-separator", "."},
         true,
         2,
         MainLobeAxis::Y,
         comma},
        {"eznec x",
         {"--target", "eznec", "--axis", "x", "--project", "2", "--decimal-separator", "."},
         false,
         2,
         MainLobeAxis::X,
         plain},
        {"eznec y, no grouping",
         {"--target", "eznec", "--axis", "y", "--project", "2", "--decimal-separator", ",",
          "--thousands-separator", ""},
         false,
         2,
         MainLobeAxis::Y,
         ungrouped},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QStringList args = QStringList{"generate", "--output", "model.out"} + c.args;
        if (!c.args.join(' ').contains("--decimal-separator"))
            args << "--decimal-separator"
                 << ".";
        if (!c.args.join(' ').contains("--thousands-separator"))
            args << "--thousands-separator"
                 << ",";
        const ToolRun run = RunTool(args);
        EXPECT_EQ(run.status, kCliSuccess) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(run.err.isEmpty());
        EXPECT_EQ(ReadBytes("model.out"), DirectModel(c.mmana, c.project, c.axis, c.marks));
    }
    EXPECT_NE(ReadBytes("model.out").find(" 1234,5 15 "), std::string::npos)
        << "an empty separator groups nothing";
}

// Reading verbs leave the store byte for byte as they found it, and a model
// is never written over one of the store's files.
TEST_F(CliTest, TheStoreStaysAsItWas) {
    ASSERT_EQ(RunTool({"init", "--sample"}).status, kCliSuccess);
    Sql("PRAGMA journal_mode = DELETE");  // kept with the rollback journal
    const std::string db = ReadBytes("velkora.db");
    const std::string link = ReadBytes("velkora.udl");
    const QStringList generate{"generate", "--target", "eznec", "--axis", "x", "--output"};
    EXPECT_EQ(RunTool({"projects"}).status, kCliSuccess);
    EXPECT_EQ(RunTool(generate + QStringList{"model.txt"}).status, kCliSuccess);
    for (const QString output : {"velkora.db", "velkora.udl", "./velkora.db-journal"}) {
        SCOPED_TRACE(output.toStdString());
        const ToolRun run = RunTool(generate + QStringList{output});
        EXPECT_EQ(run.status, kCliFailure);
        EXPECT_TRUE(run.err.startsWith("velkora-cli: The model file " + output +
                                       " would replace the store's"))
            << run.err.toStdString();
    }
    EXPECT_EQ(ReadBytes("velkora.db"), db);
    EXPECT_EQ(ReadBytes("velkora.udl"), link);
    EXPECT_EQ(QDir().entryList(QDir::Files),
              QStringList({"model.txt", "velkora.db", "velkora.udl"}));
}

TEST_F(CliTest, LocaleGroupingMarkYieldsToAnEqualDecimalSeparator) {
    ASSERT_EQ(RunTool({"init", "--sample"}).status, kCliSuccess);
    Sql("INSERT INTO ELEMENTS (ID_PROJECT, NOME, TYPE, LEN, ID_TAPER, DISTANCE, HEIGHT)"
        " VALUES (2, 'Far', 'Element', 2.0, 2, 1234.5, 15)");
    const QByteArray saved = qgetenv("LC_ALL");
    qputenv("LC_ALL", "C");  // "," groups thousands
    const ToolRun run = RunTool({"generate", "--target", "eznec", "--axis", "x", "--project", "2",
                                 "--output", "model.out", "--decimal-separator", ","});
    saved.isNull() ? qunsetenv("LC_ALL") : qputenv("LC_ALL", saved);
    EXPECT_EQ(run.status, kCliSuccess) << run.err.toStdString();
    EXPECT_NE(ReadBytes("model.out").find("\r\n1234,5 1 15 1234,5 -1 15 16 "), std::string::npos)
        << ReadBytes("model.out");
}

TEST_F(CliTest, OutputNameOfBytesThatAreNotUtf8IsUsedAsGiven) {
    ASSERT_EQ(RunTool({"init", "--sample"}).status, kCliSuccess);
    const char* argv[] = {"velkora-cli", "generate", "--target", "mmana",     "--axis",
                          "x",           "--output", "caf\xE9",  "--project", "1"};
    const QStringList args = ArgumentsOf(std::size(argv), const_cast<char**>(argv));
    EXPECT_EQ(PathBytes(args[6]), "caf\xE9");
    const ToolRun run = RunTool(args);
    EXPECT_EQ(run.status, kCliSuccess) << run.err.toStdString();
    // Qt cannot name the file, so it is checked and removed by its bytes.
    EXPECT_TRUE(std::ifstream("caf\xE9", std::ios::binary).good());
    EXPECT_EQ(::unlink("caf\xE9"), 0);
    // Valid UTF-8, also beside such bytes, goes through unchanged.
    const char* mixed[] = {"velkora-cli", "\xC3\xA9t\xE9\xF0\x9F\x93\xA1"};
    EXPECT_EQ(PathBytes(ArgumentsOf(2, const_cast<char**>(mixed))[0]), mixed[1]);
}

TEST_F(CliTest, UsageErrorsExitWithTwoAndTheUsage) {
    ASSERT_EQ(RunTool({"init", "--sample"}).status, kCliSuccess);
    const QStringList good = {"generate", "--target", "mmana", "--axis", "x", "--output", "m.maa"};
    struct Case {
        const char* name;
        QStringList args;
        const char* message;
    };
    const Case cases[] = {
        {"nothing", {}, "no command given"},
        {"unknown verb", {"make"}, "unknown command \"make\""},
        {"no target", {"generate", "--axis", "x", "--output", "m.maa"}, "generate needs --target"},
        {"bad target",
         {"generate", "--target", "nec2", "--axis", "x", "--output", "m"},
         "--target is eznec, mmana or nec, not \"nec2\""},
        {"bad axis",
         {"generate", "--target", "mmana", "--axis", "z", "--output", "m"},
         "--axis is x or y, not \"z\""},
        {"no output", {"generate", "--target", "mmana", "--axis", "x"}, "generate needs --output"},
        {"empty output",
         {"generate", "--target", "mmana", "--axis", "x", "--output", ""},
         "--output needs a file name"},
        {"value missing", good + QStringList{"--project"}, "--project needs a value"},
        {"project not a number", good + QStringList{"--project", "two"},
         "--project takes a project's ID, not \"two\""},
        {"unknown project", good + QStringList{"--project", "77"},
         "the store has no project with ID 77"},
        {"unknown option", good + QStringList{"--format", "x"},
         "generate knows no option --format"},
        {"short option", good + QStringList{"-o"}, "generate knows no option -o"},
        {"twice", good + QStringList{"--axis", "y"}, "--axis is given twice"},
        {"long separator", good + QStringList{"--decimal-separator", "::"},
         "--decimal-separator takes one character"},
        {"no decimal separator", good + QStringList{"--decimal-separator", ""},
         "--decimal-separator takes one character"},
        {"outside Windows-1252",
         good + QStringList{"--thousands-separator", QString::fromUtf8("\xE2\x80\x89")},
         "--thousands-separator takes one character"},
        {"equal separators",
         good + QStringList{"--decimal-separator", ",", "--thousands-separator", ","},
         "--thousands-separator cannot be the decimal separator \",\""},
        {"digit", good + QStringList{"--decimal-separator", "7"},
         "--decimal-separator cannot be a digit or a sign"},
        {"minus", good + QStringList{"--thousands-separator", "-"},
         "--thousands-separator cannot be a digit or a sign"},
        {"plus", good + QStringList{"--decimal-separator", "+"},
         "--decimal-separator cannot be a digit or a sign"},
        {"stray argument", good + QStringList{"extra"}, "generate takes no argument \"extra\""},
        {"value to a flag", {"init", "--sample=yes"}, "--sample takes no value"},
        {"server of a file store",
         {"init", "--server", "x", "--database", "y"},
         "--server belongs to --provider postgresql; an SQLite store is a file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ToolRun run = RunTool(c.args);
        EXPECT_EQ(run.status, kCliUsage);
        EXPECT_TRUE(run.err.startsWith(QString("velkora-cli: ") + c.message))
            << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("\nUsage: velkora-cli init [DIR] [--sample]\n"));
        EXPECT_TRUE(run.out.isEmpty());
    }
    EXPECT_FALSE(QFile::exists("m.maa"));
    EXPECT_FALSE(QFile::exists("m"));
}

TEST_F(CliTest, FailuresExitWithOneAndTheMessageAsTheErrorBoxShowsIt) {
    ASSERT_EQ(RunTool({"init"}).status, kCliSuccess);
    WriteFile("kept.maa", "an earlier model");
    struct Case {
        const char* name;
        QStringList args;
        QString err;
    };
    const auto expectFailure = [](const Case& c) {
        SCOPED_TRACE(c.name);
        const ToolRun run =
            RunTool(QStringList{"generate", "--target", "mmana", "--axis", "x"} + c.args);
        EXPECT_EQ(run.status, kCliFailure);
        EXPECT_EQ(run.err, c.err);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_EQ(ReadBytes("kept.maa"), "an earlier model");
    };
    // No project row: a message ending in ")" gets no ".".
    expectFailure({"no project row",
                   {"--output", "kept.maa"},
                   "velkora-cli: no project, NOME: "
                   "Could not convert variant of type (Null) into type (String)\n"});
    Sql("INSERT INTO PROJECTS (NOME, F0, SOURCE_WIRE, HEIGHT) VALUES ('P', 144.3, 'w2c', 10)");
    Sql("INSERT INTO PROJECTS (NOME, F0, SOURCE_WIRE, HEIGHT) VALUES ('Q', 144.3, 'w2c', 10)");
    Sql("INSERT INTO TAPER (NOME, UM) VALUES ('T', 'm,mm')");
    Sql("INSERT INTO TAPER_SIZES (ID_TAPER, \"ORDER\", DIAMETER, LENGTH) VALUES (1, 1, 12, 0.3)");
    Sql("INSERT INTO TAPER_SIZES (ID_TAPER, \"ORDER\", DIAMETER, LENGTH) VALUES (1, 2, NULL, 1)");
    Sql("INSERT INTO ELEMENTS (ID_PROJECT, NOME, TYPE, LEN, ID_TAPER, DISTANCE, HEIGHT)"
        " VALUES (2, 'D' || char(0) || '1', 'Element', 0.5, 1, 0, 10)");
    Sql("INSERT INTO PROJECTS (NOME, F0, SOURCE_WIRE, HEIGHT) VALUES ('R', 144.3, 'w1c', 10)");
    Sql("INSERT INTO TAPER (NOME, UM) VALUES ('U', 'm,mm')");
    Sql("INSERT INTO TAPER_SIZES (ID_TAPER, \"ORDER\", DIAMETER, LENGTH) VALUES (2, 1, 0, 0.3)");
    Sql("INSERT INTO ELEMENTS (ID_PROJECT, NOME, TYPE, LEN, ID_TAPER, DISTANCE, HEIGHT)"
        " VALUES (3, 'Director 1', 'Element', 0.5, 2, 0, 10)");
    // A second hard link: the file is written in place, and kept all the same.
    ASSERT_EQ(::link("kept.maa", "kept-link.maa"), 0);
    const char link[] = "[oledb]\nProvider=SQ\0Lite;Data Source=velkora.db\n";
    WriteFile("nul.udl", QByteArray(link, sizeof link - 1));
    const Case cases[] = {
        {"disk full", {"--output", "/dev/full"}, "velkora-cli: /dev/full: Disk full.\n"},
        {"missing folder",
         {"--output", "no/such/folder/m.maa"},
         "velkora-cli: no/such/folder/m.maa: File not found.\n"},
        {"value of an element",
         {"--output", "kept.maa", "--project", "2"},
         "velkora-cli: project 2, element \"D\\01\", section 2, DIAMETER: "
         "Could not convert variant of type (Null) into type (Double)\n"},
        {"value that makes a wrong model",
         {"--output", "kept.maa", "--project", "3"},
         "velkora-cli: project 3, element \"Director 1\": DIAMETER is 0; a tube needs a diameter "
         "above 0.\n"},
        {"folder", {"--output", "."}, "velkora-cli: .: is a folder.\n"},
        {"data-link file with a NUL byte",
         {"--output", "kept.maa", "--data-link", "nul.udl"},
         "velkora-cli: The data-link file nul.udl names the provider \"SQ\\0Lite\", which is not "
         "available here; available: SQLite, PostgreSQL.\n"},
        {"no data-link file",
         {"--output", "kept.maa", "--data-link", "elsewhere.udl"},
         "velkora-cli: The data-link file elsewhere.udl was not found in the working directory " +
             QDir::toNativeSeparators(dir_.path()) +
             ", where it is looked for; \"velkora-cli init\" makes one.\n"},
    };
    for (const Case& c : cases) expectFailure(c);
    EXPECT_FALSE(QDir("no").exists());
    EXPECT_EQ(
        RunTool({"generate", "--target", "mmana", "--axis", "x", "--output", "kept.maa"}).status,
        kCliSuccess);
    EXPECT_EQ(ReadBytes("kept.maa").rfind("P\r\n*\r\n144.300\r\n", 0), 0u);
}

TEST_F(CliTest, NecAndWiresFailuresNameTheProjectAndElement) {
    ASSERT_EQ(RunTool({"init"}).status, kCliSuccess);
    Sql("INSERT INTO PROJECTS (NOME, F0, SOURCE_WIRE, HEIGHT) VALUES ('P', NULL, 'w1c', 10)");
    Sql("INSERT INTO TAPER (NOME, UM) VALUES ('T', 'm,mm')");
    Sql("INSERT INTO TAPER_SIZES (ID_TAPER, \"ORDER\", DIAMETER, LENGTH) VALUES (1, 1, 12, 0.3)");
    Sql("INSERT INTO ELEMENTS (ID_PROJECT, NOME, TYPE, LEN, ID_TAPER, DISTANCE, HEIGHT)"
        " VALUES (1, 'E', 'Element', NULL, 1, 0, 10)");
    const QStringList nec = {"generate", "--target", "nec", "--axis", "x", "--output", "m.nec"};
    const QString nullDouble = "Could not convert variant of type (Null) into type (Double)\n";
    for (const auto& [args, err] :
         {std::pair{nec, "velkora-cli: project 1, F0: " + nullDouble},
          std::pair{QStringList{"wires"},
                    "velkora-cli: project 1, element \"E\", LEN: " + nullDouble}}) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const ToolRun run = RunTool(args);
        EXPECT_EQ(run.status, kCliFailure);
        EXPECT_EQ(run.err, err);
    }
    Sql("UPDATE PROJECTS SET F0 = 144.3");
    EXPECT_EQ(RunTool(nec).err, "velkora-cli: project 1, element \"E\", LEN: " + nullDouble);
    EXPECT_FALSE(QFile::exists("m.nec"));
}

TEST_F(CliTest, HelpAndVersionGoToStandardOutput) {
    for (const QStringList& args :
         {QStringList{"--help"}, QStringList{"-h"}, QStringList{"generate", "--help"}}) {
        const ToolRun run = RunTool(args);
        EXPECT_EQ(run.status, kCliSuccess);
        EXPECT_TRUE(run.out.startsWith("Usage: velkora-cli init [DIR] [--sample]\n"));
        EXPECT_TRUE(run.err.isEmpty());
    }
    const ToolRun version = RunTool({"--version"});
    EXPECT_EQ(version.status, kCliSuccess);
    EXPECT_TRUE(version.out.startsWith("velkora-cli "));
}

}  // namespace
}  // namespace velkora
