// SPDX-License-Identifier: GPL-3.0-or-later
// Importing the files dropped onto the projects grid.
#include "DesignDrop.h"

#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>

#include "BoundDataset.h"
#include "DBGrid.h"
#include "DesignImport.h"
#include "Failure.h"
#include "ImportFile.h"
#include "ProjectStore.h"
#include "VelkoraApplication.h"

namespace velkora {

namespace {

QStringList LocalFiles(const QMimeData* data) {
    QStringList files;
    if (data != nullptr)
        for (const QUrl& url : data->urls())
            if (url.isLocalFile()) files << url.toLocalFile();
    return files;
}

// Each file in a transaction of its own; a file that fails goes to the error
// box with its place ("beam.maa:7: ...") and the others still go in.
std::optional<qint64> ImportFiles(const QStringList& files, ProjectStore& store) {
    std::optional<qint64> last;
    QSqlDatabase db = store.Database();
    for (const QString& file : files) {
        const std::string path = QFile::encodeName(file).toStdString();
        try {
            last = AddImportedDesign(db, ReadDesignFile(path, std::nullopt));
        } catch (const Failure& failure) {
            const std::string where = failure.Where().empty() ? path : failure.Where();
            ReportFailure(std::make_exception_ptr(Failure(where + ": " + failure.Message())));
        }
    }
    return last;
}

void MakeCurrent(BoundDataset& projects, qint64 id) {
    const int field = projects.FieldIndex("ID");
    for (int row = 0; row < projects.RowCount(); ++row)
        if (projects.Value(row, field).toLongLong() == id) return projects.MoveTo(row);
}

}  // namespace

DesignDrop::DesignDrop(DBGrid* grid, ProjectStore& store) : QObject(grid), store_(store) {
    grid->viewport()->setAcceptDrops(true);
    grid->viewport()->installEventFilter(this);
}

bool DesignDrop::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    auto* drop = static_cast<QDropEvent*>(event);
    const QStringList files = LocalFiles(drop->mimeData());
    if (files.isEmpty()) return QObject::eventFilter(watched, event);
    drop->acceptProposedAction();
    if (type == QEvent::Drop)
        Reported([&] {
            if (const std::optional<qint64> id = ImportFiles(files, store_)) {
                store_.Refresh();
                MakeCurrent(store_.TProjects(), *id);
            }
        });
    return true;
}

}  // namespace velkora
