#include "StoreFileGuard.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "StoreError.h"

namespace velkora {
namespace {

// Far more links than a real folder holds in a chain; a loop ends here.
constexpr int kMaxLinks = 40;

// The path a write to `path` reaches: symbolic links followed, the folder
// made canonical (the file itself may not exist yet).
QString ReachedPath(const QString& path) {
    QString current = QDir::current().absoluteFilePath(path);
    for (int hop = 0; hop < kMaxLinks && QFileInfo(current).isSymLink(); ++hop)
        current = QFileInfo(current).symLinkTarget();
    const QFileInfo info(current);
    if (info.exists()) return info.canonicalFilePath();
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? QDir::cleanPath(current) : QDir(folder).filePath(info.fileName());
}

// The same file under two names: one device and inode.
bool SameInode(const QString& a, const QString& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(QFile::encodeName(a).constData(), &first) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace

void RefuseStoreFileAsOutput(const QString& output, const QList<StoreFile>& files) {
    const QString reached = ReachedPath(output);
    for (const StoreFile& file : files) {
        if (reached != ReachedPath(file.path) && !SameInode(output, file.path)) continue;
        throw StoreError(
            QString("The model file %1 would replace the store's %2 %3: choose another name")
                .arg(QDir::toNativeSeparators(output), file.role,
                     QDir::toNativeSeparators(file.path)));
    }
}

}  // namespace velkora
