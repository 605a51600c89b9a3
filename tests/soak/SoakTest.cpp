// SPDX-License-Identifier: GPL-3.0-or-later
// Two copies of the program edit the same rows of one store for about half a
// minute while velkora-cli generate reads it between them. Every commit must
// be part of the store's one history (each overwrote exactly the value it had
// read) or have been refused as changed by another copy, and every model
// must show a single counter. Runs once per provider.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QSqlQuery>
#include <cmath>
#include <iostream>
#include <set>

#include "Connection.h"
#include "StoreTestFiles.h"

namespace velkora {
namespace {

constexpr int kEditSeconds = 25;
constexpr qint64 kFirstCounter = 1000;

void FillStore() {
    {
        QSqlDatabase db = OpenConnection("velkora.udl", "setup");
        QSqlQuery query(db);
        for (const char* sql : {
                 "INSERT INTO PROJECTS VALUES (1, 'Soak', 1000, 'w1c', 10)",
                 "INSERT INTO TAPER VALUES (1, 'Soak tubing', 'm,mm')",
                 "INSERT INTO TAPER_SIZES (ID_TAPER, \"ORDER\", DIAMETER, LENGTH)"
                 " VALUES (1, 1, 1000, 0.5), (1, 2, 1000, 0.5), (1, 3, 1000, 1.0)",
                 "INSERT INTO ELEMENTS VALUES (1, 1, 'Refl', 'Element', 1.2, 1, 0, 10),"
                 " (2, 1, 'Drv', 'Driver', 1.1, 1, 0.5, 10)",
             })
            ASSERT_TRUE(query.exec(QuotedNames(sql))) << sql;
    }
    CloseConnection("setup");
}

// The counters an MMANA model shows: its frequency and every wire's radius
// (DIAMETER / 2000).
std::set<qint64> CountersOfModel(const QByteArray& model) {
    const QList<QByteArray> lines = model.split('\n');
    std::set<qint64> counters{std::llround(lines.value(2).trimmed().toDouble())};
    const qsizetype wires = lines.indexOf("***Wires***\r");
    const int count = lines.value(wires + 1).trimmed().toInt();
    for (int i = 0; i < count; ++i)
        counters.insert(
            std::llround(lines.value(wires + 2 + i).split(',').value(6).toDouble() * 2000));
    return counters;
}

struct History {
    QMap<qint64, qint64> next;  // overwritten value -> counter committed over it
    int commits = 0;
    int refusals = 0;
    bool overwroteUnseen = false;  // two commits over the same value
};

void AddCopyOutput(History& history, const QByteArray& output) {
    for (const QByteArray& line : output.split('\n')) {
        const QList<QByteArray> words = line.split(' ');
        if (words[0] == "commit") {
            ++history.commits;
            const qint64 previous = words.value(1).toLongLong();
            if (history.next.contains(previous)) history.overwroteUnseen = true;
            history.next[previous] = words.value(2).toLongLong();
        } else if (words[0] == "refused") {
            ++history.refusals;
        } else {
            ASSERT_TRUE(line.isEmpty()) << line.toStdString();
        }
    }
}

QVariant StoreValue(const char* sql) {
    QVariant value;
    {
        const QSqlDatabase db = OpenConnection("velkora.udl", "check", StoreAccess::ReadOnly);
        QSqlQuery query(db);
        if (query.exec(QuotedNames(sql)) && query.next()) value = query.value(0);
    }
    CloseConnection("check");
    return value;
}

using Soak = ProviderTest;
VELKORA_FOR_EACH_PROVIDER(Soak);

TEST_P(Soak, TwoCopiesAndGenerateLoseNothing) {
    MakeStore();
    FillStore();
    const QDir dir;

    QProcess copies[2];
    for (int i = 0; i < 2; ++i) {
        copies[i].setWorkingDirectory(dir.absolutePath());
        copies[i].start(STORE_COPY, {"edit", QString::number(kEditSeconds),
                                     QString::number(kFirstCounter + 1 + i), "2"});
        ASSERT_TRUE(copies[i].waitForStarted());
    }
    int models = 0, mixed = 0, failedRuns = 0;
    while (copies[0].state() != QProcess::NotRunning || copies[1].state() != QProcess::NotRunning) {
        QProcess generate;
        generate.setWorkingDirectory(dir.absolutePath());
        generate.start(VELKORA_CLI,
                       {"generate", "--target", "mmana", "--axis", "x", "--output", "model.maa"});
        if (!generate.waitForFinished(30000) || generate.exitCode() != 0) {
            ++failedRuns;
            ADD_FAILURE() << generate.readAllStandardError().toStdString();
            continue;
        }
        QFile model(dir.filePath("model.maa"));
        ASSERT_TRUE(model.open(QIODevice::ReadOnly));
        ++models;
        if (CountersOfModel(model.readAll()).size() != 1) ++mixed;
        copies[0].waitForFinished(0);
        copies[1].waitForFinished(0);
    }
    History history;
    for (QProcess& copy : copies) {
        EXPECT_EQ(copy.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(copy.exitCode(), 0) << copy.readAllStandardError().toStdString();
        AddCopyOutput(history, copy.readAllStandardOutput());
    }

    // The commits form one chain from the first value to what the store holds.
    int chained = 0;
    qint64 value = kFirstCounter;
    while (history.next.contains(value) && chained <= history.commits) {
        value = history.next[value];
        ++chained;
    }
    EXPECT_FALSE(history.overwroteUnseen) << "a commit overwrote a value its copy had not read";
    EXPECT_EQ(chained, history.commits);
    EXPECT_EQ(StoreValue("SELECT F0 FROM PROJECTS").toLongLong(), value);
    EXPECT_EQ(StoreValue("SELECT COUNT(*) FROM TAPER_SIZES"
                         " WHERE DIAMETER IS DISTINCT FROM (SELECT F0 FROM PROJECTS)")
                  .toInt(),
              0);
    EXPECT_GT(history.commits, 0);
    EXPECT_EQ(mixed, 0);
    EXPECT_EQ(failedRuns, 0);
    std::cout << "soak: " << history.commits << " commits, " << history.refusals
              << " refused as changed by the other copy, " << models << " models checked, " << mixed
              << " mixed" << std::endl;
}

}  // namespace
}  // namespace velkora
