#include "Cli.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <exception>
#include <optional>
#include <string>

#include "CliArguments.h"
#include "ErrorBoxText.h"
#include "Connection.h"
#include "GenerationQueries.h"
#include "ModelWriters.h"
#include "RegionalMarks.h"
#include "SampleDesigns.h"
#include "StoreError.h"

namespace velkora {

namespace {

const char* const kUsage =
    "Usage: velkora-cli init [DIR] [--sample]\n"
    "       velkora-cli projects [--data-link FILE]\n"
    "       velkora-cli generate --target mmana|eznec --axis x|y --output PATH [--project ID]\n"
    "                            [--decimal-separator C] [--thousands-separator C] [--data-link "
    "FILE]\n"
    "       velkora-cli --help | --version\n";

const char* const kHelp =
    "\n"
    "Keeps Yagi antenna designs in a database and writes models of them for\n"
    "MMANA (.maa) and EZNEC (.txt), without the window.\n"
    "\n"
    "  init [DIR]        make velkora.udl and a new database velkora.db in DIR\n"
    "                    (default: the working directory); never touches existing files.\n"
    "                    The database is named relative to the working directory, so run\n"
    "                    the other commands in DIR\n"
    "    --sample        fill the new database with published designs\n"
    "  projects          list ID, name and number of elements of every project\n"
    "  generate          write a model of one project to PATH\n"
    "    --target        mmana or eznec\n"
    "    --axis          x or y: the axis along which the boom lies\n"
    "    --project       the project's ID (default: the first project)\n"
    "    --decimal-separator, --thousands-separator\n"
    "                    one character each instead of the locale's (an empty\n"
    "                    thousands separator means none)\n"
    "  --data-link FILE  the data-link file (default: velkora.udl in the working directory)\n"
    "\n"
    "Exit status: 0 on success, 1 on a failure, 2 on a usage error.\n";

const QString kDataLinkName = QStringLiteral("velkora.udl");
const QString kDatabaseName = QStringLiteral("velkora.db");
const QString kConnectionName = QStringLiteral("velkora-cli");

QString OneLine(QString message) {
    message.replace("\r\n", " ");
    message.replace('\n', ' ');
    message.replace('\r', ' ');
    return message;
}

// The connection of one verb, closed on every way out.
class CliConnection {
  public:
    explicit CliConnection(const QString& dataLinkFile)
        : db_(OpenConnection(dataLinkFile, kConnectionName)) {}
    ~CliConnection() {
        db_ = QSqlDatabase();
        CloseConnection(kConnectionName);
    }
    CliConnection(const CliConnection&) = delete;
    CliConnection& operator=(const CliConnection&) = delete;
    const QSqlDatabase& Db() const { return db_; }

  private:
    QSqlDatabase db_;
};

void WriteNewFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    // NewOnly: a file that appeared meanwhile is never overwritten.
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) ||
        file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        if (file.isOpen()) file.remove();
        throw Failure(QString("Could not write %1: %2")
                          .arg(QDir::toNativeSeparators(path), reason)
                          .toStdString());
    }
}

void AddSamples(const QString& databaseFile) {
    const QString name = kConnectionName + "-sample";
    {
        QSqlDatabase db = OpenDatabaseFile(databaseFile, name);
        AddSampleDesigns(db);
    }
    CloseConnection(name);
}

int Init(const QStringList& args, QTextStream& out) {
    const CliArguments parsed = ParseArguments(args, {"init", {}, {"sample"}, 1});
    const QString dirName = parsed.positional.value(0, ".");
    const QDir dir(dirName);
    if (!dir.exists() && !QDir().mkpath(dirName))
        throw Failure(QString("Could not make the folder %1")
                          .arg(QDir::toNativeSeparators(dirName))
                          .toStdString());
    const QString link = QDir::cleanPath(dir.filePath(kDataLinkName));
    const QString database = QDir::cleanPath(dir.filePath(kDatabaseName));
    for (const QString& path : {link, database}) {
        if (QFileInfo::exists(path))
            throw Failure(QString("%1 exists already; init leaves an existing store as it is")
                              .arg(QDir::toNativeSeparators(path))
                              .toStdString());
    }
    CreateDatabaseFile(database);
    try {
        if (parsed.flags.contains("sample")) AddSamples(database);
        WriteNewFile(link,
                     "[oledb]\n; Everything after this line is an OLE DB initstring\n"
                     "Provider=SQLite;Data Source=" +
                         kDatabaseName.toUtf8() + "\n");
    } catch (...) {
        QFile::remove(database);
        throw;
    }
    out << "Made " << QDir::toNativeSeparators(link) << " and "
        << QDir::toNativeSeparators(database)
        << (parsed.flags.contains("sample") ? " with the sample designs" : "") << "\n";
    return kCliSuccess;
}

int Projects(const QStringList& args, QTextStream& out) {
    const CliArguments parsed = ParseArguments(args, {"projects", {"data-link"}, {}, 0});
    const CliConnection connection(parsed.Has("data-link") ? parsed.Value("data-link")
                                                           : kDataLinkName);
    const QList<ProjectSummary> projects = ListProjects(connection.Db());
    if (projects.isEmpty()) {
        out << "The store has no projects\n";
        return kCliSuccess;
    }
    qsizetype idWidth = 2, nameWidth = 4;
    for (const ProjectSummary& project : projects) {
        idWidth = std::max(idWidth, QString::number(project.id).size());
        nameWidth = std::max(nameWidth, project.nome.size());
    }
    const auto line = [&](const QString& id, const QString& nome, const QString& count) {
        out << id.rightJustified(idWidth) << "  " << nome.leftJustified(nameWidth) << "  " << count
            << "\n";
    };
    line("ID", "NOME", "ELEMENTS");
    for (const ProjectSummary& project : projects)
        line(QString::number(project.id), project.nome, QString::number(project.elementCount));
    return kCliSuccess;
}

