// SPDX-License-Identifier: GPL-3.0-or-later
#include "StoreFileGuard.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "StoreError.h"

namespace velkora {
namespace {

// Far more links than a real folder holds in a chain; a loop ends here.
constexpr int kMaxLinks = 40;

// Where a write to `path` lands: the folder by device and inode (so that a
// folder reached through a link or a bind mount is the same folder) and the
// name in it; symbolic links to the file are followed first. Invalid when the
// folder does not exist.
struct Place {
    dev_t device = 0;
    ino_t inode = 0;
    QString name;
    bool valid = false;

    bool operator==(const Place& other) const {
        return valid && other.valid && device == other.device && inode == other.inode &&
               name == other.name;
    }
};

Place PlaceOf(const QString& path) {
    QString current = QDir::current().absoluteFilePath(path);
    for (int hop = 0; hop < kMaxLinks && QFileInfo(current).isSymLink(); ++hop)
        current = QFileInfo(current).symLinkTarget();
    // The folder is resolved by the system, so "link/.." goes where the link leads.
    const qsizetype slash = current.lastIndexOf('/');
    const QString folder = current.left(std::max<qsizetype>(slash, 1));
    struct stat info {};
    if (::stat(QFile::encodeName(folder).constData(), &info) != 0) return {};
    return {info.st_dev, info.st_ino, current.mid(slash + 1), true};
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
    const Place reached = PlaceOf(output);
    for (const StoreFile& file : files) {
        if (!(reached == PlaceOf(file.path)) && !SameInode(output, file.path)) continue;
        throw StoreError(
            QString("The model file %1 would replace the store's %2 %3: choose another name")
                .arg(QDir::toNativeSeparators(output), file.role,
                     QDir::toNativeSeparators(file.path)));
    }
}

}  // namespace velkora
