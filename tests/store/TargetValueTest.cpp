// SPDX-License-Identifier: GPL-3.0-or-later
// Which values a typed column of a target store holds exactly, and how a
// refused value is shown.
#include <gtest/gtest.h>

#include <QSqlField>

#include "TargetValue.h"

namespace velkora {
namespace {

QSqlField Column(QMetaType::Type type, int length = -1) {
    QSqlField field("C", QMetaType(type));
    field.setLength(length);
    return field;
}

TEST(TargetValueTest, TypedColumnsHoldOnlyWhatTheyCanHoldExactly) {
    const qint64 big = qint64(1) << 40;
    const struct {
        const char* name;
        QVariant value;
        QSqlField column;
        QVariant bound;       // when taken
        const char* problem;  // empty: taken
    } cases[] = {
        {"whole double into integer", 12.0, Column(QMetaType::Int), qint64(12), ""},
        {"fraction into integer", 12.5, Column(QMetaType::Int), {}, "not a whole number"},
        {"beyond 32 bits", big, Column(QMetaType::Int), {}, "too large"},
        {"big key exactly", (qint64(1) << 60) + 1, Column(QMetaType::LongLong),
         (qint64(1) << 60) + 1, ""},
        {"numeric text", QByteArray(" 7 "), Column(QMetaType::Int), qint64(7), ""},
        {"text into a number", QByteArray("abc"), Column(QMetaType::Double), {}, "it is text"},
        {"UTF-8 text", QByteArray("D\xC3\xA8"), Column(QMetaType::QString), QString("D\u00E8"), ""},
        {"not UTF-8", QByteArray("D\xE8"), Column(QMetaType::QString), {}, "not UTF-8 text"},
        {"NUL", QByteArray("a\0b", 3), Column(QMetaType::QString), {}, "NUL character"},
        {"too long", QByteArray("abcdef"), Column(QMetaType::QString, 5), {}, "the 5 characters"},
        {"null", QVariant(), Column(QMetaType::Int), QVariant(), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FittedValue fitted = FitValue(c.value, c.column, true);
        if (*c.problem == '\0') {
            EXPECT_EQ(fitted.problem, QString());
            EXPECT_EQ(fitted.value, c.bound);
        } else {
            EXPECT_NE(fitted.problem.indexOf(QLatin1String(c.problem)), -1)
                << fitted.problem.toStdString();
        }
        // SQLite keeps any value as given.
        EXPECT_EQ(FitValue(c.value, c.column, false).value, c.value);
    }
}

TEST(TargetValueTest, BytesThatAreNotUtf8AreShownEscaped) {
    EXPECT_EQ(ShownValue(QByteArray("Dip\xE8 \xC3\xA8")), "\"Dip\\xE8 \u00E8\"");
    EXPECT_EQ(ShownValue(12.5), "12.5");
}

}  // namespace
}  // namespace velkora
