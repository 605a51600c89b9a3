// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <variant>

#include "Failure.h"
#include "FieldText.h"
#include "TableDataset.h"

namespace velkora {
namespace {

const RegionalMarks kDot{".", ",", "/"};
const RegionalMarks kComma{",", ".", "."};

FieldInfo FieldOf(const TableDefinition& definition, const QString& name) {
    for (const FieldInfo& field : definition.fields)
        if (field.name == name) return field;
    ADD_FAILURE() << "no field " << name.toStdString();
    return {};
}

FieldInfo Projects(const char* name) { return FieldOf(ProjectsDefinition(), name); }
FieldInfo Elements(const char* name) { return FieldOf(ElementsDefinition(), name); }
FieldInfo Sizes(const char* name) { return FieldOf(TaperSizesDefinition(), name); }

struct DisplayCase {
    const char* name;
    FieldInfo field;
    QVariant value;
    const char* dotText;
    const char* commaText;
};

TEST(FieldDisplayText, EachFieldInBothLocales) {
    const DisplayCase cases[] = {
        {"F0 grouped, three decimals", Projects("F0"), 1296.2, "1,296.200", "1.296,200"},
        {"F0 small", Projects("F0"), 14.15, "14.150", "14,150"},
        {"F0 no value", Projects("F0"), QVariant(), "", ""},
        {"project HEIGHT zero is empty", Projects("HEIGHT"), qlonglong(0), "", ""},
        {"project HEIGHT", Projects("HEIGHT"), qlonglong(10), "10", "10"},
        {"LEN grouped", Elements("LEN"), 1234.5, "1,234.5", "1.234,5"},
        {"LEN rounded to three places", Elements("LEN"), 0.51249, "0.512", "0,512"},
        {"DISTANCE zero", Elements("DISTANCE"), 0.0, "0", "0"},
        {"element HEIGHT general form", Elements("HEIGHT"), 10.5, "10.5", "10,5"},
        {"element HEIGHT 15 digits", Elements("HEIGHT"), 1.0 / 3, "0.333333333333333",
         "0,333333333333333"},
        {"element HEIGHT below 0.0001", Elements("HEIGHT"), 0.00001, "1E-5", "1E-5"},
        {"element HEIGHT from 1E15", Elements("HEIGHT"), 1e15, "1E15", "1E15"},
        {"element HEIGHT whole", Elements("HEIGHT"), 1234567.0, "1234567", "1234567"},
        {"ORDER plain digits", Sizes("ORDER"), qlonglong(12345), "12345", "12345"},
        {"DIAMETER not grouped", Sizes("DIAMETER"), 1234.5, "1234.5", "1234,5"},
        {"LENGTH grouped", Sizes("LENGTH"), 1000.0, "1,000", "1.000"},
        {"text", Elements("NOME"), QString("Dir 1"), "Dir 1", "Dir 1"},
        {"empty text", Elements("NOME"), QString(""), "", ""},
        {"text stored in a number column", Elements("LEN"), QString("abc"), "abc", "abc"},
    };
    for (const DisplayCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FieldDisplayText(c.field, c.value, kDot), QString::fromUtf8(c.dotText));
        EXPECT_EQ(FieldDisplayText(c.field, c.value, kComma), QString::fromUtf8(c.commaText));
    }
}

// What a text becomes: a number, null, or the refusal message.
using Outcome = std::variant<double, std::monostate, std::string>;

struct ParseCase {
    const char* name;
    FieldInfo field;
    RegionalMarks marks;
    QString text;
    Outcome expected;
};

std::string FloatMessage(const char* text, const char* field) {
    return std::string("'") + text + "' is not a valid floating point value for field '" + field +
           "'";
}
std::string IntegerMessage(const char* text, const char* field) {
    return std::string("'") + text + "' is not a valid integer value for field '" + field + "'";
}

TEST(ParseFieldText, NumbersNullsAndMessages) {
    const RegionalMarks swiss{".", "\x92", "."};   // Windows-1252 right single quote
    const RegionalMarks spaced{",", "\xA0", "/"};  // no-break space
    const ParseCase cases[] = {
        {"plain", Projects("F0"), kDot, "1296.2", 1296.2},
        {"grouping as displayed", Projects("F0"), kDot, "1,296.200", 1296.2},
        {"two groups", Elements("LEN"), kDot, "1,296,000.5", 1296000.5},
        {"negative grouped", Elements("DISTANCE"), kDot, "-1,234", -1234.0},
        {"group of two", Projects("F0"), kDot, "12,96.2", FloatMessage("12,96.2", "F0")},
        {"comma as decimal under dot", Elements("LEN"), kDot, "1,5", FloatMessage("1,5", "SIZE")},
        {"leading separator", Elements("LEN"), kDot, ",123", FloatMessage(",123", "SIZE")},
        {"doubled separator", Elements("LEN"), kDot, "1,,234", FloatMessage("1,,234", "SIZE")},
        {"trailing separator", Elements("LEN"), kDot, "1234,", FloatMessage("1234,", "SIZE")},
        {"separator in decimals", Elements("LEN"), kDot, "1.234,5",
         FloatMessage("1.234,5", "SIZE")},
        {"pasted 1.5 under comma", Projects("F0"), kComma, "1.5", FloatMessage("1.5", "F0")},
        {"grouping under comma", Projects("F0"), kComma, "1.296,2", 1296.2},
        {"decimal under comma", Elements("LEN"), kComma, "1,5", 1.5},
        {"dot decimal refused under comma", Elements("LEN"), kComma, "0.5",
         FloatMessage("0.5", "SIZE")},
        {"no grouping pattern", Sizes("DIAMETER"), kDot, "1,234.5",
         FloatMessage("1,234.5", "DIAMETER")},
        {"no pattern float", Elements("HEIGHT"), kDot, "1,000", FloatMessage("1,000", "HEIGHT")},
        {"exponent", Elements("LEN"), kDot, "1e3", 1000.0},
        {"signed exponent", Elements("LEN"), kDot, "-2.5E-1", -0.25},
        {"plus sign", Elements("LEN"), kDot, "+3", 3.0},
        {"blanks around", Elements("LEN"), kDot, " 2.5 ", 2.5},
        {"bare decimals", Elements("LEN"), kDot, ".5", 0.5},
        {"exponent only", Elements("LEN"), kDot, "e5", FloatMessage("e5", "SIZE")},
        {"exponent without digits", Elements("LEN"), kDot, "1e", FloatMessage("1e", "SIZE")},
        {"sign only", Elements("LEN"), kDot, "-", FloatMessage("-", "SIZE")},
        {"letters", Elements("LEN"), kDot, "abc", FloatMessage("abc", "SIZE")},
        {"overflow", Elements("LEN"), kDot, "1e999", FloatMessage("1e999", "SIZE")},
        {"emptied float", Projects("F0"), kDot, "", std::monostate()},
        {"blank float", Projects("F0"), kDot, "  ", std::monostate()},
        {"integer", Projects("HEIGHT"), kDot, "12", 12.0},
        {"negative integer", Sizes("ORDER"), kDot, "-3", -3.0},
        {"decimal in integer", Projects("HEIGHT"), kDot, "1.5", IntegerMessage("1.5", "HEIGHT")},
        {"exponent in integer", Sizes("ORDER"), kDot, "1e2", IntegerMessage("1e2", "ORDER")},
        {"grouping in integer", Sizes("ORDER"), kDot, "1,000", IntegerMessage("1,000", "ORDER")},
        {"integer too large", Sizes("ORDER"), kDot, "99999999999",
         IntegerMessage("99999999999", "ORDER")},
        {"emptied integer", Sizes("ORDER"), kDot, "", std::monostate()},
        {"Windows-1252 thousands mark", Elements("LEN"), swiss, QString::fromUtf8("1\u2019234.5"),
         1234.5},
        {"no-break space thousands mark", Elements("LEN"), spaced,
         QString::fromUtf8("1\u00A0234,5"), 1234.5},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            const QVariant value = ParseFieldText(c.field, c.text, c.marks);
            if (std::holds_alternative<std::monostate>(c.expected)) {
                EXPECT_TRUE(value.isNull()) << value.toString().toStdString();
            } else if (const double* number = std::get_if<double>(&c.expected)) {
                ASSERT_FALSE(value.isNull());
                EXPECT_DOUBLE_EQ(value.toDouble(), *number);
                EXPECT_EQ(value.typeId(), c.field.kind == FieldKind::Float ? QMetaType::Double
                                                                           : QMetaType::LongLong);
            } else {
                ADD_FAILURE() << "accepted as " << value.toString().toStdString();
            }
        } catch (const Failure& failure) {
            const std::string* message = std::get_if<std::string>(&c.expected);
            ASSERT_NE(message, nullptr) << failure.what();
            EXPECT_EQ(failure.what(), *message);
        }
    }
}

