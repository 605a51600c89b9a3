// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModelWriters.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <ostream>
#include <string_view>

#include "Cp1252.h"
#include "MmanaNumbering.h"
#include "ModelFile.h"
#include "ModelPlaces.h"
#include "NumberPattern.h"
#include "ScheduleCache.h"
#include "SoundValues.h"
#include "TaperWalk.h"

namespace velkora {

namespace {

constexpr std::string_view kCrLf = "\r\n";
// The fixed pattern of every number field, read once.
struct Patterns {
    CompiledPattern mmanaCoordinate{"#####0.0##"};
    CompiledPattern mmanaFirstRadius{"#####0.0####"};
    CompiledPattern mmanaMirrorRadius{"#####0.0###"};
    CompiledPattern mmanaHeight{"#####0.0###"};
    // Three fixed decimals, at least one integer digit, no grouping.
    CompiledPattern mmanaFrequency{"0.000"};
    CompiledPattern ezNecCoordinate{"###,##0.###"};
    CompiledPattern ezNecDiameter{"###"};

    static const Patterns& Get() {
        static const Patterns patterns;
        return patterns;
    }
};

class BusyGuard {
  public:
    explicit BusyGuard(BusyIndicator* busy) : busy_(busy) {
        if (busy_ != nullptr) busy_->Begin();
    }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;
    ~BusyGuard() {
        if (busy_ != nullptr) busy_->End();
    }

  private:
    BusyIndicator* busy_;
};

void AppendNumber(std::string& out, const CompiledPattern& pattern, double value,
                  const RegionalMarks& marks) {
    AppendNumberPattern(out, pattern, value, marks);
}

// A number of the MMANA file: the locale's text with every "," turned into
// "." (ReplaceEvery(text, ",", ".") done in place on the appended part).
void AppendMmanaNumber(std::string& out, const CompiledPattern& pattern, double value,
                       const RegionalMarks& marks) {
    const std::size_t from = out.size();
    AppendNumber(out, pattern, value, marks);
    std::replace(out.begin() + static_cast<std::ptrdiff_t>(from), out.end(), ',', '.');
}

void AppendLine(std::string& out, std::string_view line) {
    out += line;
    out += kCrLf;
}

// A text of the file, in Windows-1252, with each CR and each LF turned into
// one blank: a name never makes lines of its own.
void AppendText(std::string& out, const DbValue& value, std::string_view field) {
    const std::size_t from = out.size();
    AppendCp1252(out, TextOfField(value, field));
    std::replace_if(
        out.begin() + static_cast<std::ptrdiff_t>(from), out.end(),
        [](char c) { return c == '\r' || c == '\n'; }, ' ');
}

// Where a walked wire comes from, for the check of a wire the file writes.
struct WalkedElement {
    const ElementRow& element;
    MainLobeAxis axis;
};

// Appends the six end-point texts of a wire, each followed by separator, and
// tells whether they make a wire: not when both ends read alike, a wire of
// zero length that modelling programs reject.
template <class AppendCoordinate>
bool AppendEnds(std::string& out, const WireSpan& wire, std::string_view separator,
                AppendCoordinate&& appendCoordinate) {
    const double coordinates[6] = {wire.x1, wire.y1, wire.z1, wire.x2, wire.y2, wire.z2};
    std::size_t bounds[7];
    for (std::size_t i = 0; i < 6; ++i) {
        bounds[i] = out.size();
        appendCoordinate(coordinates[i]);
        out += separator;
    }
    bounds[6] = out.size();
    const std::string_view text(out);
    const auto field = [&](std::size_t i) {
        return text.substr(bounds[i], bounds[i + 1] - bounds[i]);
    };
    return field(0) != field(3) || field(1) != field(4) || field(2) != field(5);
}

// Offers a section's wires to write, which tells whether it wrote one: the
// mirror of a first wire that was left out is left out as well.
template <class Write>
auto SectionPairs(Write&& write) {
    return
        [write = std::forward<Write>(write), firstLeftOut = false](const WireSpan& wire) mutable {
            if (wire.mirror && firstLeftOut) return;
            const bool written = write(wire);
            if (!wire.mirror) firstLeftOut = !written;
        };
}

// One wire line; nothing, and false, for a wire whose ends read alike.
// Throws RefusedValue for a wire written with unsound values.
bool AppendMmanaWire(std::string& out, const WireSpan& wire, const WalkedElement& from,
                     const RegionalMarks& marks) {
    const Patterns& patterns = Patterns::Get();
    const std::size_t start = out.size();
    if (!AppendEnds(out, wire, ",\t", [&](double coordinate) {
            AppendMmanaNumber(out, patterns.mmanaCoordinate, coordinate, marks);
        })) {
        out.resize(start);
        return false;
    }
    CheckWrittenWire(wire, from.element, from.axis);
    const double radius = wire.diameter / 2 / 1000;
    AppendMmanaNumber(out, wire.mirror ? patterns.mmanaMirrorRadius : patterns.mmanaFirstRadius,
                      radius, marks);
    out += ",\t-1";
    out += kCrLf;
    return true;
}

// One wire line; nothing, and false, for a wire whose ends read alike. The
// element's name is made text for the first line written (name empty until
// then): an element without lines may have none. Throws RefusedValue for a
// wire written with unsound values, before the name is read.
bool AppendEzNecWire(std::string& out, const WireSpan& wire, const WalkedElement& from,
                     std::optional<std::string>& name, const RegionalMarks& marks) {
    const Patterns& patterns = Patterns::Get();
    const std::size_t start = out.size();
    if (!AppendEnds(out, wire, " ", [&](double coordinate) {
            AppendNumber(out, patterns.ezNecCoordinate, coordinate, marks);
        })) {
        out.resize(start);
        return false;
    }
    CheckWrittenWire(wire, from.element, from.axis);
    if (!name) {
        std::string text;
        AppendText(text, from.element.nome, "NOME");
        name = std::move(text);
    }
    AppendNumber(out, patterns.ezNecDiameter, wire.diameter, marks);
    out += "         // ";
    out += *name;
    out += kCrLf;
    return true;
}

void AppendMmanaTrailer(std::string& out, const ModelJob& job) {
    AppendLine(out, "***Source***");
    AppendLine(out, "1,\t0");
    AppendText(out, job.project.sourceWire, "SOURCE_WIRE");
    AppendLine(out, ",\t0.0,\t1.0");
    AppendLine(out, "***Load***");
    AppendLine(out, "0,\t1");
    AppendLine(out, "***Segmentation***");
    AppendLine(out, "800,\t80,\t2.0,\t2");
    AppendLine(out, "***G/H/M/R/AzEl/X***");
    // Every field ends in ",\t", the height included, and the height gets the
    // "." decimal mark like every other number: readers split on commas.
    out += "2,\t";
    AppendMmanaNumber(out, Patterns::Get().mmanaHeight, GroundHeight(job.project), job.marks);
    AppendLine(out, ",\t4,\t50.0,\t120,\t60,\t0.0");
}

void WriteToStream(std::ostream& out, const std::string& bytes) {
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) throw FileError(EIO);
}

}  // namespace

