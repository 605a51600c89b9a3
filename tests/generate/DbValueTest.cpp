// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "DbValue.h"
#include "Failure.h"

namespace velkora {
namespace {

struct ConversionCase {
    const char* name;
    DbValue value;
    const char* message;
};

TEST(DbValueTest, NullAndTextAreNotNumbers) {
    const ConversionCase cases[] = {
        {"null", DbValue(), "Could not convert variant of type (Null) into type (Double)"},
        {"text", DbValue::Text("abc"),
         "Could not convert variant of type (String) into type (Double)"},
    };
    for (const auto& c : cases) {
        try {
            (void)c.value.ToDouble();
            ADD_FAILURE() << c.name << " converted";
        } catch (const ConversionError& e) {
            EXPECT_STREQ(e.what(), c.message) << c.name;
        }
    }
}

TEST(DbValueTest, NumbersConvertAndNullIsNoText) {
    EXPECT_EQ(DbValue::Integer(10).ToDouble(), 10.0);
    EXPECT_EQ(DbValue::Real(0.48).ToDouble(), 0.48);
    EXPECT_EQ(DbValue::Integer(-3).ToText(), "-3");
    EXPECT_EQ(DbValue::Text("").ToText(), "");
    EXPECT_THROW((void)DbValue().ToText(), ConversionError);
}

}  // namespace
}  // namespace velkora
