// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "Failure.h"
#include "MemoryModelSource.h"
#include "ModelTargets.h"
#include "ModelWriters.h"
#include "NecDeck.h"
#include "SourceWire.h"
#include "TaperCorrection.h"
#include "TempFolder.h"

namespace velkora {
namespace {

using test::Element;
using test::Section;

// Reflector R and driver D on a schedule of 12 mm then 10 mm tubes, at 144.3
// MHz, where a twentieth of the wavelength is 0.104 m.
struct Example {
    ProjectRow project = test::Project(144.3);
    test::MemoryModelSource source;
    RegionalMarks marks{",", ".", "/"};

    Example() {
        source.elements = {Element("R", 0.5, 0), Element("D", 0.48, 0.4)};
        source.sections = {Section(1, 1, 12.0, 0.3), Section(1, 2, 10.0, 1.0)};
    }
    ModelJob Job(MainLobeAxis axis = MainLobeAxis::X) {
        return ModelJob{project, source, axis, marks};
    }
    std::string Deck(NecOptions options, const char* sourceWire = "w4c") {
        project.sourceWire = DbValue::Text(sourceWire);
        return NecDeckText(Job(), options);
    }
};

NecOptions Options(NecTaper taper, NecGround ground = NecGround::Free,
                   std::optional<FrequencySweep> sweep = std::nullopt) {
    return NecOptions{taper, ground, sweep};
}

TEST(TaperCorrectionTest, TubesOfOneDiameterAreOneUniformElement) {
    for (const std::vector<TubePiece>& pieces :
         {std::vector<TubePiece>{{5.0, 20}}, std::vector<TubePiece>{{1.0, 20}, {4.0, 20}},
          std::vector<TubePiece>{{0.5, 20}, {2.5, 20}, {2.0, 20}}}) {
        const UniformElement uniform = EquivalentUniformElement(pieces, 14.15);
        EXPECT_NEAR(uniform.halfLength, 5.0, 1e-9) << pieces.size() << " pieces";
        EXPECT_DOUBLE_EQ(uniform.diameter, 20);
    }
}

TEST(TaperCorrectionTest, ThickCentreMakesAShorterUniformElement) {
    struct Case {
        const char* name;
        std::vector<TubePiece> pieces;
        bool shorter;
    };
    const Case cases[] = {
        {"thick centre", {{1.0, 35}, {4.0, 16}}, true},
        {"thin centre", {{1.0, 16}, {4.0, 35}}, false},
        {"four steps down", {{1.2, 25.4}, {0.6, 22.2}, {1.1, 19.1}, {2.3, 12.7}}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        double half = 0, weighted = 0;
        for (const TubePiece& piece : c.pieces) {
            half += piece.length;
            weighted += piece.length * piece.diameter;
        }
        const UniformElement uniform = EquivalentUniformElement(c.pieces, 14.15);
        EXPECT_DOUBLE_EQ(uniform.diameter, weighted / half);
        EXPECT_EQ(uniform.halfLength < half, c.shorter) << uniform.halfLength;
        EXPECT_NEAR(uniform.halfLength, half, 0.1 * half);
    }
}

TEST(SourceWireTest, ReadsWireAndPlace) {
    EXPECT_EQ(ParseSourceWire("w10c").wire, 10);
    EXPECT_EQ(ParseSourceWire(" W3B ").place, WirePlace::First);
    EXPECT_EQ(ParseSourceWire("w7e").place, WirePlace::Last);
    for (const char* bad : {"", "10c", "w10", "wc", "w0c", "w10x", "w1.5c", "w-2c", "w 2c"}) {
        SCOPED_TRACE(bad);
        try {
            ParseSourceWire(bad);
            ADD_FAILURE() << "accepted";
        } catch (const Failure& e) {
            EXPECT_EQ(std::string(e.what()), "SOURCE_WIRE \"" + std::string(bad) +
                                                 "\" does not name a wire: write w, the wire's "
                                                 "number and c (middle), b (first) or e (last "
                                                 "segment), for example w10c");
        }
    }
}

TEST(NecDeckTest, ExactDeckKeepsEveryTubeUnderItsMmanaNumber) {
    Example example;
    EXPECT_EQ(example.Deck(Options(NecTaper::Exact), "w2c"),
              "CM P\n"
              "CM Velkora NEC-2 model: taper exact, free space, boom on X, F0 144.3 MHz, "
              "source w2c\n"
              "CE\n"
              "GW 1 6 0 0.3 10 0 -0.3 10 0.006\n"
              "GW 2 3 0 0.3 10 0 0.5 10 0.005\n"
              "GW 3 2 0 -0.3 10 0 -0.5 10 0.005\n"
              "GW 4 6 0.4 0.3 10 0.4 -0.3 10 0.006\n"
              "GW 5 2 0.4 0.3 10 0.4 0.48 10 0.005\n"
              "GW 6 2 0.4 -0.3 10 0.4 -0.48 10 0.005\n"
              "GE 0\n"
              "EX 0 2 2 0 1 0\n"
              "FR 0 1 0 0 144.3 0\n"
              "RP 0 1 73 1000 90 0 0 5\n"
              "EN\n");
}

// A wire the MMANA model leaves out (its ends read alike) is neither in the
// deck nor counted, so the tags after it still match the MMANA numbers.
TEST(NecDeckTest, ExactDeckLeavesOutTheWiresTheMmanaModelLeavesOut) {
    Example example;
    // 5.15 - 2.56 - 2.59 leaves a residue that makes a third piece of no length.
    example.source.elements = {Element("R", 5.15, 0), Element("D", 0.48, 0.4)};
    example.source.sections = {Section(1, 1, 30.0, 2.56), Section(1, 2, 25.0, 2.59),
                               Section(1, 3, 20.0, 2.02)};
    const std::string deck = example.Deck(Options(NecTaper::Exact), "w4c");
    const std::string mmana = MmanaModelText(example.Job());
    const std::size_t wires = mmana.find("***Wires***\r\n") + 13;
    EXPECT_EQ(mmana.substr(wires, mmana.find('\r', wires) - wires), "4");
    EXPECT_NE(deck.find("GW 3 "), std::string::npos) << deck;
    EXPECT_NE(deck.find("GW 4 "), std::string::npos) << deck;
    EXPECT_EQ(deck.find("GW 5 "), std::string::npos) << deck;
    EXPECT_NE(deck.find("EX 0 4 "), std::string::npos) << deck;
}

TEST(NecDeckTest, CorrectedDeckHasOneWirePerElementTaggedByItsCentreWire) {
    Example example;
    const NecModel model = BuildNecModel(example.Job(MainLobeAxis::Y), {});
    ASSERT_EQ(model.wires.size(), 2u);
    for (const NecWire& wire : model.wires) {
        SCOPED_TRACE(wire.tag);
        const double half = wire.tag == 1 ? 0.5 : 0.48;
        const double distance = wire.tag == 1 ? 0.0 : 0.4;
        EXPECT_DOUBLE_EQ(wire.span.y1, distance);
        EXPECT_DOUBLE_EQ(wire.span.y2, distance);
        EXPECT_DOUBLE_EQ(wire.span.x1, -wire.span.x2);
        EXPECT_LT(wire.span.x1, half) << "a thick centre shortens the element";
        EXPECT_GT(wire.span.x1, 0.9 * half);
        EXPECT_DOUBLE_EQ(wire.span.diameter, (12 * 0.3 + 10 * (half - 0.3)) / half);
        EXPECT_LE(2 * wire.span.x1 / wire.segments, 299.792458 / 144.3 / 20);
    }
    EXPECT_EQ(model.wires[0].tag, 1);
    EXPECT_EQ(model.wires[1].tag, 4);
    EXPECT_EQ(model.sourceTag, 4);
    EXPECT_EQ(model.wires[1].segments % 2, 1);
    EXPECT_EQ(model.sourceSegment, (model.wires[1].segments + 1) / 2);
}

TEST(NecDeckTest, SourcePlaces) {
    Example example;
    for (const NecTaper taper : {NecTaper::Exact, NecTaper::Corrected}) {
        SCOPED_TRACE(taper == NecTaper::Exact ? "exact" : "corrected");
        example.project.sourceWire = DbValue::Text("w4b");
        const NecModel first = BuildNecModel(example.Job(), Options(taper));
        example.project.sourceWire = DbValue::Text("w4e");
        const NecModel last = BuildNecModel(example.Job(), Options(taper));
        const int segments = first.wires[taper == NecTaper::Exact ? 3 : 1].segments;
        EXPECT_EQ(first.sourceSegment + last.sourceSegment, segments + 1);
        EXPECT_LT(first.sourceSegment, (segments + 1) / 2);
        if (taper == NecTaper::Exact) {
            EXPECT_EQ(first.sourceSegment, 1);
        }
    }
}

TEST(NecDeckTest, ModelsThatCannotBeMadeSayWhy) {
    struct Case {
        const char* name;
        const char* sourceWire;
        double f0;
        NecTaper taper;
        std::string message;
        std::optional<std::vector<TaperSection>> sections = std::nullopt;
        std::string where = "project 7";
    };
    const Case cases[] = {
        {"outer piece, corrected", "w5c", 144.3, NecTaper::Corrected,
         "SOURCE_WIRE names wire 5, an outer piece of element \"D\", which the corrected taper "
         "makes one wire: feed its centre wire w4c, or use --taper exact"},
        {"beyond the model", "w7c", 144.3, NecTaper::Exact,
         "SOURCE_WIRE names wire 7, but the model has wires 1 to 6 (velkora-cli wires lists "
         "them)"},
        {"no frequency", "w4c", 0, NecTaper::Corrected,
         "F0 is 0; the design frequency must be a finite number above 0"},
        {"value of an element", "w4c", 144.3, NecTaper::Exact,
         "Could not convert variant of type (Null) into type (Double)",
         std::vector<TaperSection>{Section(1, 1, 12.0, 0.3), Section(1, 2, DbValue::Real(10), {})},
         "project 7, element \"R\", section 2, LENGTH"},
        {"no centre wire", "w3c", 144.3, NecTaper::Corrected,
         "element \"R\" has no centre wire (the first section of its schedule has length 0), "
         "so the corrected taper cannot make it one wire; use --taper exact",
         std::vector<TaperSection>{Section(1, 1, 12.0, 0.0), Section(1, 2, 10.0, 1.0)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Example example;
        example.project.f0 = DbValue::Real(c.f0);
        if (c.sections) example.source.sections = *c.sections;
        try {
            example.Deck(Options(c.taper), c.sourceWire);
            ADD_FAILURE() << "no failure";
        } catch (const Failure& e) {
            EXPECT_EQ(e.Message(), c.message);
            EXPECT_EQ(e.Where(), c.where);
        }
    }
}

TEST(NecDeckTest, GroundAndSweepCards) {
    Example example;
    const std::string perfect = example.Deck(
        Options(NecTaper::Corrected, NecGround::Perfect, FrequencySweep{144, 146, 0.5}));
    EXPECT_NE(perfect.find("\nGE 0\nGN 1 0 0 0 0 0\nEX "), std::string::npos) << perfect;
    EXPECT_NE(perfect.find("\nFR 0 5 0 0 144 0.5\nRP 0 91 2 1000 0 0 1 180\n"), std::string::npos)
        << perfect;
    const std::string real = example.Deck(Options(NecTaper::Corrected, NecGround::Real));
    EXPECT_NE(real.find("\nGN 2 0 0 0 13 0.005\n"), std::string::npos) << real;
}

// The window's save dialog lists the EZNEC and MMANA files but not the NEC-2
// deck; a name typed after --target, in any letter case, and a target the
// window chose both write that program's file, under its extension.
TEST(ModelTargetsTest, ChoicesWriteTheirProgramsFiles) {
    EXPECT_EQ(WindowFilter(), "Text File (EZNec)|*.txt|MMAna File|*.maa");
    EXPECT_EQ(WindowFilterIndex(OutputTarget::EzNec), 1);
    EXPECT_EQ(WindowFilterIndex(OutputTarget::Mmana), 2);
    EXPECT_EQ(FindTarget("nec2"), nullptr);
    Example example;
    const NecOptions options = Options(NecTaper::Exact);
    const struct {
        const char* typed;
        OutputTarget target;
        std::string text;
        const char* extension;
    } rows[] = {
        {"mmana", OutputTarget::Mmana, MmanaModelText(example.Job()), ".maa"},
        {"EzNec", OutputTarget::EzNec, EzNecModelText(example.Job()), ".txt"},
        {"NEC", OutputTarget::Nec, NecDeckText(example.Job(), options), ".nec"},
    };
    test::TempFolder folder;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        const ModelTarget* typed = FindTarget(row.typed);
        ASSERT_NE(typed, nullptr);
        for (const ModelTarget* chosen : {typed, &TargetRow(row.target)}) {
            const std::string path = folder.Path("model" + std::string(chosen->extension));
            chosen->write(path, example.Job(), options);
            EXPECT_EQ(test::ReadFile(folder.Path(std::string("model") + row.extension)), row.text);
            std::filesystem::remove(path);
        }
    }
}

}  // namespace
}  // namespace velkora
