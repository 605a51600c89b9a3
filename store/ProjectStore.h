// The window's store: the one connection, the four bound datasets with their
// data sources, and the generation queries, for the life of the window.
#pragma once

#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <memory>

#include "BoundDataset.h"
#include "ModelSource.h"

namespace velkora {

class DatasetModel;

class ProjectStore : public QObject {
    Q_OBJECT
  public:
    explicit ProjectStore(QObject* parent = nullptr);
    ~ProjectStore() override;

    // Connects through the data-link file (relative to the working directory)
    // and opens TTaper, TTaperSizes, TProjects, TElements in that order. On a
    // failure the datasets not yet opened stay closed and StoreError is thrown.
    // The regional marks are taken here for the number cells' key filter.
    void OpenStore(const QString& dataLinkFile = QStringLiteral("velkora.udl"));
    // The same on a connection opened elsewhere (tests, tools); the store
    // uses it but does not close it.
    void OpenStoreOn(const QSqlDatabase& db);
    // Re-reads the four tables (F5), keeping each current row where it still
    // exists. Pending edits are posted first; a failed post throws and leaves
    // the tables as they were.
    void Refresh();
    // Closes the datasets, dropping unposted changes, and the own connection.
    void CloseStore();

    BoundDataset& TProjects();
    BoundDataset& TElements();
    BoundDataset& TTaper();
    BoundDataset& TTaperSizes();

    DatasetModel& DSProjects();
    DatasetModel& DSElements();
    DatasetModel& DSTaper();
    DatasetModel& DSTaperSizes();

    // QCalc and QTaper on the store's connection.
    ModelSource& Queries();
    // The current row of TProjects as the writers read it (all null when none).
    ProjectRow CurrentProject() const;

  private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

}  // namespace velkora
