// SPDX-License-Identifier: GPL-3.0-or-later
// What each window test starts from, once per provider: a folder of its own
// as the working folder, for PostgreSQL a throwaway database on the test
// server, prompts that record what the window asks, and the window over a
// store. A test program's class derives from it and lists the providers in
// its initTestCase_data.
#pragma once

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <memory>
#include <optional>

#include "Cli.h"
#include "DBNavigator.h"
#include "ProjectStore.h"
#include "RegionalMarks.h"
#include "TestServer.h"
#include "Unit1.h"
#include "VelkoraApplication.h"
#include "WindowDriving.h"

namespace velkora::test {

// Runs velkora-cli in this process; a failure's message goes to the log.
inline int Cli(const QStringList& args) {
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    const int status = RunCli(args, outStream, errStream);
    if (status != 0) qWarning("velkora-cli: %s", qPrintable(err));
    return status;
}

class WindowFixture : public QObject {
  protected:
    std::optional<PgServer> server_;
    std::unique_ptr<ServerDatabase> database_;
    std::unique_ptr<QTemporaryDir> dir_;
    QString previousDir_;
    RecordedPrompts prompts_;
    QStringList& errors_ = prompts_.errors;
    std::unique_ptr<ProjectStore> store_;  // made before the window, gone after it
    std::unique_ptr<TForm1> form_;

    template <class W>
    W* Find(const char* name) {
        return FindWidget<W>(form_.get(), name);
    }
    void ClickNavigator(const char* name, DBNavigator::Button button) {
        QTest::mouseClick(Find<DBNavigator>(name)->ButtonOf(button), Qt::LeftButton);
    }

    // The rows of initTestCase_data: every test runs once per provider.
    static void ProviderRows() {
        QTest::addColumn<TestProvider>("provider");
        QTest::newRow("SQLite") << TestProvider::SQLite;
        QTest::newRow("PostgreSQL") << TestProvider::PostgreSQL;
    }

    // Starts a test in a new working folder with the default regional marks,
    // fresh prompts for the application and, for PostgreSQL, a database on the
    // test server. False when it cannot run here (skipped, or failed where
    // server tests are required); the test then returns at once.
    bool Enter(VelkoraApplication& application) {
        if (!StartServer()) {
            if (ServerTestsRequired())
                QTest::qFail(kHowToRunServerTests, __FILE__, __LINE__);
            else
                QTest::qSkip(kHowToRunServerTests, __FILE__, __LINE__);
            return false;
        }
        dir_ = std::make_unique<QTemporaryDir>();
        if (!QTest::qVerify(dir_->isValid(), "dir_->isValid()", "", __FILE__, __LINE__))
            return false;
        previousDir_ = QDir::currentPath();
        QDir::setCurrent(dir_->path());
        prompts_ = RecordedPrompts();
        SetCurrentRegionalMarks(RegionalMarks{});
        application.SetPrompts(&prompts_);
        return true;
    }

    // `velkora-cli init` for a store of the provider under test.
    QStringList InitArguments() const {
        QStringList init{"init"};
        if (server_)
            init << "--provider"
                 << "postgresql"
                 << "--server" << server_->DataSource() << "--database" << database_->Name()
                 << "--user" << server_->user;
        return init;
    }

    // The window over a new store of the working folder, shown and with its
    // Configuration page made; true when it became the active window.
    bool OpenWindow() {
        store_ = std::make_unique<ProjectStore>();
        form_ = std::make_unique<TForm1>(*store_);
        form_->show();
        form_->activateWindow();
        const bool active = QTest::qWaitForWindowActive(form_.get());
        if (!WaitForConfigurationPage(form_.get())) qFatal("the window made no Configuration page");
        return active;
    }

    // The window, its store, the server database and the folder go, in that
    // order.
    void Leave() {
        form_.reset();
        store_.reset();
        database_.reset();
        server_.reset();
        if (!previousDir_.isEmpty()) QDir::setCurrent(previousDir_);
        dir_.reset();
    }

  private:
    // For PostgreSQL a database on the test server; false when none is set up.
    bool StartServer() {
        QFETCH_GLOBAL(TestProvider, provider);
        if (provider != TestProvider::PostgreSQL) return true;
        server_ = PgServerFromEnvironment();
        if (!server_) return false;
        database_ = std::make_unique<ServerDatabase>(*server_);
        return true;
    }
};

}  // namespace velkora::test
