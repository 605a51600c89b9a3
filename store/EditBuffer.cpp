// SPDX-License-Identifier: GPL-3.0-or-later
#include "EditBuffer.h"

#include "FieldText.h"

namespace velkora {

void EditBuffer::Begin(std::vector<QVariant> start) {
    const std::size_t count = start.size();
    values = std::move(start);
    written.assign(count, false);
    refused.assign(count, std::nullopt);
    modified = false;
}

void EditBuffer::Clear() { *this = EditBuffer(); }

void EditBuffer::Write(int field, const QVariant& value) {
    const auto index = std::size_t(field);
    values[index] = value;
    written[index] = true;
    refused[index].reset();
}

bool EditBuffer::Revert(int field) {
    if (refused.empty() || !refused[std::size_t(field)]) return false;
    refused[std::size_t(field)].reset();
    return true;
}

void EditBuffer::ConvertRefusedTexts(const std::vector<FieldInfo>& fields,
                                     const RegionalMarks& marks) {
    for (std::size_t i = 0; i < refused.size(); ++i)
        if (refused[i]) Write(int(i), ParseFieldText(fields[i], *refused[i], marks));
}

void EditBuffer::KeepAsNew(const std::vector<FieldInfo>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].readOnly)
            values[i] = QVariant();
        else if (!values[i].isNull())
            written[i] = true;
    }
    modified = true;
}

std::vector<int> EditBuffer::WrittenColumns(const std::vector<FieldInfo>& fields) const {
    std::vector<int> columns;
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (written[i] && !fields[i].readOnly && fields[i].kind != FieldKind::Lookup)
            columns.push_back(int(i));
    return columns;
}

}  // namespace velkora
