#include "CliSupport.h"

#include <optional>
#include <string>

#include "Connection.h"
#include "ErrorBoxText.h"
#include "FieldText.h"

namespace velkora {

namespace {

const QString kConnectionName = QStringLiteral("velkora-cli");

// A separator given on the command line as one Windows-1252 character; a
// digit or a sign would make numbers unreadable.
std::string SeparatorArgument(const CliArguments& parsed, const QString& option, bool mayBeEmpty) {
    const QString text = parsed.Value(option);
    if (text.isEmpty() && mayBeEmpty) return {};
    const std::optional<char> mark = Windows1252Char(text.toUtf8().toStdString(), "UTF-8");
    if (!mark) throw UsageError(QString("--%1 takes one character, not \"%2\"").arg(option, text));
    if ((*mark >= '0' && *mark <= '9') || *mark == '+' || *mark == '-')
        throw UsageError(QString("--%1 cannot be a digit or a sign").arg(option));
    return std::string(1, *mark);
}

}  // namespace

CliConnection::CliConnection(const QString& dataLinkFile)
    : db_(OpenConnection(dataLinkFile, kConnectionName)) {}

CliConnection::~CliConnection() {
    db_ = QSqlDatabase();
    CloseConnection(kConnectionName);
}

QString DataLinkOf(const CliArguments& parsed) {
    return parsed.Has("data-link") ? parsed.Value("data-link") : kDataLinkName;
}

RegionalMarks MarksOfRun(const CliArguments& parsed) {
    RefreshRegionalMarks();
    RegionalMarks marks = CurrentRegionalMarks();
    if (parsed.Has("decimal-separator"))
        marks.decimalSeparator = SeparatorArgument(parsed, "decimal-separator", false);
    if (parsed.Has("thousands-separator")) {
        marks.thousandsSeparator = SeparatorArgument(parsed, "thousands-separator", true);
        if (marks.thousandsSeparator == marks.decimalSeparator)
            throw UsageError(QString("--thousands-separator cannot be the decimal separator \"%1\"")
                                 .arg(FromWindows1252(marks.decimalSeparator)));
    } else if (marks.thousandsSeparator == marks.decimalSeparator) {
        // The locale's grouping mark yields to a decimal mark given equal to it.
        marks.thousandsSeparator.clear();
    }
    return marks;
}

QString OneLine(QString message) {
    message.replace('\n', ' ');
    message.replace('\r', ' ');
    message.replace(QChar(u'\0'), QStringLiteral("\\0"));
    return message;
}

QString FailureLine(const std::string& where, const std::string& message) {
    QString line = QString::fromStdString(message);
    if (!where.empty()) line = QString::fromStdString(where) + ": " + line;
    return "velkora-cli: " + ErrorBoxText(OneLine(line));
}

}  // namespace velkora
