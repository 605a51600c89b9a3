// SPDX-License-Identifier: GPL-3.0-or-later
// Writing the model of a large project (200 elements on schedules of 8
// sections, 3,000 wires) to a file, against writing the same bytes with one
// fwrite, measured in the same run. The project comes from memory, from a
// SQLite file and from a database on a PostgreSQL server (the test server of
// scripts/pg-server.sh, which scripts/bench.sh starts) read through the
// generation queries, each model in one read snapshot as velkora-cli reads it.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>

#include "Connection.h"
#include "DataLink.h"
#include "GenerationQueries.h"
#include "ModelWriters.h"
#include "ReadSnapshot.h"
#include "StoreSql.h"
#include "TestServer.h"

namespace velkora {
namespace {

constexpr int kElements = 200;
constexpr int kSections = 8;
constexpr int kSchedules = 20;
constexpr double kSectionLength = 0.25;
// Longer than a whole schedule, so every section yields its wires.
constexpr double kLen = 2.1;

class MemorySource : public ModelSource {
  public:
    MemorySource() {
        for (int element = 0; element < kElements; ++element) {
            ElementRow row;
            row.id = DbValue::Integer(element + 1);
            row.idProject = DbValue::Integer(1);
            row.nome = DbValue::Text("E" + std::to_string(element));
            row.type = DbValue::Text("Element");
            row.len = DbValue::Real(kLen);
            row.idTaper = DbValue::Integer(element % kSchedules + 1);
            row.distance = DbValue::Real(element * 0.3);
            row.height = DbValue::Real(10);
            elements_.push_back(row);
        }
        for (int order = 1; order <= kSections; ++order) {
            TaperSection section;
            section.idTaper = DbValue::Integer(1);
            section.order = DbValue::Integer(order);
            section.diameter = DbValue::Real(30 - 2 * order);
            section.length = DbValue::Real(kSectionLength);
            sections_.push_back(std::move(section));
        }
    }
    std::vector<ElementRow> ElementsOfProject(const DbValue&) override { return elements_; }
    std::vector<TaperSection> SectionsOfSchedule(const DbValue&) override { return sections_; }

