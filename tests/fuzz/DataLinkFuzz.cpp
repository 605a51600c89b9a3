// SPDX-License-Identifier: GPL-3.0-or-later
// The data-link parser on any bytes: it reads them or refuses them with a
// StoreError, nothing else.
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

#include "DataLink.h"
#include "StoreError.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        velkora::ParseDataLink(bytes, QStringLiteral("velkora.udl"));
    } catch (const velkora::StoreError&) {
    }
    return 0;
}
