#include "ModelWriters.h"

#include <algorithm>
#include <cerrno>
#include <ostream>
#include <string_view>

#include "Cp1252.h"
#include "ModelFile.h"
#include "NumberPattern.h"
#include "ScheduleCache.h"
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

void AppendText(std::string& out, const DbValue& value) { AppendCp1252(out, value.ToText()); }

bool IsNullElement(const ElementRow& element) {
    return element.type.IsText() && element.type.ToText() == "Null";
}

void AppendMmanaWire(std::string& out, const WireSpan& wire, const RegionalMarks& marks) {
    const Patterns& patterns = Patterns::Get();
    for (const double coordinate : {wire.x1, wire.y1, wire.z1, wire.x2, wire.y2, wire.z2}) {
        AppendMmanaNumber(out, patterns.mmanaCoordinate, coordinate, marks);
        out += ",\t";
    }
    const double radius = wire.diameter / 2 / 1000;
    AppendMmanaNumber(out, wire.mirror ? patterns.mmanaMirrorRadius : patterns.mmanaFirstRadius,
                      radius, marks);
    out += ",\t-1";
    out += kCrLf;
}

void AppendEzNecWire(std::string& out, const WireSpan& wire, std::string_view name,
                     const RegionalMarks& marks) {
    const Patterns& patterns = Patterns::Get();
    for (const double coordinate : {wire.x1, wire.y1, wire.z1, wire.x2, wire.y2, wire.z2}) {
        AppendNumber(out, patterns.ezNecCoordinate, coordinate, marks);
        out += ' ';
    }
    AppendNumber(out, patterns.ezNecDiameter, wire.diameter, marks);
    out += "         // ";
    out += name;
    out += kCrLf;
}

void AppendMmanaTrailer(std::string& out, const ModelJob& job) {
    AppendLine(out, "***Source***");
    AppendLine(out, "1,\t0");
    AppendText(out, job.project.sourceWire);
    AppendLine(out, ",\t0.0,\t1.0");
    AppendLine(out, "***Load***");
    AppendLine(out, "0,\t1");
    AppendLine(out, "***Segmentation***");
    AppendLine(out, "800,\t80,\t2.0,\t2");
    AppendLine(out, "***G/H/M/R/AzEl/X***");
    // Every field ends in ",\t", the height included, and the height gets the
    // "." decimal mark like every other number: readers split on commas.
    out += "2,\t";
    AppendMmanaNumber(out, Patterns::Get().mmanaHeight, job.project.height.ToDouble(), job.marks);
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
    walk.Run(sections, [&](const WireSpan& wire) {
        AppendMmanaWire(list.lines, wire, job.marks);
        ++list.count;
    });
}

void WriteEzNecElement(std::string& file, const ElementRow& element, const ModelJob& job) {
    TaperWalk walk(element, job.axis);
    const std::vector<TaperSection> sections = job.source.SectionsOfSchedule(element.idTaper);
    // The name is made text at the first wire: an element without wires may
    // have none.
    std::string name;
    bool named = false;
    walk.Run(sections, [&](const WireSpan& wire) {
        if (!named) {
            AppendText(name, element.nome);
            named = true;
        }
        AppendEzNecWire(file, wire, name, job.marks);
    });
}

std::string MmanaModelText(const ModelJob& request) {
    ScheduleCache schedules(request.source);
    const ModelJob job{request.project, schedules, request.axis, request.marks, request.busy};
    std::string out;
    AppendText(out, job.project.nome);
    out += kCrLf;
    AppendLine(out, "*");
    AppendMmanaNumber(out, Patterns::Get().mmanaFrequency, job.project.f0.ToDouble(), job.marks);
    out += kCrLf;

    MmanaWireList list;
    for (const ElementRow& element : job.source.ElementsOfProject(job.project.id)) {
        if (!IsNullElement(element)) AddMmanaElementWires(list, element, job);
    }
    AppendLine(out, "***Wires***");
    AppendLine(out, std::to_string(list.count));
    out += list.lines;

    AppendMmanaTrailer(out, job);
    return out;
}

std::string EzNecModelText(const ModelJob& request) {
    ScheduleCache schedules(request.source);
    const ModelJob job{request.project, schedules, request.axis, request.marks, request.busy};
    std::string out;
    AppendLine(out, "; EZNec - Kelmot Velkora");
    AppendLine(out, "m mm");
    for (const ElementRow& element : job.source.ElementsOfProject(job.project.id)) {
        WriteEzNecElement(out, element, job);
    }
    return out;
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
