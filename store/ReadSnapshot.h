// SPDX-License-Identifier: GPL-3.0-or-later
// One consistent reading of the store: everything read while a snapshot
// lives comes from one state of the database, even while another copy posts.
// A model reads its project, elements and sections inside one, so it never
// mixes two states.
#pragma once

#include <QSqlDatabase>

namespace velkora {

class ReadSnapshot {
  public:
    // Begins a read transaction on the connection; throws StoreError with the
    // database's message. Nothing may be written on the connection meanwhile.
    explicit ReadSnapshot(const QSqlDatabase& db);
    // Ends the transaction, which wrote nothing.
    ~ReadSnapshot();
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;

  private:
    QSqlDatabase db_;
};

}  // namespace velkora
