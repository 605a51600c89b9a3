// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProjectStore.h"

#include <array>
#include <stdexcept>

#include "Connection.h"
#include "DatasetModel.h"
#include "DbValueFromVariant.h"
#include "GenerationQueries.h"
#include "SchemaTable.h"
#include "StoreChangeWatch.h"
#include "StoreError.h"
#include "TableDataset.h"

namespace velkora {
namespace {

const QString kConnectionName = QStringLiteral("velkora-store");

}  // namespace

struct ProjectStore::Parts {
    TableDataset taper{TaperDefinition()};
    TableDataset taperSizes{TaperSizesDefinition()};
    TableDataset projects{ProjectsDefinition()};
    TableDataset elements{ElementsDefinition()};
    DatasetModel dsTaper{taper};
    DatasetModel dsTaperSizes{taperSizes};
    DatasetModel dsProjects{projects};
    DatasetModel dsElements{elements};
    std::unique_ptr<SqlModelSource> queries;
    std::unique_ptr<StoreChangeWatch> watch;
    bool ownsConnection = false;
    QString connectionName;
    QList<StoreFile> files;

    Parts() {
        for (TableDataset* dataset : InOpeningOrder()) Relate(*dataset);
    }

    // Masters and lookups as the schema gives them.
    void Relate(TableDataset& dataset) {
        for (const SchemaColumn& column : ColumnsOf(dataset.TableName())) {
            if (column.role == ColumnRole::Master)
                dataset.SetMaster(DatasetOf(column.refersTo), column.name,
                                  KeyColumnOf(column.refersTo));
            else if (column.role == ColumnRole::Lookup)
                dataset.SetLookup(column.name, column.through, DatasetOf(column.refersTo),
                                  KeyColumnOf(column.refersTo), column.shows);
        }
    }

    TableDataset& DatasetOf(const QString& table) {
        for (TableDataset* dataset : InOpeningOrder())
            if (dataset->TableName() == table) return *dataset;
        throw std::logic_error("no dataset for table " + table.toStdString());
    }

    void OpenDatasets(const QSqlDatabase& db) {
        connectionName = db.connectionName();
        const RegionalMarks marks = CurrentRegionalMarks();
        for (TableDataset* dataset : InOpeningOrder()) {
            dataset->SetConnection(db);
            dataset->SetKeyMarks(marks);
        }
        // A failure leaves the tables after it closed.
        for (TableDataset* dataset : InOpeningOrder()) dataset->Open();
        queries = std::make_unique<SqlModelSource>(db);
    }

    // Watches for other copies' commits from the state just read, and tells
    // them of this one's posts.
    void Watch(ProjectStore& store, const QSqlDatabase& db) {
        watch = std::make_unique<StoreChangeWatch>(db);
        QObject::connect(watch.get(), &StoreChangeWatch::Announced, &store,
                         &ProjectStore::ChangeAnnounced);
        for (TableDataset* dataset : InOpeningOrder())
            // A failed announcement only delays other copies to their next check.
            QObject::connect(dataset, &BoundDataset::Stored, watch.get(),
                             [watch = watch.get()] { watch->Announce(); });
    }

    // The order of opening, which is also the order of giving up.
    std::array<TableDataset*, 4> InOpeningOrder() {
        return {&taper, &taperSizes, &projects, &elements};
    }
};

ProjectStore::ProjectStore(QObject* parent) : QObject(parent), parts_(std::make_unique<Parts>()) {}

ProjectStore::~ProjectStore() { CloseStore(); }

void ProjectStore::OpenStore(const QString& dataLinkFile) {
    CloseStore();
    parts_->files = StoreFilesOf(dataLinkFile);
    const QSqlDatabase db = OpenConnection(dataLinkFile, kConnectionName);
    parts_->ownsConnection = true;
    parts_->OpenDatasets(db);
    parts_->Watch(*this, db);
}

void ProjectStore::OpenStoreOn(const QSqlDatabase& db) {
    CloseStore();
    parts_->files.clear();
    parts_->OpenDatasets(db);
    parts_->Watch(*this, db);
}

void ProjectStore::CloseStore() {
    parts_->watch.reset();
    parts_->queries.reset();
    auto order = parts_->InOpeningOrder();
    for (auto it = order.rbegin(); it != order.rend(); ++it) (*it)->Close();
    if (parts_->ownsConnection) {
        parts_->ownsConnection = false;
        CloseConnection(kConnectionName);
    }
}

void ProjectStore::Refresh() {
    parts_->projects.PostPending();
    parts_->taper.PostPending();
    parts_->projects.Refresh();
    parts_->taper.Refresh();
}

bool ProjectStore::ChangedElsewhere() { return parts_->watch && parts_->watch->Changed(); }

int ProjectStore::ChangeCheckInterval() const {
    return parts_->watch ? parts_->watch->CheckInterval() : 1000;
}

BoundDataset& ProjectStore::TProjects() { return parts_->projects; }
BoundDataset& ProjectStore::TElements() { return parts_->elements; }
BoundDataset& ProjectStore::TTaper() { return parts_->taper; }
BoundDataset& ProjectStore::TTaperSizes() { return parts_->taperSizes; }

DatasetModel& ProjectStore::DSProjects() { return parts_->dsProjects; }
DatasetModel& ProjectStore::DSElements() { return parts_->dsElements; }
DatasetModel& ProjectStore::DSTaper() { return parts_->dsTaper; }
DatasetModel& ProjectStore::DSTaperSizes() { return parts_->dsTaperSizes; }

ModelSource& ProjectStore::Queries() {
    if (!parts_->queries)
        throw StoreError("The project store is not open: the generation queries cannot run");
    return *parts_->queries;
}

ProjectRow ProjectStore::CurrentProject() const {
    const TableDataset& projects = parts_->projects;
    const int row = projects.CurrentRow();
    if (row < 0) return {};
    return ProjectRowFrom([&](const char* field) {
        return DbValueFromVariant(projects.Value(row, projects.FieldIndex(field)));
    });
}

ReadSnapshot ProjectStore::Snapshot() const {
    const QSqlDatabase db = QSqlDatabase::database(parts_->connectionName, false);
    if (!db.isOpen()) throw StoreError("The project store is not open: the model cannot be read");
    return ReadSnapshot(db);
}

ProjectRow ProjectStore::ProjectForModel() const {
    const TableDataset& projects = parts_->projects;
    const int row = projects.CurrentRow();
    if (row < 0 || projects.State() != DatasetState::Browse) return CurrentProject();
    const QVariant id = projects.Value(row, projects.FieldIndex(schema::kId));
    const std::optional<ProjectRow> stored =
        ReadProjectRow(QSqlDatabase::database(parts_->connectionName, false), id.toLongLong());
    if (!stored)
        throw StoreError(
            "The project is no longer in the database: another user has deleted it. Press F5 "
            "to see the current projects");
    return *stored;
}

QSqlDatabase ProjectStore::Database() const {
    const QSqlDatabase db = QSqlDatabase::database(parts_->connectionName, false);
    if (!db.isOpen()) throw StoreError("The project store is not open: nothing can be stored");
    return db;
}

const QList<StoreFile>& ProjectStore::Files() const { return parts_->files; }

}  // namespace velkora
