// SPDX-License-Identifier: GPL-3.0-or-later
// A data source: the Qt item model through which a grid sees a bound dataset.
// One column per field of the dataset in its order; the grid picks and orders
// the columns it shows.
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "BoundDataset.h"

namespace velkora {

class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // Qt::UserRole + 1 on the vertical header: the DatasetState of the row,
    // as an int, for the current row; nothing for other rows.
    static constexpr int IndicatorRole = Qt::UserRole + 1;

    explicit DatasetModel(BoundDataset& dataset, QObject* parent = nullptr);
    BoundDataset& Dataset() const { return dataset_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // A view's own column title (Qt::DisplayRole) or title alignment
    // (Qt::TextAlignmentRole) on the horizontal header; other roles are refused.
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Display and edit roles give the cell text; numbers align right. setData
    // with Qt::EditRole moves the dataset to the index's row and writes the
    // text with SetFieldText: it throws what those throw (the caller shows the
    // message), so call it from code that catches.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  private:
    bool IsCell(const QModelIndex& index) const;

    BoundDataset& dataset_;
    // By column: the titles and alignments a view set in place of the field's.
    std::vector<QVariant> titles_;
    std::vector<QVariant> alignments_;
};

}  // namespace velkora
