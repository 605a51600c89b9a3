// SPDX-License-Identifier: GPL-3.0-or-later
// Elements and shared schedules of an imported design, and its source wire.
#include "DesignOutline.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numeric>

#include "ModelWriters.h"
#include "SourceText.h"
#include "TaperWalk.h"

namespace velkora {

namespace {

constexpr double kSame = 1e-9;
constexpr std::size_t kMostNameBytes = 255;

bool Same(double a, double b) { return std::fabs(a - b) <= kSame; }

// The tubes of the elements on one schedule: every end but the last is a
// step between tubes; the last is the farthest tip.
using Profile = std::vector<Tube>;

// The profile of both when the element fits the schedule: the same tubes up
// to where the shorter ends, each ending inside the other's tube there.
std::optional<Profile> Merged(const Profile& profile, const Profile& element) {
    const std::size_t n = element.size();
    const std::size_t k = profile.size();
    for (std::size_t i = 0; i < std::min(n, k); ++i) {
        if (!Same(element[i].diameterMm, profile[i].diameterMm)) return std::nullopt;
        const bool elementTip = i + 1 == n;
        const bool profileTip = i + 1 == k;
        if (!elementTip && !profileTip && !Same(element[i].endM, profile[i].endM))
            return std::nullopt;
        if (elementTip && !profileTip && element[i].endM > profile[i].endM + kSame)
            return std::nullopt;
        if (!elementTip && profileTip && profile[i].endM > element[i].endM + kSame)
            return std::nullopt;
    }
    if (n > k) return element;
    Profile merged = profile;
    if (n == k) merged.back().endM = std::max(merged.back().endM, element.back().endM);
    return merged;
}

std::string Millimetres(double value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 3);
    std::string out(text, result.ptr);
    while (out.back() == '0') out.pop_back();
    if (out.back() == '.') out.pop_back();
    return out;
}

// At most 255 bytes, cut before a UTF-8 continuation byte never inside one.
std::string Fitted(std::string text) {
    if (text.size() <= kMostNameBytes) return text;
    std::size_t end = kMostNameBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    text.resize(end);
    return text;
}

ImportedSchedule ScheduleOf(const Profile& profile, const std::string& name) {
    ImportedSchedule schedule{name, {}};
    double start = 0;
    for (const Tube& tube : profile) {
        schedule.sections.push_back({tube.diameterMm, Rounded9(tube.endM - start)});
        start = tube.endM;
    }
    return schedule;
}

std::string ScheduleName(const std::string& title, const Profile& profile, std::size_t index,
                         std::size_t count) {
    std::string name = title;
    if (count > 1) name += " " + std::string(1, static_cast<char>('A' + index % 26));
    name += ", " + Millimetres(profile.front().diameterMm);
    if (profile.size() > 1) name += " to " + Millimetres(profile.back().diameterMm);
    return Fitted(name + " mm");
}

// Reflector(s) before the fed element, then "Driven", then directors.
std::string ElementName(std::size_t i, std::optional<std::size_t> fed, std::size_t count) {
    if (!fed) return "Element " + std::to_string(i + 1);
    if (i == *fed) return "Driven";
    if (i < *fed) return *fed == 1 ? "Reflector" : "Reflector " + std::to_string(i + 1);
    return count - *fed == 2 ? "Director" : "Director " + std::to_string(i - *fed);
}

}  // namespace

