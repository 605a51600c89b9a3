// SPDX-License-Identifier: GPL-3.0-or-later
#include <unistd.h>

#include <QProcess>

#include "Connection.h"
#include "StoreError.h"
#include "StoreFileGuard.h"
#include "StoreTestFiles.h"

namespace velkora {
namespace {

class StoreFileGuardTest : public TemporaryWorkingDirectory {
  protected:
    void SetUp() override {
        TemporaryWorkingDirectory::SetUp();
        QDir().mkdir("sub");
        WriteFile("velkora.udl", "Provider=SQLite;Data Source=sub/../velkora.db");
        WriteFile("velkora.db", "db");
        WriteFile("velkora.db-wal", "wal");
    }
    // The store file the guard names for an output path; empty when allowed.
    std::string Refused(const QString& output) {
        try {
            RefuseStoreFileAsOutput(output, StoreFilesOf("velkora.udl"));
        } catch (const StoreError& e) {
            return e.what();
        }
        return {};
    }
};

TEST_F(StoreFileGuardTest, EveryWayToReachAStoreFileIsRefused) {
    ASSERT_EQ(::symlink("velkora.db", "db-link"), 0);
    ASSERT_EQ(::symlink("sub/../velkora.db-journal", "journal-link"), 0);  // dangling
    ASSERT_EQ(::symlink("../velkora.udl", "sub/link.udl"), 0);
    ASSERT_EQ(::symlink(Path("sub").toUtf8().constData(), "sub-link"), 0);
    ASSERT_EQ(::link("velkora.db", "hard.maa"), 0);
    const struct {
        const char* output;
        const char* role;  // empty: the output is allowed
    } cases[] = {
        {"velkora.db", "database file"},
        {"./sub/../velkora.db", "database file"},
        {"db-link", "database file"},
        {"sub-link/../velkora.db", "database file"},
        {"hard.maa", "database file"},
        {"velkora.db-wal", "write-ahead log"},
        {"velkora.db-shm", "shared-memory file"},
        {"journal-link", "rollback journal"},
        {"velkora.udl", "data-link file"},
        {"sub/link.udl", "data-link file"},
        {"sub/velkora.udl", ""},
        {"velkora.db.maa", ""},
        {"model.maa", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.output);
        const std::string message = Refused(c.output);
        if (*c.role == '\0') {
            EXPECT_EQ(message, "");
            continue;
        }
        EXPECT_EQ(message.rfind(std::string("The model file ") + c.output +
                                    " would replace the store's " + c.role,
                                0),
                  0u)
            << message;
        EXPECT_NE(message.find(": choose another name"), std::string::npos) << message;
    }
}

// The same folder mounted a second time has other paths but the same device
// and inode, also for a companion file SQLite has not made yet.
TEST_F(StoreFileGuardTest, AFolderMountedElsewhereIsTheSameFolder) {
    QTemporaryDir elsewhere;
    const QString alias = elsewhere.filePath("alias");
    QDir().mkdir(alias);
    if (QProcess::execute("mount", {"--bind", dir_.path(), alias}) != 0)
        GTEST_SKIP() << "bind mounts need root";
    const std::string shm = Refused(alias + "/velkora.db-shm");
    const std::string model = Refused(alias + "/model.maa");
    QProcess::execute("umount", {alias});
    EXPECT_NE(shm.find("shared-memory file"), std::string::npos) << shm;
    EXPECT_EQ(model, "");
}

TEST_F(StoreFileGuardTest, AnUnreadableDataLinkFileStillGuardsItself) {
    QFile::remove("velkora.udl");
    EXPECT_EQ(StoreFilesOf("velkora.udl").size(), 1);
    EXPECT_NE(Refused("velkora.udl"), "");
}

}  // namespace
}  // namespace velkora