// A separator given on the command line as one Windows-1252 character.
std::string SeparatorArgument(const CliArguments& parsed, const QString& option, bool mayBeEmpty) {
    const QString text = parsed.Value(option);
    if (text.isEmpty() && mayBeEmpty) return {};
    const std::optional<char> mark = Windows1252Char(text.toUtf8().toStdString(), "UTF-8");
    if (!mark) throw UsageError(QString("--%1 takes one character, not \"%2\"").arg(option, text));
    return std::string(1, *mark);
}

// The user's locale decides unless the command line says otherwise.
RegionalMarks MarksOfRun(const CliArguments& parsed) {
    RefreshRegionalMarks();
    RegionalMarks marks = CurrentRegionalMarks();
    if (parsed.Has("decimal-separator"))
        marks.decimalSeparator = SeparatorArgument(parsed, "decimal-separator", false);
    if (parsed.Has("thousands-separator"))
        marks.thousandsSeparator = SeparatorArgument(parsed, "thousands-separator", true);
    return marks;
}

struct GenerateRequest {
    bool mmana = true;
    MainLobeAxis axis = MainLobeAxis::X;
    QString output;
    std::optional<qint64> project;
    RegionalMarks marks;
    QString dataLink = kDataLinkName;
};

GenerateRequest ParseGenerate(const QStringList& args) {
    const CliArguments parsed =
        ParseArguments(args, {"generate",
                              {"target", "axis", "output", "project", "decimal-separator",
                               "thousands-separator", "data-link"},
                              {},
                              0});
    GenerateRequest request;
    const QString target = parsed.Required("target").toLower();
    if (target != "mmana" && target != "eznec")
        throw UsageError(
            QString("--target is mmana or eznec, not \"%1\"").arg(parsed.Value("target")));
    request.mmana = target == "mmana";
    const QString axis = parsed.Required("axis").toLower();
    if (axis != "x" && axis != "y")
        throw UsageError(QString("--axis is x or y, not \"%1\"").arg(parsed.Value("axis")));
    request.axis = axis == "x" ? MainLobeAxis::X : MainLobeAxis::Y;
    request.output = parsed.Required("output");
    if (request.output.isEmpty()) throw UsageError("--output needs a file name");
    if (parsed.Has("project")) {
        bool ok = false;
        request.project = parsed.Value("project").trimmed().toLongLong(&ok);
        if (!ok)
            throw UsageError(
                QString("--project takes a project's ID, not \"%1\"").arg(parsed.Value("project")));
    }
    request.marks = MarksOfRun(parsed);
    if (parsed.Has("data-link")) request.dataLink = parsed.Value("data-link");
    return request;
}

// Runs the same writers as the window's Generate command; prints nothing
// on success.
int Generate(const QStringList& args) {
    const GenerateRequest request = ParseGenerate(args);
    const CliConnection connection(request.dataLink);
    ProjectRow project;
    if (request.project) {
        const std::optional<ProjectRow> row = ReadProjectRow(connection.Db(), *request.project);
        if (!row)
            throw UsageError(
                QString("the store has no project with ID %1 (velkora-cli projects lists them)")
                    .arg(*request.project));
        project = *row;
    } else {
        project = ReadFirstProjectRow(connection.Db());
    }
    SqlModelSource source(connection.Db());
    const ModelJob job{project, source, request.axis, request.marks};
    const std::string path = QFile::encodeName(request.output).toStdString();
    if (request.mmana)
        WriteMmanaModel(path, job);
    else
        WriteEzNecModel(path, job);
    return kCliSuccess;
}

int RunVerb(const QStringList& args, QTextStream& out) {
    if (args.isEmpty()) throw UsageError("no command given");
    const QString verb = args.first();
    const QStringList rest = args.mid(1);
    if (verb == "--help" || verb == "-h" || rest.contains("--help") || rest.contains("-h")) {
        out << kUsage << kHelp;
        return kCliSuccess;
    }
    if (verb == "--version") {
        out << "velkora-cli " << VELKORA_VERSION << "\n";
        return kCliSuccess;
    }
    if (verb == "init") return Init(rest, out);
    if (verb == "projects") return Projects(rest, out);
    if (verb == "generate") return Generate(rest);
    throw UsageError(QString("unknown command \"%1\"").arg(verb));
}

}  // namespace

int RunCli(const QStringList& args, QTextStream& out, QTextStream& err) {
    int status = kCliFailure;
    try {
        status = RunVerb(args, out);
    } catch (const UsageError& e) {
        err << "velkora-cli: " << e.Message() << "\n" << kUsage;
        status = kCliUsage;
    } catch (const std::exception& e) {
        err << ErrorBoxText(OneLine(QString::fromStdString(e.what()))) << "\n";
        status = kCliFailure;
    }
    out.flush();
    err.flush();
    return status;
}

}  // namespace velkora
