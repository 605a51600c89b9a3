// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataLink.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringList>

#include "StoreError.h"

namespace velkora {

namespace {

// A data-link file is a few lines; anything much larger is not one.
constexpr qint64 kMaxFileSize = 64 * 1024;

[[noreturn]] void Malformed(const QString& file, const QString& what) {
    throw StoreError(QString("The data-link file %1 is malformed: %2").arg(file, what));
}

QString DecodeText(const QByteArray& bytes, const QString& file) {
    const bool utf16 = bytes.startsWith("\xFF\xFE");
    const bool utf8Bom = bytes.startsWith("\xEF\xBB\xBF");
    const QByteArray body = bytes.mid(utf16 ? 2 : utf8Bom ? 3 : 0);
    if (utf16 && body.size() % 2 != 0) Malformed(file, "it is not UTF-16 text");
    QStringDecoder decoder(utf16 ? QStringConverter::Utf16LE : QStringConverter::Utf8);
    const QString text = decoder(body);
    if (decoder.hasError())
        Malformed(file, utf16 ? QString("it is not UTF-16 text") : QString("it is not UTF-8 text"));
    return text;
}

// The value after "Key=", from position pos on; leaves pos after its ";".
QString ReadValue(const QString& line, qsizetype& pos, const QString& key, const QString& file) {
    while (pos < line.size() && line[pos].isSpace()) ++pos;
    if (pos < line.size() && line[pos] == '"') {
        QString value;
        ++pos;
        for (;;) {
            if (pos >= line.size())
                Malformed(file, QString("the value of %1 lacks its closing quote").arg(key));
            if (line[pos] == '"') {
                if (pos + 1 < line.size() && line[pos + 1] == '"') {  // "" stands for one quote
                    value += '"';
                    pos += 2;
                    continue;
                }
                ++pos;
                break;
            }
            value += line[pos++];
        }
        while (pos < line.size() && line[pos].isSpace()) ++pos;
        if (pos < line.size() && line[pos] != ';')
            Malformed(file, QString("text follows the quoted value of %1").arg(key));
        ++pos;
        return value;
    }
    const qsizetype end = line.indexOf(';', pos);
    const qsizetype stop = end < 0 ? line.size() : end;
    const QString value = line.mid(pos, stop - pos).trimmed();
    pos = stop + 1;
    return value;
}

// Keys whose values may hold a password, which a message never quotes.
bool MayHoldPassword(const QString& loweredKey) {
    return loweredKey == "password" || loweredKey == "pwd" || loweredKey == "extended properties";
}

[[noreturn]] void NotAPair(const DataLink& link, const QString& piece, const QString& previousKey) {
    if (!MayHoldPassword(previousKey.toLower()))
        Malformed(link.file, QString("\"%1\" is not a Key=Value pair").arg(piece));
    Malformed(link.file, QString("the text after the value of %1 is not a Key=Value pair (a value "
                                 "that holds \";\" goes in double quotes)")
                             .arg(previousKey));
}

void ParsePairs(const QString& line, DataLink& link) {
    qsizetype pos = 0;
    QString previousKey;
    while (pos < line.size()) {
        const qsizetype equals = line.indexOf('=', pos);
        const qsizetype semicolon = line.indexOf(';', pos);
        if (equals < 0 || (semicolon >= 0 && semicolon < equals)) {
            const qsizetype stop = semicolon < 0 ? line.size() : semicolon;
            const QString piece = line.mid(pos, stop - pos).trimmed();
            if (!piece.isEmpty()) NotAPair(link, piece, previousKey);
            pos = stop + 1;  // an empty piece, as after a trailing ";"
            continue;
        }
        const QString key = line.mid(pos, equals - pos).trimmed();
        if (key.isEmpty()) Malformed(link.file, "a value has no key before its \"=\"");
        pos = equals + 1;
        const QString value = ReadValue(line, pos, key, link.file);
        const QString lowered = key.toLower();
        if (link.properties.contains(lowered))
            Malformed(link.file, QString("%1 is given twice").arg(key));
        link.properties.insert(lowered, value);
        previousKey = key;
    }
}

}  // namespace

DataLink ParseDataLink(const QByteArray& bytes, const QString& file) {
    DataLink link;
    link.file = file;
    const QStringList lines = DecodeText(bytes, file).split('\n');
    bool haveConnectionLine = false;
    for (qsizetype number = 0; number < lines.size(); ++number) {
        const QString line = lines[number].trimmed();
        if (line.isEmpty() || line.startsWith(';')) continue;
        if (line.compare("[oledb]", Qt::CaseInsensitive) == 0) continue;
        if (line.startsWith('['))
            Malformed(file,
                      QString("line %1 is an unknown section \"%2\"").arg(number + 1).arg(line));
        if (haveConnectionLine)
            Malformed(file, QString("line %1 is a second connection line; only one is allowed")
                                .arg(number + 1));
        haveConnectionLine = true;
        ParsePairs(line, link);
    }
    if (!haveConnectionLine)
        Malformed(file, "it has no connection line such as Provider=SQLite;Data Source=velkora.db");
    link.provider = link.Property("Provider");
    link.dataSource = link.Property("Data Source");
    if (link.provider.isEmpty())
        throw StoreError(
            QString("The data-link file %1 names no Provider (for example Provider=SQLite)")
                .arg(file));
    if (link.dataSource.isEmpty())
        throw StoreError(
            QString("The data-link file %1 names no Data Source (the database, for example "
                    "Data Source=velkora.db)")
                .arg(file));
    return link;
}

DataLink ReadDataLink(const QString& path) {
    const QFileInfo info(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (!info.exists()) {
        if (info.isRelative())
            throw StoreError(
                QString("The data-link file %1 was not found in the working directory %2, "
                        "where it is looked for; \"velkora-cli init\" makes one")
                    .arg(shown, QDir::toNativeSeparators(QDir::currentPath())));
        throw StoreError(QString("The data-link file %1 was not found").arg(shown));
    }
    if (!info.isFile()) throw StoreError(QString("The data-link file %1 is not a file").arg(shown));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw StoreError(
            QString("Could not read the data-link file %1: %2").arg(shown, file.errorString()));
    const QByteArray bytes = file.read(kMaxFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        throw StoreError(
            QString("Could not read the data-link file %1: %2").arg(shown, file.errorString()));
    if (bytes.size() > kMaxFileSize) Malformed(shown, "it is too large for a data-link file");
    DataLink link = ParseDataLink(bytes, shown);
    link.folder = info.absolutePath();
    return link;
}

}  // namespace velkora
