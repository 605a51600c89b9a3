// SPDX-License-Identifier: GPL-3.0-or-later
// The warnings about a design, one faulty design per row.
#include <gtest/gtest.h>

#include <functional>

#include "DesignCheck.h"
#include "MemoryModelSource.h"

namespace velkora {
namespace {

using test::Element;
using test::Section;

// A 20 m three-element design on a schedule of 25 mm, then 16 mm tubes:
// every element has wires 3n+1 (across the boom) to 3n+3, fed at w4c.
struct Design {
    ProjectRow project = test::Project(14.15);
    test::MemoryModelSource source;
    RegionalMarks marks{",", ".", "/"};

    Design() {
        source.elements = {Element("R", 5.4, 0), Element("DE", 5.2, 2), Element("D", 5.0, 4)};
        source.sections = {Section(1, 1, 25.0, 2.0), Section(1, 2, 16.0, 4.0)};
    }
};

TEST(DesignCheckTest, EachFaultIsNamed) {
    const struct {
        const char* name;
        std::function<void(Design&)> fault;
        const char* warning;  // nullptr: none at all
    } kRows[] = {
        {"clean", [](Design&) {}, nullptr},
        {"source beyond the wires", [](Design& d) { d.project.sourceWire = DbValue::Text("w12c"); },
         "SOURCE_WIRE names wire 12, outside the model's wires 1 to 9"},
        {"source at a wire's end", [](Design& d) { d.project.sourceWire = DbValue::Text("w4b"); },
         "SOURCE_WIRE names wire 4 at its first segment, not at its centre"},
        {"source on an outer piece", [](Design& d) { d.project.sourceWire = DbValue::Text("w5c"); },
         "SOURCE_WIRE names wire 5, an outer piece of element \"DE\", not the wire across the "
         "boom"},
        {"element longer than its tubes",
         [](Design& d) { d.source.elements[2].len = DbValue::Real(6.5); },
         "element \"D\": LEN 6.5 m is longer than its schedule (6 m), so the element ends where "
         "the tubes do"},
        {"no schedule", [](Design& d) { d.source.elements[2].idTaper = DbValue(); },
         "element \"D\" has no schedule, so no wires"},
        {"missing schedule", [](Design& d) { d.source.elements[2].idTaper = DbValue::Integer(99); },
         "element \"D\" names schedule 99, which has no sections, so no wires"},
        {"two at one place", [](Design& d) { d.source.elements[2].distance = DbValue::Real(2); },
         "element \"DE\" and element \"D\" sit at the same place on the boom"},
        {"no elements", [](Design& d) { d.source.elements.clear(); },
         "the model has no wires: no element has a schedule with tubes"},
        {"value refused", [](Design& d) { d.source.elements[2].len = DbValue::Text("long"); },
         "LEN: "},
        {"fat tubes",
         [](Design& d) {
             d.source.sections = {Section(1, 1, 300.0, 2.0), Section(1, 2, 300.0, 4.0)};
         },
         "of the NEC-2 model: segments "},
    };
    for (const auto& row : kRows) {
        SCOPED_TRACE(row.name);
        Design design;
        row.fault(design);
        const std::vector<std::string> warnings =
            DesignWarnings({design.project, design.source, MainLobeAxis::X, design.marks});
        if (row.warning == nullptr) {
            EXPECT_TRUE(warnings.empty()) << warnings.front();
            continue;
        }
        std::string all;
        for (const std::string& warning : warnings) all += warning + "\n";
        EXPECT_NE(all.find(row.warning), std::string::npos) << "got: " << all;
    }
}

}  // namespace
}  // namespace velkora
