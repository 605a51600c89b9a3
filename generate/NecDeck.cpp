// SPDX-License-Identifier: GPL-3.0-or-later
#include "NecDeck.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "Failure.h"
#include "MmanaNumbering.h"
#include "ModelFile.h"
#include "ModelPlaces.h"
#include "SoundValues.h"
#include "SourceWire.h"
#include "TaperCorrection.h"

namespace velkora {

namespace {

constexpr double kSpeedOfLight = 299.792458;  // metres times MHz
constexpr int kSegmentsPerWavelength = 20;

// Fixed decimals with "." whatever the locale, trailing zeros dropped.
std::string Decimal(double value, int decimals = 6) {
    char text[64];
    const auto [end, error] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    std::string out(text, error == std::errc() ? end : text);
    if (out.find('.') != std::string::npos) {
        while (out.back() == '0') out.pop_back();
        if (out.back() == '.') out.pop_back();
    }
    return out == "-0" ? "0" : out;
}

double Length(const WireSpan& wire) {
    return std::hypot(wire.x2 - wire.x1, wire.y2 - wire.y1, wire.z2 - wire.z1);
}

int SegmentsFor(double length, double maxSegment) {
    return std::max(1, static_cast<int>(std::ceil(length / maxSegment - 1e-9)));
}

// The tubes of a walked element: the centre wire spans both sides of the
// boom, every other first-of-a-pair wire one side.
std::vector<TubePiece> TubesOf(const std::vector<WireSpan>& wires) {
    std::vector<TubePiece> tubes;
    for (std::size_t i = 0; i < wires.size(); ++i) {
        if (wires[i].mirror) continue;
        tubes.push_back({i == 0 ? Length(wires[i]) / 2 : Length(wires[i]), wires[i].diameter});
    }
    return tubes;
}

// The centre wire stretched (or shrunk) to the uniform element, tip to tip.
WireSpan UniformWire(const WireSpan& centre, const UniformElement& uniform, MainLobeAxis axis) {
    const double scale = uniform.halfLength / (Length(centre) / 2);
    WireSpan wire = centre;
    double& a = axis == MainLobeAxis::X ? wire.y1 : wire.x1;
    double& b = axis == MainLobeAxis::X ? wire.y2 : wire.x2;
    a *= scale;
    b *= scale;
    wire.diameter = uniform.diameter;
    return wire;
}

std::string NameOf(const NumberedElement& element) {
    return element.element.nome.IsNull() ? std::string() : element.element.nome.ToText();
}

std::string WireRange(const std::vector<NumberedElement>& elements) {
    int last = 0;
    for (const NumberedElement& element : elements) last = std::max(last, element.LastWire());
    return last == 0 ? "the model has no wires"
                     : "the model has wires 1 to " + std::to_string(last);
}

// The one wire of an element under the corrected taper. Throws Failure for
// an element without a centre wire and for a source on an outer piece.
WireSpan CorrectedWire(const NumberedElement& element, const SourceWire& source, double f0,
                       MainLobeAxis axis) {
    if (!element.HasCentreWire())
        throw Failure("element \"" + NameOf(element) +
                      "\" has no centre wire (the first section of its schedule has length 0), "
                      "so the corrected taper cannot make it one wire; use --taper exact");
    if (source.wire > element.firstWire && source.wire <= element.LastWire())
        throw Failure("SOURCE_WIRE names wire " + std::to_string(source.wire) +
                      ", an outer piece of element \"" + NameOf(element) +
                      "\", which the corrected taper makes one wire: feed its centre wire w" +
                      std::to_string(element.firstWire) + "c, or use --taper exact");
    const UniformElement uniform = EquivalentUniformElement(TubesOf(element.wires), f0);
    return UniformWire(element.wires.front(), uniform, axis);
}

int SourceSegment(const NecWire& wire, WirePlace place, double centreShare) {
    if (place == WirePlace::Middle) return (wire.segments + 1) / 2;
    // The corrected wire has no centre piece of its own: take the segment
    // where the tapered element's centre tube ended.
    const int fromEnd =
        std::clamp(static_cast<int>(std::floor((1.0 - centreShare) / 2.0 * wire.segments)) + 1, 1,
                   wire.segments);
    return place == WirePlace::First ? fromEnd : wire.segments + 1 - fromEnd;
}

}  // namespace

int FrequencySweep::Count() const {
    return static_cast<int>(std::floor((stop - start) / step + 1e-9)) + 1;
}

double ForwardAzimuth(MainLobeAxis axis) { return axis == MainLobeAxis::X ? 0.0 : 90.0; }

namespace {

// BuildNecModel without naming the project in a failure.
NecModel BuildModel(const ModelJob& job, const NecOptions& options) {
    NecModel model{{}, 0, 0, DesignFrequency(job.project)};
    const double maxSegment = kSpeedOfLight / model.f0 / kSegmentsPerWavelength;
    const SourceWire source = ParseSourceWire(TextOfField(job.project.sourceWire, "SOURCE_WIRE"));
    const std::vector<NumberedElement> elements =
        NumberMmanaWires(job.project.id, job.source, job.axis);

    std::optional<std::size_t> fed;
    double centreShare = 1.0;  // the centre tube's part of the fed wire's length
    for (const NumberedElement& element : elements) {
        if (element.wires.empty()) continue;
        const bool holdsSource =
            source.wire >= element.firstWire && source.wire <= element.LastWire();
        if (options.taper == NecTaper::Exact) {
            for (std::size_t i = 0; i < element.wires.size(); ++i) {
                const int tag = element.firstWire + static_cast<int>(i);
                if (tag == source.wire) fed = model.wires.size();
                model.wires.push_back(
                    {tag, SegmentsFor(Length(element.wires[i]), maxSegment), element.wires[i]});
            }
            continue;
        }
        const WireSpan wire = CorrectedWire(element, source, model.f0, job.axis);
        if (holdsSource) {
            fed = model.wires.size();
            centreShare = Length(element.wires.front()) / Length(wire);
        }
        model.wires.push_back({element.firstWire, SegmentsFor(Length(wire), maxSegment), wire});
    }
    if (!fed)
        throw Failure("SOURCE_WIRE names wire " + std::to_string(source.wire) + ", but " +
                      WireRange(elements) + " (velkora-cli wires lists them)");
    NecWire& fedWire = model.wires[*fed];
    if (fedWire.segments % 2 == 0) ++fedWire.segments;
    model.sourceTag = fedWire.tag;
    model.sourceSegment = SourceSegment(fedWire, source.place, centreShare);
    return model;
}

// NecDeckText without naming the project in a failure. Values are read in
// the order of the deck: the name, F0 and SOURCE_WIRE, then the wires.
std::string DeckText(const ModelJob& job, const NecOptions& options) {
    std::string name = TextOfField(job.project.nome, "NOME");
    const NecModel model = BuildModel(job, options);
    std::replace_if(
        name.begin(), name.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    static constexpr const char* kGround[] = {"free space", "perfect ground",
                                              "average real ground"};
    std::string out = "CM " + name + "\n";
    out += "CM Velkora NEC-2 model: taper " +
           std::string(options.taper == NecTaper::Corrected ? "corrected" : "exact") + ", " +
           kGround[static_cast<int>(options.ground)] + ", boom on " +
           (job.axis == MainLobeAxis::X ? "X" : "Y") + ", F0 " + Decimal(model.f0) +
           " MHz, source " + job.project.sourceWire.ToText() + "\nCE\n";
    for (const NecWire& wire : model.wires) {
        const WireSpan& s = wire.span;
        out += "GW " + std::to_string(wire.tag) + ' ' + std::to_string(wire.segments);
        for (const double value : {s.x1, s.y1, s.z1, s.x2, s.y2, s.z2}) out += ' ' + Decimal(value);
        out += ' ' + Decimal(s.diameter / 2000.0, 7) + '\n';
    }
    out += "GE 0\n";
    if (options.ground == NecGround::Perfect) out += "GN 1 0 0 0 0 0\n";
    if (options.ground == NecGround::Real) out += "GN 2 0 0 0 13 0.005\n";
    out += "EX 0 " + std::to_string(model.sourceTag) + ' ' + std::to_string(model.sourceSegment) +
           " 0 1 0\n";
    if (options.withoutRequests) return out;
    const FrequencySweep sweep = options.sweep.value_or(FrequencySweep{model.f0, model.f0, 0.0});
    out += "FR 0 " + std::to_string(options.sweep ? sweep.Count() : 1) + " 0 0 " +
           Decimal(sweep.start) + ' ' + Decimal(sweep.step) + '\n';
    const std::string forward = Decimal(ForwardAzimuth(job.axis));
    // Free space: a horizontal cut through the elements' plane. Over ground the
    // horizon carries no field, so the cut runs up the forward and backward
    // vertical plane instead.
    out += options.ground == NecGround::Free ? "RP 0 1 73 1000 90 0 0 5\n"
                                             : "RP 0 91 2 1000 0 " + forward + " 1 180\n";
    out += "EN\n";
    return out;
}

}  // namespace

NecModel BuildNecModel(const ModelJob& job, const NecOptions& options) {
    return WithWhere(ProjectPlace(job.project.id), [&] { return BuildModel(job, options); });
}

std::string NecDeckText(const ModelJob& job, const NecOptions& options) {
    return WithWhere(ProjectPlace(job.project.id), [&] { return DeckText(job, options); });
}

void WriteNecModel(const std::string& path, const ModelJob& job, const NecOptions& options) {
    WriteModelFile(path, NecDeckText(job, options));
}

}  // namespace velkora
