// SPDX-License-Identifier: GPL-3.0-or-later
// The window's store: the one connection, the four bound datasets with their
// data sources, and the generation queries, for the life of the window.
#pragma once

#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <memory>

#include "BoundDataset.h"
#include "Connection.h"
#include "ModelSource.h"
#include "ReadSnapshot.h"

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
    // Whether another copy or tool committed a change to the store since the
    // last call; false while the store is not open. Throws StoreError with
    // the database's message when the check fails.
    bool ChangedElsewhere();
    // Milliseconds between two checks worth making on this store's engine.
    int ChangeCheckInterval() const;

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

    // One consistent reading of a model on the store's connection: take the
    // project (ProjectForModel) and run the queries while it lives.
    ReadSnapshot Snapshot() const;
    // The current project for a model: a row being edited or inserted as it
    // is shown, any other as the database holds it now, which may be newer
    // than the list. Throws StoreError when another copy has deleted it.
    ProjectRow ProjectForModel() const;
    // The store's connection, for a write that goes around the datasets (a
    // whole new project: an import, an optimized design). Throws StoreError
    // when the store is not open.
    QSqlDatabase Database() const;
    // The files of the store OpenStore opened (or tried to), taken when it
    // was opened; none after OpenStoreOn.
    const QList<StoreFile>& Files() const;

  signals:
    // Another copy announced a post: ChangedElsewhere() will say so.
    void ChangeAnnounced();

  private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

}  // namespace velkora
