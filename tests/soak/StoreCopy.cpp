// SPDX-License-Identifier: GPL-3.0-or-later
// Another running copy of the program on the store in the working folder,
// for tests that need a second process:
//   store_copy open-close
//       opens the store read-write, reads it and closes it again;
//   store_copy edit SECONDS FIRST STEP
//       for SECONDS, writes counters FIRST, FIRST+STEP, ... through the
//       store's own datasets, each in one commit into the first project's F0
//       and every DIAMETER of the first schedule. Prints "commit PREVIOUS
//       COUNTER" for each commit (PREVIOUS is the F0 it overwrote, as read),
//       "refused COUNTER" for each post refused as changed by another copy.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>
#include <QThread>
#include <cmath>
#include <cstdio>

#include "Connection.h"
#include "ProjectStore.h"
#include "StoreError.h"

namespace velkora {
namespace {

const QString kConnection = QStringLiteral("copy");
const std::string kChangedByAnother =
    "The row was changed by another user since it was read. Press Esc or the \u2717 button to "
    "drop your change and see its current values, then enter your change again";

int OpenClose() {
    {
        const QSqlDatabase db = OpenConnection("velkora.udl", kConnection);
        QSqlQuery query(db);
        if (!query.exec("SELECT COUNT(*) FROM \"PROJECTS\"") || !query.next()) return 1;
    }
    CloseConnection(kConnection);
    return 0;
}

// One commit of a counter; throws what a post throws.
void WriteCounter(QSqlDatabase& db, ProjectStore& store, qint64 counter) {
    BoundDataset& projects = store.TProjects();
    BoundDataset& sizes = store.TTaperSizes();
    const QString text = QString::number(counter);
    if (!db.transaction()) throw StoreError(db.lastError().text());
    projects.SetFieldText(projects.FieldIndex("F0"), text);
    projects.Post();
    for (int row = 0; row < sizes.RowCount(); ++row) {
        sizes.MoveTo(row);
        sizes.SetFieldText(sizes.FieldIndex("DIAMETER"), text);
        sizes.Post();
    }
    if (!db.commit()) throw StoreError(db.lastError().text());
}

int Edit(int seconds, qint64 first, qint64 step) {
    QTextStream out(stdout);
    QSqlDatabase db = OpenConnection("velkora.udl", kConnection);
    int status = 0;
    {
        ProjectStore store;
        store.OpenStoreOn(db);
        BoundDataset& projects = store.TProjects();
        QElapsedTimer clock;
        clock.start();
        for (qint64 counter = first; clock.elapsed() < seconds * 1000; counter += step) {
            const qint64 previous =
                std::llround(projects.Value(0, projects.FieldIndex("F0")).toDouble());
            try {
                WriteCounter(db, store, counter);
                out << "commit " << previous << ' ' << counter << Qt::endl;
            } catch (const Failure& failure) {
                db.rollback();
                if (failure.what() != kChangedByAnother) {
                    out << "failure " << failure.what() << Qt::endl;
                    status = 1;
                    break;
                }
                out << "refused " << counter << Qt::endl;
                store.TProjects().Cancel();
                store.TTaperSizes().Cancel();
                store.Refresh();  // F5: the rows as the other copy left them
            }
            // A user pauses between posts. Without a pause a copy that commits
            // in a tight loop holds SQLite's write lock nearly all the time,
            // and the other copy, polling for it, can outwait its busy timeout.
            QThread::msleep(1);
        }
        store.CloseStore();
    }
    db = QSqlDatabase();
    CloseConnection(kConnection);
    return status;
}

}  // namespace
}  // namespace velkora

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    try {
        if (args.value(0) == "open-close") return velkora::OpenClose();
        if (args.value(0) == "edit" && args.size() == 4)
            return velkora::Edit(args[1].toInt(), args[2].toLongLong(), args[3].toLongLong());
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 1;
    }
    std::fprintf(stderr, "usage: store_copy open-close | edit SECONDS FIRST STEP\n");
    return 2;
}
