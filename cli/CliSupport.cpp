// SPDX-License-Identifier: GPL-3.0-or-later
#include "CliSupport.h"

#include <optional>
#include <string>
#include <string_view>

#include "Connection.h"
#include "ErrorBoxText.h"
#include "FieldText.h"
#include "Utf8.h"

namespace velkora {

namespace {

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

// Lone low surrogates U+DC80 to U+DCFF stand for bytes that are not UTF-8.
constexpr char16_t kByteEscape = 0xDC00;

QString ArgumentText(std::string_view bytes) {
    QString text;
    while (!bytes.empty()) {
        const std::optional<Utf8Char> next = FirstUtf8Char(bytes);
        if (!next) {
            text += QChar(char16_t(kByteEscape | static_cast<unsigned char>(bytes[0])));
            bytes.remove_prefix(1);
        } else {
            text += QString::fromUtf8(bytes.data(), qsizetype(next->length));
            bytes.remove_prefix(next->length);
        }
    }
    return text;
}

}  // namespace

QStringList ArgumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << ArgumentText(argv[i]);
    return arguments;
}

std::string PathBytes(const QString& argument) {
    std::string bytes;
    qsizetype from = 0;
    const auto takeText = [&](qsizetype to) {
        bytes += argument.mid(from, to - from).toUtf8().toStdString();
    };
    for (qsizetype i = 0; i < argument.size(); ++i) {
        const char16_t c = argument[i].unicode();
        const bool paired = i > 0 && argument[i - 1].isHighSurrogate();
        if (c >= (kByteEscape | 0x80) && c <= (kByteEscape | 0xFF) && !paired) {
            takeText(i);
            bytes += static_cast<char>(c & 0xFF);
            from = i + 1;
        }
    }
    takeText(argument.size());
    return bytes;
}

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
