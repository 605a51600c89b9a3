// The two generation queries on a real SQLite file: one project of 200
// elements, each on a schedule of 8 sections, read as a writer reads it
// (QCalc once, QTaper once per element).
#include <benchmark/benchmark.h>

#include <QDir>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "Connection.h"
#include "GenerationQueries.h"

namespace velkora {
namespace {

constexpr int kElements = 200;
constexpr int kSections = 8;
constexpr int kSchedules = 20;

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
        for (int order = 1; order <= kSections; ++order)
            Exec(query, QString("INSERT INTO TAPER_SIZES (ID_TAPER, \"ORDER\", DIAMETER, LENGTH)"
                                " VALUES (%1, %2, %3, 0.25)")
                            .arg(schedule)
                            .arg(order)
                            .arg(30 - 2 * order));
    }
    for (int element = 0; element < kElements; ++element)
        Exec(
            query,
            QString("INSERT INTO ELEMENTS (ID_PROJECT, NOME, TYPE, LEN, ID_TAPER, DISTANCE, HEIGHT)"
                    " VALUES (1, 'E%1', 'Element', 1.9, %2, %3, 10)")
                .arg(element)
                .arg(element % kSchedules + 1)
                .arg(element * 0.3));
    Exec(query, "COMMIT");
}

void BM_ReadLargeProject(benchmark::State& state) {
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    CreateDatabaseFile("velkora.db");
    {
        QSqlDatabase db = OpenDatabaseFile("velkora.db", "bench");
        FillLargeProject(db);
        SqlModelSource source(db);
        std::size_t sections = 0;
        for (auto _ : state) {
            const std::vector<ElementRow> elements = source.ElementsOfProject(DbValue::Integer(1));
            for (const ElementRow& element : elements)
                sections += source.SectionsOfSchedule(element.idTaper).size();
            benchmark::DoNotOptimize(sections);
        }
        state.counters["sections"] = static_cast<double>(kElements * kSections);
    }
    CloseConnection("bench");
    QDir::setCurrent(previous);
}
BENCHMARK(BM_ReadLargeProject)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velkora

BENCHMARK_MAIN();