  private:
    std::vector<ElementRow> elements_;
    std::vector<TaperSection> sections_;
};

const ProjectRow kProject{DbValue::Integer(1), DbValue::Text("Large"), DbValue::Real(144.3),
                          DbValue::Text("w2c"), DbValue::Integer(0)};
const RegionalMarks kMarks{};

// A temporary folder for the files written, removed when the program ends.
class BenchFolder {
  public:
    BenchFolder() {
        std::string pattern = "/tmp/velkora-bench-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
        path_ = pattern;
    }
    ~BenchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

std::string Folder() {
    static const BenchFolder folder;
    return folder.Path();
}

std::string Target(const char* name) { return Folder() + "/" + name; }

void SetBytes(benchmark::State& state, std::size_t bytes) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["bytes"] = static_cast<double>(bytes);
}

void RawWrite(benchmark::State& state, bool mmana, bool sync) {
    MemorySource source;
    const ModelJob job{kProject, source, MainLobeAxis::X, kMarks};
    const std::string bytes = mmana ? MmanaModelText(job) : EzNecModelText(job);
    const std::string path = Target("raw.txt");
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (file == nullptr) throw std::runtime_error("fopen");
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        if (sync) {
            std::fflush(file);
            ::fsync(::fileno(file));
        }
        std::fclose(file);
    }
    SetBytes(state, bytes.size());
}

void BM_RawFwriteMmana(benchmark::State& state) { RawWrite(state, true, false); }
void BM_RawFwriteFsyncMmana(benchmark::State& state) { RawWrite(state, true, true); }
void BM_RawFwriteEzNec(benchmark::State& state) { RawWrite(state, false, false); }

void BM_MmanaTextFromMemory(benchmark::State& state) {
    MemorySource source;
    const ModelJob job{kProject, source, MainLobeAxis::X, kMarks};
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string text = MmanaModelText(job);
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    SetBytes(state, bytes);
}

void BM_MmanaFileFromMemory(benchmark::State& state) {
    MemorySource source;
    const ModelJob job{kProject, source, MainLobeAxis::X, kMarks};
    const std::string path = Target("model.maa");
    for (auto _ : state) WriteMmanaModel(path, job);
    SetBytes(state, MmanaModelText(job).size());
}

void BM_EzNecFileFromMemory(benchmark::State& state) {
    MemorySource source;
    const ModelJob job{kProject, source, MainLobeAxis::X, kMarks};
    const std::string path = Target("model.txt");
    for (auto _ : state) WriteEzNecModel(path, job);
    SetBytes(state, EzNecModelText(job).size());
}

void Exec(QSqlQuery& query, const QString& statement) {
    if (!query.exec(statement))
        throw std::runtime_error(statement.toStdString() + ": " +
                                 query.lastError().text().toStdString());
}

// The large project, with names quoted for the connection's driver.
void FillLargeProject(QSqlDatabase& db) {
    const auto name = [&](const char* identifier) { return QuotedName(db, identifier); };
    QSqlQuery query(db);
    if (!db.transaction()) throw std::runtime_error("BEGIN");
    Exec(query, QString("INSERT INTO %1 (%2, %3, %4, %5, %6) VALUES (1, 'Large', 144.3, 'w2c', 0)")
                    .arg(name("PROJECTS"), name("ID"), name("NOME"), name("F0"),
                         name("SOURCE_WIRE"), name("HEIGHT")));
    for (int schedule = 1; schedule <= kSchedules; ++schedule) {
        Exec(query, QString("INSERT INTO %1 (%2, %3, %4) VALUES (%5, 's', 'm,mm')")
                        .arg(name("TAPER"), name("ID"), name("NOME"), name("UM"))
                        .arg(schedule));
        for (int order = 1; order <= kSections; ++order) {
            Exec(query, QString("INSERT INTO %1 (%2, %3, %4, %5) VALUES (%6, %7, %8, %9)")
                            .arg(name("TAPER_SIZES"), name("ID_TAPER"), name("ORDER"),
                                 name("DIAMETER"), name("LENGTH"))
                            .arg(schedule)
                            .arg(order)
                            .arg(30 - 2 * order)
                            .arg(kSectionLength));
        }
    }
    for (int element = 0; element < kElements; ++element) {
        Exec(query,
             QString("INSERT INTO %1 (%2, %3, %4, %5, %6, %7, %8) VALUES (1, 'E%9', 'Element', "
                     "%10, %11, %12, 10)")
                 .arg(name("ELEMENTS"), name("ID_PROJECT"), name("NOME"), name("TYPE"), name("LEN"),
                      name("ID_TAPER"), name("DISTANCE"), name("HEIGHT"))
                 .arg(element)
                 .arg(kLen)
                 .arg(element % kSchedules + 1)
                 .arg(element * 0.3));
    }
    if (!db.commit()) throw std::runtime_error("COMMIT");
}

// What a benchmark does with the large project's store.
using Body = std::function<void(benchmark::State& state, const QSqlDatabase& db,
                                SqlModelSource& source, const ProjectRow& project)>;
// Makes the store and runs a body on it.
using Store = void (*)(benchmark::State& state, const Body& body);

// Runs body with a SqlModelSource on the large project in a store named by
// the data-link file; the connection is closed afterwards.
void WithStore(benchmark::State& state, const QString& dataLink, const Body& body) {
    {
        QSqlDatabase db = OpenConnection(dataLink, "writer-bench");
        FillLargeProject(db);
        SqlModelSource source(db);
        const ProjectRow project = ReadFirstProjectRow(db);
        body(state, db, source, project);
    }
    CloseConnection("writer-bench");
}

// A fresh SQLite file of the large project.
void WithSqlite(benchmark::State& state, const Body& body) {
    QTemporaryDir dir;
    CreateDatabaseFile(dir.filePath("velkora.db"));
    const QString link = dir.filePath("velkora.udl");
    QFile file(link);
    if (!file.open(QIODevice::WriteOnly)) throw std::runtime_error("velkora.udl");
    file.write("Provider=SQLite;Data Source=" + dir.filePath("velkora.db").toUtf8());
    file.close();
    WithStore(state, link, body);
}

// A fresh database of the large project on the test server.
void WithServer(benchmark::State& state, const Body& body) {
    const std::optional<test::PgServer> server = test::PgServerFromEnvironment();
    if (!server) {
        state.SkipWithError(test::kHowToRunServerTests);
        return;
    }
    const test::ServerDatabase database(*server);
    QTemporaryDir dir;
    const QString link = dir.filePath("velkora.udl");
    QFile file(link);
    if (!file.open(QIODevice::WriteOnly)) throw std::runtime_error("velkora.udl");
    file.write(database.LinkLine());
    file.close();
    CreateServerStore(ReadDataLink(link));
    WithStore(state, link, body);
}

// Every element's sections, as a model reads them (each schedule once).
void Queries(benchmark::State& state, Store with) {
    with(state, [](benchmark::State& s, const QSqlDatabase& db, SqlModelSource& source,
                   const ProjectRow& p) {
        std::size_t sections = 0;
        for (auto _ : s) {
            const ReadSnapshot snapshot(db);
            for (const ElementRow& element : source.ElementsOfProject(p.id))
                sections += source.SectionsOfSchedule(element.idTaper).size();
            benchmark::DoNotOptimize(sections);
        }
    });
}

void ModelFile(benchmark::State& state, Store with, bool mmana) {
    with(state, [mmana](benchmark::State& s, const QSqlDatabase& db, SqlModelSource& source,
                        const ProjectRow& p) {
        const ModelJob job{p, source, MainLobeAxis::X, kMarks};
        const std::string path = Target(mmana ? "sql.maa" : "sql.txt");
        for (auto _ : s) {
            const ReadSnapshot snapshot(db);
            if (mmana)
                WriteMmanaModel(path, job);
            else
                WriteEzNecModel(path, job);
        }
        SetBytes(s, (mmana ? MmanaModelText(job) : EzNecModelText(job)).size());
    });
}

void BM_QueriesFromSqlite(benchmark::State& state) { Queries(state, WithSqlite); }
void BM_QueriesFromServer(benchmark::State& state) { Queries(state, WithServer); }
void BM_MmanaFileFromSqlite(benchmark::State& state) { ModelFile(state, WithSqlite, true); }
void BM_MmanaFileFromServer(benchmark::State& state) { ModelFile(state, WithServer, true); }
void BM_EzNecFileFromSqlite(benchmark::State& state) { ModelFile(state, WithSqlite, false); }
void BM_EzNecFileFromServer(benchmark::State& state) { ModelFile(state, WithServer, false); }

BENCHMARK(BM_RawFwriteMmana)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawFwriteFsyncMmana)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawFwriteEzNec)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MmanaTextFromMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MmanaFileFromMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EzNecFileFromMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QueriesFromSqlite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QueriesFromServer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MmanaFileFromSqlite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MmanaFileFromServer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EzNecFileFromSqlite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EzNecFileFromServer)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velkora

BENCHMARK_MAIN();
