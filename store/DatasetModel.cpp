// SPDX-License-Identifier: GPL-3.0-or-later
#include "DatasetModel.h"

namespace velkora {

DatasetModel::DatasetModel(BoundDataset& dataset, QObject* parent)
    : QAbstractTableModel(parent), dataset_(dataset) {
    connect(&dataset, &BoundDataset::RowsAboutToReset, this, [this] { beginResetModel(); });
    connect(&dataset, &BoundDataset::RowsReset, this, [this] { endResetModel(); });
    connect(&dataset, &BoundDataset::RowAboutToBeInserted, this,
            [this](int row) { beginInsertRows({}, row, row); });
    connect(&dataset, &BoundDataset::RowInserted, this, [this] { endInsertRows(); });
    connect(&dataset, &BoundDataset::RowAboutToBeRemoved, this,
            [this](int row) { beginRemoveRows({}, row, row); });
    connect(&dataset, &BoundDataset::RowRemoved, this, [this] { endRemoveRows(); });
    connect(&dataset, &BoundDataset::RowChanged, this, [this](int row) {
        if (row >= 0 && row < rowCount() && columnCount() > 0)
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
    connect(&dataset, &BoundDataset::FieldValuesChanged, this, [this](int field) {
        if (rowCount() > 0 && field >= 0 && field < columnCount())
            emit dataChanged(index(0, field), index(rowCount() - 1, field));
    });
    // The indicator moves with the current row and shows its state.
    const auto indicatorChanged = [this] {
        if (rowCount() > 0) emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
    };
    connect(&dataset, &BoundDataset::StateChanged, this, indicatorChanged);
    connect(&dataset, &BoundDataset::CurrentRowChanged, this, indicatorChanged);
}

// Views and testers ask about invalid indexes too: answer quietly.
bool DatasetModel::IsCell(const QModelIndex& index) const {
    return index.isValid() && index.model() == this && !index.parent().isValid() &&
           index.row() < rowCount() && index.column() < columnCount();
}

int DatasetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : dataset_.RowCount();
}

int DatasetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(dataset_.Fields().size());
}

QVariant DatasetModel::data(const QModelIndex& index, int role) const {
    if (!IsCell(index)) return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return dataset_.DisplayText(index.row(), index.column());
        case Qt::TextAlignmentRole: {
            const FieldKind kind = dataset_.Fields()[std::size_t(index.column())].kind;
            if (kind == FieldKind::Integer || kind == FieldKind::Float)
                return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
            return {};
        }
        default:
            return {};
    }
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= columnCount()) return {};
        const std::size_t column = std::size_t(section);
        if (role == Qt::TextAlignmentRole && column < alignments_.size())
            return alignments_[column];
        if (role != Qt::DisplayRole) return {};
        if (column < titles_.size() && titles_[column].isValid()) return titles_[column];
        return dataset_.Fields()[column].DisplayName();
    }
    if (role != IndicatorRole || section < 0 || section >= rowCount() ||
        section != dataset_.CurrentRow())
        return {};
    return int(dataset_.State());
}

bool DatasetModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                                 int role) {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return false;
    std::vector<QVariant>* set = role == Qt::DisplayRole         ? &titles_
                                 : role == Qt::TextAlignmentRole ? &alignments_
                                                                 : nullptr;
    if (!set) return false;
    set->resize(std::size_t(columnCount()));
    (*set)[std::size_t(section)] = value;
    emit headerDataChanged(orientation, section, section);
    return true;
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex& index) const {
    if (!IsCell(index)) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (dataset_.CanModify() && !dataset_.Fields()[std::size_t(index.column())].readOnly)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool DatasetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !IsCell(index) ||
        dataset_.Fields()[std::size_t(index.column())].kind == FieldKind::Lookup)
        return false;
    dataset_.MoveTo(index.row());
    dataset_.SetFieldText(index.column(), value.toString());
    return true;
}

}  // namespace velkora
