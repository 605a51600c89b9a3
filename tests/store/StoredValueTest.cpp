// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <limits>

#include "StoredValue.h"

namespace velkora {
namespace {

TEST(StoredValueTest, EachTypeCountsAsOneStoredType) {
    struct Case {
        const char* name;
        QVariant value;
        StoredType expected;
    };
    const qulonglong beyondSigned = qulonglong(std::numeric_limits<qint64>::max()) + 1;
    const Case cases[] = {
        {"invalid", QVariant(), StoredType::Null},
        {"typed null", QVariant(QMetaType::fromType<qlonglong>()), StoredType::Null},
        {"null text", QVariant(QString()), StoredType::Text},
        {"bool", QVariant(true), StoredType::Whole},
        {"short", QVariant::fromValue(short(-3)), StoredType::Whole},
        {"unsigned short", QVariant::fromValue(ushort(3)), StoredType::Whole},
        {"int", QVariant(-7), StoredType::Whole},
        {"unsigned int", QVariant(7u), StoredType::Whole},
        {"long", QVariant::fromValue(-7L), StoredType::Whole},
        {"unsigned long", QVariant::fromValue(7UL), StoredType::Whole},
        {"long long", QVariant(qlonglong(9007199254740993)), StoredType::Whole},
        {"unsigned long long in range", QVariant(qulonglong(beyondSigned - 1)), StoredType::Whole},
        {"unsigned long long beyond", QVariant(beyondSigned), StoredType::Real},
        {"unsigned long beyond", QVariant::fromValue(ulong(beyondSigned)), StoredType::Real},
        {"float", QVariant(1.5f), StoredType::Real},
        {"double", QVariant(0.00635), StoredType::Real},
        {"empty text", QVariant(QString("")), StoredType::Text},
        {"number as text", QVariant(QString("12")), StoredType::Text},
        {"bytes", QVariant(QByteArray("w10c")), StoredType::Text},
        {"character", QVariant(QChar(u'x')), StoredType::Text},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(StoredTypeOf(c.value), c.expected);
    }
}

TEST(StoredValueTest, AFieldTakesItsKindsTypeFromANumber) {
    struct Case {
        const char* name;
        FieldKind kind;
        QVariant value;
        QVariant expected;
    };
    const Case cases[] = {
        {"short in an integer field", FieldKind::Integer, QVariant::fromValue(short(4)),
         QVariant(qlonglong(4))},
        {"real in an integer field stays", FieldKind::Integer, QVariant(2.5), QVariant(2.5)},
        {"whole in a float field", FieldKind::Float, QVariant(qlonglong(3)), QVariant(3.0)},
        {"float in a float field", FieldKind::Float, QVariant(1.5f), QVariant(1.5)},
        {"text in a float field stays", FieldKind::Float, QVariant(QString("x")),
         QVariant(QString("x"))},
        {"number in a text field", FieldKind::Text, QVariant(12), QVariant(QString("12"))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QVariant normalized = Normalized(c.kind, c.value);
        EXPECT_EQ(normalized.typeId(), c.expected.typeId());
        EXPECT_EQ(normalized, c.expected);
    }
}

}  // namespace
}  // namespace velkora