TEST(ParseFieldText, TextIsStoredAsTypedAndEmptiedTextIsNotNull) {
    const FieldInfo nome = Elements("NOME");
    EXPECT_EQ(ParseFieldText(nome, "Refl", kDot).toString(), "Refl");
    for (const QString& empty : {QString(), QString("")}) {
        const QVariant value = ParseFieldText(nome, empty, kDot);
        EXPECT_FALSE(value.isNull());
        EXPECT_FALSE(value.toString().isNull());
        EXPECT_TRUE(value.toString().isEmpty());
    }
    EXPECT_EQ(ParseFieldText(Elements("TYPE"), QString(15, 'x'), kDot).toString().size(), 15);
    try {
        ParseFieldText(Elements("TYPE"), QString(16, 'x'), kDot);
        ADD_FAILURE() << "16 characters accepted in TYPE";
    } catch (const Failure& failure) {
        EXPECT_STREQ(failure.what(),
                     "The text for field 'TYPE' is 16 characters long; it takes at most 15");
    }
}

TEST(FieldAcceptsKey, NumberCellsFilterKeys) {
    struct KeyCase {
        const char* name;
        FieldInfo field;
        RegionalMarks marks;
        QChar key;
        bool accepted;
    };
    const KeyCase cases[] = {
        {"digit in float", Elements("LEN"), kDot, u'7', true},
        {"sign in float", Elements("LEN"), kDot, u'-', true},
        {"exponent", Elements("LEN"), kDot, u'E', true},
        {"dot under dot", Elements("LEN"), kDot, u'.', true},
        {"comma under dot", Elements("LEN"), kDot, u',', false},
        {"comma under comma", Elements("LEN"), kComma, u',', true},
        {"dot under comma", Elements("LEN"), kComma, u'.', false},
        {"letter in float", Elements("LEN"), kDot, u'x', false},
        {"blank in float", Elements("LEN"), kDot, u' ', false},
        {"backspace", Elements("LEN"), kDot, QChar(8), true},
        {"digit in integer", Sizes("ORDER"), kDot, u'3', true},
        {"plus in integer", Sizes("ORDER"), kDot, u'+', true},
        {"decimal in integer", Sizes("ORDER"), kDot, u'.', false},
        {"exponent in integer", Projects("HEIGHT"), kDot, u'e', false},
        {"letter in text", Elements("NOME"), kDot, u'x', true},
        {"typing into the lookup", Elements("LK_TAPER"), kDot, u'a', false},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FieldAcceptsKey(c.field, c.key, c.marks), c.accepted);
    }
}

