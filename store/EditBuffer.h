// SPDX-License-Identifier: GPL-3.0-or-later
// The row being edited or inserted: its values, which fields were written,
// and texts the conversion refused, shown as typed until they are corrected.
#pragma once

#include <QString>
#include <QVariant>
#include <optional>
#include <vector>

#include "BoundDataset.h"
#include "RegionalMarks.h"

namespace velkora {

struct EditBuffer {
    std::vector<QVariant> values;  // one per field
    std::vector<bool> written;     // the fields a post writes
    std::vector<std::optional<QString>> refused;
    bool modified = false;  // something was entered: a new row is posted, not dropped

    // Starts editing a row that holds `start`; nothing written yet.
    void Begin(std::vector<QVariant> start);
    void Clear();

    // The field takes `value` and is written; a refused text of it is dropped.
    void Write(int field, const QVariant& value);
    // Drops a refused text of the field; whether it had one.
    bool Revert(int field);
    // Converts the refused texts again, as a post must; throws the
    // conversion's Failure at the first that still does not convert.
    void ConvertRefusedTexts(const std::vector<FieldInfo>& fields, const RegionalMarks& marks);
    // Every value shown becomes an entry of a new row; the read-only key is
    // left for the database to give.
    void KeepAsNew(const std::vector<FieldInfo>& fields);

    // The written fields that are stored and may be changed.
    std::vector<int> WrittenColumns(const std::vector<FieldInfo>& fields) const;
};

}  // namespace velkora
