// SPDX-License-Identifier: GPL-3.0-or-later
// The libpq options a data-link file's Extended Properties adds.
#include "ConnectOptions.h"

#include "DataLink.h"
#include "StoreError.h"

namespace velkora {

namespace {

// The longest connect timeout taken, in seconds; 0 or less would wait forever.
constexpr int kMaxTimeoutS = 300;

// libpq options the program sets itself, and what it sets them from; an
// empty data-link key means always.
struct OwnedOption {
    const char* key;
    const char* linkKey;  // the data-link key that sets it; empty: always set
    const char* from;
};
constexpr OwnedOption kOwned[] = {
    {"host", "", "Data Source"},    {"hostaddr", "", "Data Source"},
    {"port", "", "Data Source"},    {"dbname", "", "Initial Catalog"},
    {"user", "User ID", "User ID"}, {"password", "Password", "Password"},
};

[[noreturn]] void Refuse(const DataLink& link, const QString& what) {
    throw StoreError(
        QString("The data-link file %1 has Extended Properties that cannot be used: %2")
            .arg(link.file, what));
}

QString After(const QString& previousKey) {
    return previousKey.isEmpty() ? QString("at its start")
                                 : QString("after the value of %1").arg(previousKey);
}

// One value from pos on, quoted or bare; leaves pos after it.
QString ReadOptionValue(const QString& text, qsizetype& pos, const QString& key,
                        const DataLink& link) {
    QString value;
    if (pos < text.size() && text[pos] == '\'') {
        for (++pos;; ++pos) {
            if (pos >= text.size())
                Refuse(link, QString("the value of %1 lacks its closing quote").arg(key));
            if (text[pos] == '\'') break;
            if (text[pos] == '\\' && pos + 1 < text.size()) ++pos;
            value += text[pos];
        }
        ++pos;
        return value;
    }
    for (; pos < text.size() && !text[pos].isSpace(); ++pos) {
        if (text[pos] == '\\' && pos + 1 < text.size()) ++pos;
        value += text[pos];
    }
    return value;
}

void CheckOption(const DataLink& link, const ConnectOption& option) {
    for (const OwnedOption& owned : kOwned) {
        if (option.key != QLatin1String(owned.key)) continue;
        if (*owned.linkKey == '\0' || !link.Property(owned.linkKey).isEmpty())
            Refuse(link, QString("%1 is set from %2, and Extended Properties cannot change it")
                             .arg(option.key, QLatin1String(owned.from)));
    }
    if (option.key != "connect_timeout") return;
    bool ok = false;
    const int seconds = option.value.trimmed().toInt(&ok);
    if (!ok || seconds < 1 || seconds > kMaxTimeoutS)
        Refuse(link, QString("connect_timeout must be a whole number of seconds from 1 to %1, "
                             "so that a server that does not answer is given up")
                         .arg(kMaxTimeoutS));
}

}  // namespace

QList<ConnectOption> ReadConnectOptions(const DataLink& link) {
    // Qt's driver turns every ";" into a blank before libpq reads the text.
    const QString text = link.Property("Extended Properties").replace(';', ' ');
    QList<ConnectOption> options;
    QString previous;
    qsizetype pos = 0;
    for (;;) {
        while (pos < text.size() && text[pos].isSpace()) ++pos;
        if (pos >= text.size()) break;
        const qsizetype equals = text.indexOf('=', pos);
        qsizetype keyEnd = pos;
        while (keyEnd < text.size() && !text[keyEnd].isSpace() && text[keyEnd] != '=') ++keyEnd;
        qsizetype afterKey = keyEnd;
        while (afterKey < text.size() && text[afterKey].isSpace()) ++afterKey;
        if (equals < 0 || afterKey != equals || keyEnd == pos)
            Refuse(link, QString("the text %1 is not a key=value option (quote a value that "
                                 "holds blanks in single quotes)")
                             .arg(After(previous)));
        ConnectOption option{text.mid(pos, keyEnd - pos).toLower(), {}};
        pos = equals + 1;
        while (pos < text.size() && text[pos].isSpace()) ++pos;
        option.value = ReadOptionValue(text, pos, option.key, link);
        CheckOption(link, option);
        previous = option.key;
        options << option;
    }
    return options;
}

QString ConnectOptionsText(const QList<ConnectOption>& options, int defaultTimeoutS) {
    QStringList parts;
    bool timeout = false;
    for (const ConnectOption& option : options) {
        QString value = option.value;
        value.replace('\\', "\\\\").replace('\'', "\\'");
        parts << option.key + "='" + value + "'";
        timeout = timeout || option.key == "connect_timeout";
    }
    if (!timeout) parts << QString("connect_timeout=%1").arg(defaultTimeoutS);
    return parts.join(' ');
}

QStringList PasswordsOf(const DataLink& link, const QList<ConnectOption>& options) {
    QStringList passwords;
    if (!link.Property("Password").isEmpty()) passwords << link.Property("Password");
    for (const ConnectOption& option : options)
        if (option.key == "password" && !option.value.isEmpty()) passwords << option.value;
    return passwords;
}

}  // namespace velkora