TEST(FromWindows1252, LatinOneAndTheHighControlRange) {
    EXPECT_EQ(FromWindows1252("1,234.5"), "1,234.5");
    EXPECT_EQ(FromWindows1252("\xA0\xE9"), QString::fromUtf8("\u00A0\u00E9"));
    EXPECT_EQ(FromWindows1252("\x80\x92\x9F"), QString::fromUtf8("\u20AC\u2019\u0178"));
}

TEST(TableDefinitions, LabelsSizesAndPickLists) {
    EXPECT_EQ(Projects("NOME").DisplayName(), "PROJECT NAME");
    EXPECT_EQ(Projects("F0").DisplayName(), "F0");
    EXPECT_EQ(Elements("LK_TAPER").DisplayName(), "TAPER SCH.");
    EXPECT_EQ(FieldOf(TaperDefinition(), "NOME").DisplayName(), "ELEMENT NAME");
    EXPECT_EQ(Projects("SOURCE_WIRE").size, 255);
    EXPECT_EQ(Elements("TYPE").size, 15);
    EXPECT_EQ(FieldOf(TaperDefinition(), "UM").size, 5);
    EXPECT_EQ(Elements("TYPE").pickList, QStringList({"Element", "Driver", "Null"}));
    EXPECT_EQ(FieldOf(TaperDefinition(), "UM").pickList, QStringList({"m,mm", "ft,in"}));
}

}  // namespace
}  // namespace velkora