namespace {

struct Grouped {
    std::vector<Profile> profiles;
    std::vector<std::size_t> scheduleOf;  // per element
};

Grouped GroupOnSchedules(const std::vector<OutlineElement>& elements) {
    Grouped grouped;
    for (const OutlineElement& element : elements) {
        std::size_t s = 0;
        for (; s < grouped.profiles.size(); ++s) {
            if (std::optional<Profile> merged = Merged(grouped.profiles[s], element.tubes)) {
                grouped.profiles[s] = std::move(*merged);
                break;
            }
        }
        if (s == grouped.profiles.size()) grouped.profiles.push_back(element.tubes);
        grouped.scheduleOf.push_back(s);
    }
    return grouped;
}

// The MMANA model's wires of each element, as the writer numbers them.
std::vector<std::vector<WireSpan>> ModelWires(const ImportedDesign& design) {
    std::vector<std::vector<WireSpan>> wires;
    for (const ImportedElement& element : design.elements) {
        const ElementRow row{{},
                             {},
                             {},
                             DbValue::Text(element.type),
                             DbValue::Real(element.len),
                             {},
                             DbValue::Real(element.distance),
                             DbValue::Real(element.height)};
        std::vector<TaperSection> sections;
        for (const ImportedSection& section : design.schedules[element.schedule].sections)
            sections.push_back(
                {{}, {}, DbValue::Real(section.diameterMm), DbValue::Real(section.lengthM)});
        wires.push_back(MmanaWrittenWires(row, sections, MainLobeAxis::X));
    }
    return wires;
}

// The wire of the element and the letter for the feed; the middle of the
// wire that holds the feed point when no wire starts, ends or centres there.
std::string SourceWireOf(const ImportedDesign& design, const FeedPoint& feed,
                         std::vector<std::string>& notes) {
    constexpr double kNear = 1e-6;
    const auto all = ModelWires(design);
    int number = 1;
    for (std::size_t e = 0; e < feed.element; ++e) number += static_cast<int>(all[e].size());
    const std::vector<WireSpan>& wires = all[feed.element];
    for (std::size_t i = 0; i < wires.size(); ++i) {
        const std::string wire = "w" + std::to_string(number + static_cast<int>(i));
        const double middle = (wires[i].y1 + wires[i].y2) / 2;
        if (feed.place == WirePlace::Middle && std::fabs(middle - feed.at) <= kNear)
            return wire + "c";
        if (feed.place != WirePlace::Middle && std::fabs(wires[i].y1 - feed.at) <= kNear)
            return wire + "b";
        if (feed.place != WirePlace::Middle && std::fabs(wires[i].y2 - feed.at) <= kNear)
            return wire + "e";
    }
    for (std::size_t i = 0; i < wires.size(); ++i) {
        if (feed.at < std::min(wires[i].y1, wires[i].y2) - kNear ||
            feed.at > std::max(wires[i].y1, wires[i].y2) + kNear)
            continue;
        const std::string wire = "w" + std::to_string(number + static_cast<int>(i)) + "c";
        notes.push_back("the source is moved to the middle of its wire, " + wire);
        return wire;
    }
    notes.push_back("the source is moved to the middle of the driven element");
    return "w" + std::to_string(number) + "c";
}

}  // namespace

ImportedDesign BuildDesign(DesignOutline outline) {
    std::vector<std::size_t> order(outline.elements.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return outline.elements[a].distance < outline.elements[b].distance;
    });
    std::vector<OutlineElement> sorted;
    std::optional<std::size_t> fed;
    for (std::size_t i = 0; i < order.size(); ++i) {
        sorted.push_back(outline.elements[order[i]]);
        if (outline.feed && outline.feed->element == order[i]) fed = i;
    }
    const Grouped grouped = GroupOnSchedules(sorted);
    ImportedDesign design{Fitted(outline.title),   outline.f0, {}, outline.height, {}, {},
                          std::move(outline.notes)};
    for (std::size_t s = 0; s < grouped.profiles.size(); ++s)
        design.schedules.push_back(
            ScheduleOf(grouped.profiles[s],
                       ScheduleName(design.nome, grouped.profiles[s], s, grouped.profiles.size())));
    for (std::size_t i = 0; i < sorted.size(); ++i)
        design.elements.push_back({ElementName(i, fed, sorted.size()),
                                   fed == i ? "Driver" : "Element", sorted[i].tubes.back().endM,
                                   sorted[i].distance, sorted[i].height, grouped.scheduleOf[i]});
    if (fed) {
        FeedPoint feed = *outline.feed;
        feed.element = *fed;
        design.sourceWire = SourceWireOf(design, feed, design.notes);
    }
    return design;
}

}  // namespace velkora
