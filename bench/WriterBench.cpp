// Writing the model of a large project (200 elements on schedules of 8
// sections, 3,000 wires) to a file, against writing the same bytes with one
// fwrite, measured in the same run. The project comes from memory and from a
// SQLite file read through the generation queries.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "Connection.h"
#include "GenerationQueries.h"
#include "ModelWriters.h"

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
    if (!query.exec(statement)) throw std::runtime_error(statement.toStdString());
}

void FillLargeProject(QSqlDatabase& db) {
    QSqlQuery query(db);
    Exec(query, "BEGIN");
    Exec(query,
         "INSERT INTO PROJECTS (ID, NOME, F0, SOURCE_WIRE, HEIGHT) VALUES (1, 'Large', 144.3, "
         "'w2c', 0)");
    for (int schedule = 1; schedule <= kSchedules; ++schedule) {
        Exec(query,
             QString("INSERT INTO TAPER (ID, NOME, UM) VALUES (%1, 's', 'm,mm')").arg(schedule));
        for (int order = 1; order <= kSections; ++order) {
            Exec(query, QString("INSERT INTO TAPER_SIZES (ID_TAPER, \"ORDER\", DIAMETER, LENGTH)"
                                " VALUES (%1, %2, %3, %4)")
                            .arg(schedule)
                            .arg(order)
                            .arg(30 - 2 * order)
                            .arg(kSectionLength));
        }
    }
    for (int element = 0; element < kElements; ++element) {
        Exec(query, QString("INSERT INTO ELEMENTS (ID_PROJECT, NOME, TYPE, LEN, ID_TAPER, "
                            "DISTANCE, HEIGHT) VALUES (1, 'E%1', 'Element', %2, %3, %4, 10)")
                        .arg(element)
                        .arg(kLen)
                        .arg(element % kSchedules + 1)
                        .arg(element * 0.3));
    }
    Exec(query, "COMMIT");
}

// Runs body with a SqlModelSource on a fresh SQLite file of the large project.
template <class Body>
void WithSqlSource(benchmark::State& state, Body body) {
    QTemporaryDir dir;
    const QString database = dir.filePath("velkora.db");
    CreateDatabaseFile(database);
    {
        QSqlDatabase db = OpenDatabaseFile(database, "writer-bench");
        FillLargeProject(db);
        SqlModelSource source(db);
        const ProjectRow project = ReadFirstProjectRow(db);
        body(state, source, project);
    }
    CloseConnection("writer-bench");
}

void BM_QueriesFromSqlite(benchmark::State& state) {
    WithSqlSource(state, [](benchmark::State& s, SqlModelSource& source, const ProjectRow& p) {
        std::size_t sections = 0;
        for (auto _ : s) {
            for (const ElementRow& element : source.ElementsOfProject(p.id)) {
                sections += source.SectionsOfSchedule(element.idTaper).size();
            }
            benchmark::DoNotOptimize(sections);
        }
    });
}

void BM_MmanaFileFromSqlite(benchmark::State& state) {
    WithSqlSource(state, [](benchmark::State& s, SqlModelSource& source, const ProjectRow& p) {
        const ModelJob job{p, source, MainLobeAxis::X, kMarks};
        const std::string path = Target("sql.maa");
        for (auto _ : s) WriteMmanaModel(path, job);
        SetBytes(s, MmanaModelText(job).size());
    });
}

void BM_EzNecFileFromSqlite(benchmark::State& state) {
    WithSqlSource(state, [](benchmark::State& s, SqlModelSource& source, const ProjectRow& p) {
        const ModelJob job{p, source, MainLobeAxis::X, kMarks};
        const std::string path = Target("sql.txt");
        for (auto _ : s) WriteEzNecModel(path, job);
        SetBytes(s, EzNecModelText(job).size());
    });
}

BENCHMARK(BM_RawFwriteMmana)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawFwriteFsyncMmana)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawFwriteEzNec)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MmanaTextFromMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MmanaFileFromMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EzNecFileFromMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QueriesFromSqlite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MmanaFileFromSqlite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EzNecFileFromSqlite)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velkora

BENCHMARK_MAIN();
