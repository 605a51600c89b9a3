// SPDX-License-Identifier: GPL-3.0-or-later
// Notices what other copies and tools commit to the store, cheaply and often.
#pragma once

#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

namespace velkora {

struct EngineWatch;

class StoreChangeWatch : public QObject {
    Q_OBJECT
  public:
    // Takes the store's state on this connection as the one seen, and listens
    // for other copies' announcements where the engine has them. Throws
    // StoreError with the database's message.
    explicit StoreChangeWatch(const QSqlDatabase& db, QObject* parent = nullptr);
    ~StoreChangeWatch() override;
    StoreChangeWatch(const StoreChangeWatch&) = delete;
    StoreChangeWatch& operator=(const StoreChangeWatch&) = delete;

    // Whether another connection committed a change since the last call (or
    // since the watch began). Throws StoreError with the database's message.
    bool Changed();
    // Tells other copies that this connection wrote to the store; they hear it
    // when the write commits. False where the engine has no announcements or
    // this one failed: other copies then see the write at their next check.
    bool Announce();
    // How often Changed() is worth asking, in milliseconds.
    int CheckInterval() const;

  signals:
    // Another copy announced a write: Changed() will say so.
    void Announced();

  private:
    QVariantList Read(QString (*makeQuery)(const QSqlDatabase& db)) const;

    QString connectionName_;
    const EngineWatch* engine_ = nullptr;
    QVariantList gate_;
    QVariantList version_;
    bool announced_ = false;
};

}  // namespace velkora
