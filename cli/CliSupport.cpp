#include "CliSupport.h"

#include <optional>
#include <string>

#include "Connection.h"

namespace velkora {

namespace {

// A separator given on the command line as one Windows-1252 character.
std::string SeparatorArgument(const CliArguments& parsed, const QString& option, bool mayBeEmpty) {
    const QString text = parsed.Value(option);
    if (text.isEmpty() && mayBeEmpty) return {};
    const std::optional<char> mark = Windows1252Char(text.toUtf8().toStdString(), "UTF-8");
    if (!mark) throw UsageError(QString("--%1 takes one character, not \"%2\"").arg(option, text));
    return std::string(1, *mark);
}

}  // namespace

CliConnection::CliConnection(const QString& dataLinkFile, StoreAccess access,
                             const QString& connectionName)
    : name_(connectionName), db_(OpenConnection(dataLinkFile, connectionName, access)) {}

CliConnection::~CliConnection() {
    db_ = QSqlDatabase();
    CloseConnection(name_);
}

QString DataLinkOf(const CliArguments& parsed) {
    return parsed.Has("data-link") ? parsed.Value("data-link") : kDataLinkName;
}

RegionalMarks MarksOfRun(const CliArguments& parsed) {
    RefreshRegionalMarks();
    RegionalMarks marks = CurrentRegionalMarks();
    if (parsed.Has("decimal-separator"))
        marks.decimalSeparator = SeparatorArgument(parsed, "decimal-separator", false);
    if (parsed.Has("thousands-separator"))
        marks.thousandsSeparator = SeparatorArgument(parsed, "thousands-separator", true);
    return marks;
}

QString OneLine(QString message) {
    message.replace("\r\n", " ");
    message.replace('\n', ' ');
    message.replace('\r', ' ');
    return message;
}

}  // namespace velkora
