// SPDX-License-Identifier: GPL-3.0-or-later
// Looks for the design faults that every model writer lets through.
#include "DesignCheck.h"

#include <cmath>
#include <optional>
#include <set>
#include <sstream>

#include "Failure.h"
#include "MmanaNumbering.h"
#include "NecDeck.h"
#include "SourceWire.h"
#include "TaperWalk.h"

namespace velkora {

namespace {

std::string Quoted(const ElementRow& element) {
    return "element \"" + (element.nome.IsNull() ? std::string() : element.nome.ToText()) + "\"";
}

std::string Number(double value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

std::string TextOf(const Failure& failure) {
    return failure.Where().empty() ? failure.Message() : failure.Where() + ": " + failure.Message();
}

void CheckSource(const ProjectRow& project, const std::vector<NumberedElement>& elements,
                 std::vector<std::string>& warnings) {
    SourceWire source{};
    try {
        source = ParseSourceWire(project.sourceWire.ToText());
    } catch (const Failure& failure) {
        warnings.push_back("SOURCE_WIRE: " + failure.Message());
        return;
    }
    const std::string named = "SOURCE_WIRE names wire " + std::to_string(source.wire);
    for (const NumberedElement& element : elements) {
        if (element.wires.empty() || source.wire < element.firstWire ||
            source.wire > element.LastWire())
            continue;
        if (source.wire != element.firstWire || !element.HasCentreWire())
            warnings.push_back(named + ", an outer piece of " + Quoted(element.element) +
                               ", not the wire across the boom");
        if (source.place != WirePlace::Middle)
            warnings.push_back(named + " at its " +
                               (source.place == WirePlace::First ? "first" : "last") +
                               " segment, not at its centre");
        return;
    }
    int last = 0;
    for (const NumberedElement& element : elements)
        if (!element.wires.empty()) last = std::max(last, element.LastWire());
    warnings.push_back(last == 0
                           ? "the model has no wires: no element has a schedule with tubes"
                           : named + ", outside the model's wires 1 to " + std::to_string(last));
}

double ScheduleLength(const std::vector<TaperSection>& sections) {
    double total = 0;
    for (const TaperSection& section : sections) total += section.length.ToDouble();
    return total;
}

void CheckElement(const ElementRow& element, ModelSource& source, MainLobeAxis axis,
                  std::vector<std::string>& warnings) {
    const std::string name = Quoted(element);
    if (element.idTaper.IsNull()) {
        warnings.push_back(name + " has no schedule, so no wires");
        return;
    }
    const std::vector<TaperSection> sections = source.SectionsOfSchedule(element.idTaper);
    if (sections.empty()) {
        warnings.push_back(name + " names schedule " + element.idTaper.ToText() +
                           ", which has no sections, so no wires");
        return;
    }
    try {
        const double half = element.len.ToDouble();
        const double schedule = ScheduleLength(sections);
        if (half > schedule + 1e-9)
            warnings.push_back(name + ": LEN " + Number(half) + " m is longer than its schedule (" +
                               Number(schedule) + " m), so the element ends where the tubes do");
        if (WalkElement(element, sections, axis).empty())
            warnings.push_back(name + " yields no wires");
    } catch (const Failure&) {
        // A value that is not a number: the writers' refusal names it.
    }
}

void CheckPlaces(const std::vector<ElementRow>& elements, std::vector<std::string>& warnings) {
    for (std::size_t i = 0; i < elements.size(); ++i)
        for (std::size_t j = i + 1; j < elements.size(); ++j) {
            const ElementRow& a = elements[i];
            const ElementRow& b = elements[j];
            try {
                if (a.distance.ToDouble() == b.distance.ToDouble() &&
                    a.height.ToDouble() == b.height.ToDouble())
                    warnings.push_back(Quoted(a) + " and " + Quoted(b) +
                                       " sit at the same place on the boom");
            } catch (const Failure&) {
                // As above.
            }
        }
}

void CheckValues(const ModelJob& job, std::vector<std::string>& warnings) {
    std::set<std::string> seen;
    for (auto* const writer : {&MmanaModelText, &EzNecModelText}) {
        try {
            writer(job);
        } catch (const Failure& failure) {
            if (seen.insert(TextOf(failure)).second) warnings.push_back(TextOf(failure));
        }
    }
}

void CheckSegments(const ModelJob& job, bool explained, std::vector<std::string>& warnings) {
    NecModel model;
    try {
        model = BuildNecModel(job, NecOptions{});
    } catch (const Failure& failure) {
        if (!explained) warnings.push_back("NEC-2 model: " + TextOf(failure));
        return;
    }
    for (const NecWire& wire : model.wires) {
        const WireSpan& s = wire.span;
        const double segment =
            std::hypot(s.x2 - s.x1, s.y2 - s.y1, s.z2 - s.z1) / static_cast<double>(wire.segments);
        const double radius = s.diameter / 2000.0;
        if (segment < kShortestSegmentInRadii * radius)
            warnings.push_back("wire " + std::to_string(wire.tag) +
                               " of the NEC-2 model: segments " + Number(segment) +
                               " m long, under " + Number(kShortestSegmentInRadii) +
                               " wire radii (" + Number(kShortestSegmentInRadii * radius) + " m)");
    }
}

}  // namespace

std::vector<std::string> DesignWarnings(const ModelJob& job) {
    std::vector<std::string> warnings;
    try {
        CheckSource(job.project, NumberMmanaWires(job.project.id, job.source, job.axis), warnings);
    } catch (const Failure&) {
        // A value that is not a number: the writers' refusal below names it.
    }
    std::vector<ElementRow> elements;
    for (const ElementRow& element : job.source.ElementsOfProject(job.project.id))
        if (!IsNullElement(element)) elements.push_back(element);
    const std::size_t beforeElements = warnings.size();
    for (const ElementRow& element : elements)
        CheckElement(element, job.source, job.axis, warnings);
    CheckPlaces(elements, warnings);
    const std::size_t beforeValues = warnings.size();
    CheckValues(job, warnings);
    // A model that cannot be built fails for a reason listed already.
    const bool explained = beforeElements > 0 || warnings.size() > beforeValues;
    CheckSegments(job, explained, warnings);
    return warnings;
}

}  // namespace velkora