void AddMmanaElementWires(MmanaWireList& list, const ElementRow& element, const ModelJob& job) {
    TaperWalk walk(element, job.axis);
    const std::vector<TaperSection> sections = job.source.SectionsOfSchedule(element.idTaper);
    const WalkedElement from{element, job.axis};
    walk.Run(sections, SectionPairs([&](const WireSpan& wire) {
                 if (!AppendMmanaWire(list.lines, wire, from, job.marks)) return false;
                 ++list.count;
                 return true;
             }));
}

std::vector<WireSpan> MmanaWrittenWires(const ElementRow& element,
                                        const std::vector<TaperSection>& sections,
                                        MainLobeAxis axis) {
    std::vector<WireSpan> written;
    std::string scratch;
    const RegionalMarks marks;
    const WalkedElement from{element, axis};
    TaperWalk walk(element, axis);
    walk.Run(sections, SectionPairs([&](const WireSpan& wire) {
                 scratch.clear();
                 if (!AppendMmanaWire(scratch, wire, from, marks)) return false;
                 written.push_back(wire);
                 return true;
             }));
    return written;
}

void WriteEzNecElement(std::string& file, const ElementRow& element, const ModelJob& job) {
    TaperWalk walk(element, job.axis);
    const std::vector<TaperSection> sections = job.source.SectionsOfSchedule(element.idTaper);
    std::optional<std::string> name;
    const WalkedElement from{element, job.axis};
    walk.Run(sections, SectionPairs([&](const WireSpan& wire) {
                 return AppendEzNecWire(file, wire, from, name, job.marks);
             }));
}

std::string MmanaModelText(const ModelJob& request) {
    ScheduleCache schedules(request.source);
    const ModelJob job{request.project, schedules, request.axis, request.marks, request.busy};
    return WithWhere(ProjectPlace(job.project.id), [&] {
        std::string out;
        AppendText(out, job.project.nome, "NOME");
        out += kCrLf;
        AppendLine(out, "*");
        AppendMmanaNumber(out, Patterns::Get().mmanaFrequency, DesignFrequency(job.project),
                          job.marks);
        out += kCrLf;

        MmanaWireList list;
        for (const ElementRow& element : job.source.ElementsOfProject(job.project.id)) {
            if (IsNullElement(element)) continue;
            ForElement(element, [&] { AddMmanaElementWires(list, element, job); });
        }
        AppendLine(out, "***Wires***");
        AppendLine(out, std::to_string(list.count));
        out += list.lines;

        AppendMmanaTrailer(out, job);
        return out;
    });
}

std::string EzNecModelText(const ModelJob& request) {
    ScheduleCache schedules(request.source);
    const ModelJob job{request.project, schedules, request.axis, request.marks, request.busy};
    return WithWhere(ProjectPlace(job.project.id), [&] {
        std::string out;
        AppendLine(out, "; EZNec - Kelmot Velkora");
        AppendLine(out, "m mm");
        for (const ElementRow& element : job.source.ElementsOfProject(job.project.id)) {
            ForElement(element, [&] { WriteEzNecElement(out, element, job); });
        }
        return out;
    });
}

void WriteMmanaModel(const std::string& path, const ModelJob& job) {
    BusyGuard busy(job.busy);
    WriteModelFile(path, MmanaModelText(job));
}

void WriteEzNecModel(const std::string& path, const ModelJob& job) {
    BusyGuard busy(job.busy);
    WriteModelFile(path, EzNecModelText(job));
}

void WriteMmanaModel(std::ostream& out, const ModelJob& job) {
    BusyGuard busy(job.busy);
    WriteToStream(out, MmanaModelText(job));
}

void WriteEzNecModel(std::ostream& out, const ModelJob& job) {
    BusyGuard busy(job.busy);
    WriteToStream(out, EzNecModelText(job));
}

}  // namespace velkora
