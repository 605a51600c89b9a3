// SPDX-License-Identifier: GPL-3.0-or-later
// How long another copy's commit takes to reach the window, and what the window's check costs, per
// provider.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <random>
#include <stdexcept>
#include <vector>

#include "Cli.h"
#include "Connection.h"
#include "ProjectStore.h"
#include "TestServer.h"
#include "Unit1.h"
#include "VelkoraApplication.h"

namespace velkora {
namespace {

using test::TestProvider;

// A sample store of the provider in a folder of its own, made current, with
// `elements` more elements than the sample has, and another copy on it.
class Store {
  public:
    Store(TestProvider provider, int elements) {
        if (!dir_.isValid()) throw std::runtime_error("no temporary folder");
        QDir::setCurrent(dir_.path());
        QStringList args{"init", "--sample"};
        if (provider == TestProvider::PostgreSQL) {
            const std::optional<test::PgServer> server = test::PgServerFromEnvironment();
            if (!server) throw std::runtime_error("no server");
            database_ = std::make_unique<test::ServerDatabase>(*server);
            args << "--provider"
                 << "postgresql"
                 << "--server" << server->DataSource() << "--database" << database_->Name()
                 << "--user" << server->user;
        }
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        if (RunCli(args, outStream, errStream) != 0) throw std::runtime_error(err.toStdString());
        other_ = OpenConnection("velkora.udl", "other-copy");
        Exec(QString("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1)"
                     " INSERT INTO \"ELEMENTS\" (\"ID_PROJECT\", \"NOME\", \"LEN\")"
                     " SELECT 2, 'E', 0.5 FROM n WHERE i <= %1")
                 .arg(elements));
        copy_.OpenStoreOn(other_);
    }
    ~Store() {
        copy_.CloseStore();
        other_ = QSqlDatabase();
        CloseConnection("other-copy");
    }
    void Exec(const QString& sql) {
        QSqlQuery query(other_);
        if (!query.exec(sql)) throw std::runtime_error(query.lastError().text().toStdString());
    }
    // A post of another copy of the program, which announces it.
    void CopyAddsProject() {
        BoundDataset& projects = copy_.TProjects();
        projects.Append();
        projects.SetFieldText(projects.FieldIndex("NOME"), "Live");
        projects.Post();
    }

  private:
    QTemporaryDir dir_;
    std::unique_ptr<test::ServerDatabase> database_;
    QSqlDatabase other_;
    ProjectStore copy_;
};

TestProvider ProviderOf(const benchmark::State& state) {
    return state.range(0) == 0 ? TestProvider::SQLite : TestProvider::PostgreSQL;
}

bool Available(benchmark::State& state) {
    if (ProviderOf(state) == TestProvider::SQLite || test::PgServerFromEnvironment()) return true;
    state.SkipWithError("no PostgreSQL test server");
    return false;
}

// One check of the window's store for other copies' commits, with nothing changed.
void ChangeCheck(benchmark::State& state) {
    if (!Available(state)) return;
    Store store(ProviderOf(state), int(state.range(1)));
    ProjectStore window;
    window.OpenStoreOn(OpenConnection("velkora.udl", "window"));
    for (auto _ : state) benchmark::DoNotOptimize(window.ChangedElsewhere());
    window.CloseStore();
    CloseConnection("window");
}
BENCHMARK(ChangeCheck)->ArgsProduct({{0, 1}, {0, 5000}})->Unit(benchmark::kMicrosecond);

// From another copy's post (range 1: 1) or another tool's commit (0) to the
// new row in the window's projects grid, the window idle.
void CommitToScreen(benchmark::State& state) {
    if (!Available(state)) return;
    Store store(ProviderOf(state), 0);
    ProjectStore windowStore;
    TForm1 form(windowStore);
    form.show();
    BoundDataset& projects = form.Store().TProjects();
    std::vector<double> times;
    std::mt19937 random(16);
    for (auto _ : state) {
        // Commits come at any moment of the window's check cycle.
        state.PauseTiming();
        QElapsedTimer idle;
        idle.start();
        const int pause = std::uniform_int_distribution<int>(0, 600)(random);
        while (idle.elapsed() < pause) QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        state.ResumeTiming();
        const int rows = projects.RowCount();
        if (state.range(1) == 1)
            store.CopyAddsProject();
        else
            store.Exec("INSERT INTO \"PROJECTS\" (\"NOME\") VALUES ('Live')");
        const auto start = std::chrono::steady_clock::now();
        while (projects.RowCount() == rows)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        times.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        state.SetIterationTime(times.back());
    }
    std::sort(times.begin(), times.end());
    state.counters["median_ms"] = times[times.size() / 2] * 1000;
    state.counters["max_ms"] = times.back() * 1000;
}
BENCHMARK(CommitToScreen)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Iterations(20)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velkora

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    velkora::VelkoraApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
