// SPDX-License-Identifier: GPL-3.0-or-later
// The readers of MMANA, Yagi Optimizer and NEC-2 files: real-looking files
// and the designs they give, and the files they refuse with FILE:LINE.
#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>

#include "Failure.h"
#include "ImportFile.h"

namespace velkora {
namespace {

// A design as one text: the project, each schedule, each element, the notes.
std::string Described(const ImportedDesign& d) {
    std::ostringstream out;
    out << std::setprecision(10) << d.nome << " | F0 " << d.f0 << " | HEIGHT " << d.height << " | "
        << d.sourceWire << "\n";
    for (const ImportedSchedule& s : d.schedules) {
        out << s.nome << ":";
        for (const ImportedSection& section : s.sections)
            out << " " << section.diameterMm << " mm " << section.lengthM;
        out << "\n";
    }
    for (const ImportedElement& e : d.elements)
        out << e.nome << " " << e.type << " " << e.len << " at " << e.distance << " z " << e.height
            << " on " << e.schedule << "\n";
    for (const std::string& note : d.notes) out << "note: " << note << "\n";
    return out.str();
}

struct FileCase {
    const char* name;
    const char* path;  // its extension chooses the reader
    const char* text;
    const char* design;
};

const FileCase kFiles[] = {
    {"MmanaOneWirePerElement", "6m.maa",
     "3 el 6 m\r\n*\r\n50.15\r\n*** Wires ***\r\n3\r\n"
     "0.0, -1.5, 0.0, 0.0, 1.5, 0.0, 0.005, -1\r\n"
     "0.8, -1.4, 0.0, 0.8, 1.4, 0.0, 0.005, -1\r\n"
     "2.0, -1.3, 0.0, 2.0, 1.3, 0.0, 0.005, 11\r\n"
     "*** Source ***\r\n1, 1\r\nw2c, 0.0, 1.0\r\n*** Load ***\r\n1, 1\r\nw2c, 1, 50.0, 0.0\r\n"
     "*** Segmentation ***\r\n800, 80, 2.0, 2\r\n*** G/H/M/R/AzEl/X ***\r\n"
     "2, 10.0, 0, 50.0, 120, 60, 0.0\r\n",
     "3 el 6 m | F0 50.15 | HEIGHT 10 | w2c\n"
     "3 el 6 m, 10 mm: 10 mm 1.5\n"
     "Reflector Element 1.5 at 0 z 0 on 0\n"
     "Driven Driver 1.4 at 0.8 z 0 on 0\n"
     "Director Element 1.3 at 2 z 0 on 0\n"
     "note: the wires' own segment counts are not kept\n"
     "note: 1 load(s) are not kept\n"},
    {"MmanaCollinearPiecesBoomAlongY", "20m.maa",
     "tapered 20 m\n*\n14.1\n***Wires***\n6\n"
     "-2.0,\t0.0,\t12.0,\t-1.0,\t0.0,\t12.0,\t0.004,\t-1\n"
     "-1.0,\t0.0,\t12.0,\t1.0,\t0.0,\t12.0,\t0.006,\t-1\n"
     "1.0,\t0.0,\t12.0,\t2.0,\t0.0,\t12.0,\t0.004,\t-1\n"
     "-1.9,\t1.0,\t12.0,\t-1.0,\t1.0,\t12.0,\t0.004,\t-1\n"
     "-1.0,\t1.0,\t12.0,\t1.0,\t1.0,\t12.0,\t0.006,\t-1\n"
     "1.0,\t1.0,\t12.0,\t1.9,\t1.0,\t12.0,\t0.004,\t-1\n"
     "***Source***\n1,\t0\nw5c,\t0.0,\t1.0\n***Load***\n0,\t1\n***Segmentation***\n"
     "800,\t80,\t2.0,\t2\n***G/H/M/R/AzEl/X***\n0,\t0.0\t4,\t50.0,\t120,\t60,\t0.0\n",
     "tapered 20 m | F0 14.1 | HEIGHT 0 | w4c\n"
     "tapered 20 m, 12 to 8 mm: 12 mm 1 8 mm 1\n"
     "Reflector Element 2 at 0 z 12 on 0\n"
     "Driven Driver 1.9 at 1 z 12 on 0\n"
     "note: the boom lies along Y: write its models with the axis Y\n"},
    {"YoInchesWithTaperLineAndSpacing", "10m.yag",
     "3 element 10 m beam\nHeight 40'\nAluminum\n28.0 28.4 28.8\n3 elements, inches\n"
     "spacing 0.875 0.750 0.625\n0 24 36 42.5\n48 24 36 38\n60 24 36 30\n"
     "Published in a club bulletin; the comment runs on.\n",
     "3 element 10 m beam | F0 28.4 | HEIGHT 0 | w6c\n"
     "3 element 10 m beam, 22.225 to 15.875 mm: 22.225 mm 0.6096 19.05 mm 0.9144 15.875 mm "
     "1.0795\n"
     "Reflector Element 2.6035 at 0 z 12.192 on 0\n"
     "Driven Driver 2.4892 at 1.2192 z 12.192 on 0\n"
     "Director Element 2.286 at 2.7432 z 12.192 on 0\n"
     "note: the material (Aluminum) is not kept\n"},
    {"YoSingleDiameterTipToTip", "2m.ant",
     "2 m 3 element\n144300kHz\n3 elements, meters\n0.006\n0 1.04\n0.3 0.98\n0.75 0.92\n",
     "2 m 3 element | F0 144.3 | HEIGHT 0 | w2c\n"
     "2 m 3 element, 6 mm: 6 mm 0.52\n"
     "Reflector Element 0.52 at 0 z 0 on 0\n"
     "Driven Driver 0.49 at 0.3 z 0 on 0\n"
     "Director Element 0.46 at 0.75 z 0 on 0\n"},
    {"NecSymbolsMoveAndScale", "20m.nec",
     "CM 2-el 20 m, centimetres\nCE\nSY L0=2^3*66.25, L1=L0*0.96\nSY S=(200+30), H=1000\n"
     "SY R=1.25/2 ' radius\n"
     "GW 1 21 0 -L0 H 0 L0 H R\nGW 2 21 0 -L1 H 0 L1 H R\nGM 0 0 0 0 0 S 0 0 2\n"
     "GS 0 0 0.01\nGE 0\nEX 0 2 11 0 1 0\nLD 5 0 0 0 3.7e7\nFR 0 3 0 0 14.0 0.1\nEN\n",
     "2-el 20 m, centimetres | F0 14.1 | HEIGHT 0 | w2c\n"
     "2-el 20 m, centimetres, 12.5 mm: 12.5 mm 5.3\n"
     "Reflector Element 5.3 at 0 z 10 on 0\n"
     "Driven Driver 5.088 at 2.3 z 10 on 0\n"
     "note: loads and wire conductivity (LD) are not kept\n"},
    {"NecHalvesTaperedByGc", "10m.nec",
     "CM tapered halves\nCE\nGW 1 1 0 -1 10 0 1 10 0.01\nGW 2 2 0 1 10 0 3 10 0\n"
     "GC 0 0 1 0.008 0.006\nGW 3 2 0 -1 10 0 -3 10 0\nGC 0 0 1 0.008 0.006\nGE 0\n"
     "EX 0 1 1 0 1 0\nFR 0 1 0 0 28.5 0\nEN\n",
     "tapered halves | F0 28.5 | HEIGHT 0 | w1c\n"
     "tapered halves, 20 to 12 mm: 20 mm 1 16 mm 1 12 mm 1\n"
     "Driven Driver 3 at 0 z 10 on 0\n"},
};

class ReadsFile : public testing::TestWithParam<FileCase> {};

TEST_P(ReadsFile, ToTheElementsAndSchedulesExpected) {
    const FileCase& c = GetParam();
    EXPECT_EQ(Described(ReadDesign(c.path, c.text, std::nullopt)), c.design);
}

INSTANTIATE_TEST_SUITE_P(Formats, ReadsFile, testing::ValuesIn(kFiles),
                         [](const auto& row) { return std::string(row.param.name); });

// An MMANA file around one wire line, and a NEC deck around some cards.
std::string Maa(const std::string& wire) {
    return "t\n*\n14.0\n***Wires***\n2\n0.0, -5.0, 0.0, 0.0, 5.0, 0.0, 0.01, -1\n" + wire +
           "\n***Source***\n1, 1\nw1c, 0.0, 1.0\n***Load***\n0, 1\n***Segmentation***\n"
           "800, 80, 2.0, 2\n***G/H/M/R/AzEl/X***\n0, 0.0, 4, 50.0, 120, 60, 0.0\n";
}
std::string Nec(const std::string& cards) {
    return "CM t\nCE\nGW 1 11 0 -5 10 0 5 10 0.01\n" + cards + "GE 0\nFR 0 1 0 0 14 0\nEN\n";
}

struct Refusal {
    const char* name;
    const char* path;
    std::string text;
    const char* message;  // Where() and Message() as the tool prints them
};

const Refusal kRefusals[] = {
    {"EmptyFile", "e.maa", "", "e.maa:1: the file is empty"},
    {"NegativeRadius", "r.maa", Maa("1.0, -5.0, 0.0, 1.0, 5.0, 0.0, -3, -1"),
     "r.maa:7: a negative radius points into MMANA's own taper table, which cannot be read; "
     "give the wire its radius in metres"},
    {"BadNumber", "n.maa", Maa("1.0, -5.0, 0.0, 1.O, 5.0, 0.0, 0.01, -1"),
     "n.maa:7: the wire's field \"1.O\" is not a number"},
    {"VerticalWire", "v.maa", Maa("1.0, 0.0, 0.0, 1.0, 0.0, 5.0, 0.01, -1"),
     "v.maa:7: the wire is vertical or sloping; only horizontal elements across a boom are "
     "read"},
    {"BentWire", "b.maa", Maa("1.0, -5.0, 0.0, 2.0, 5.0, 0.0, 0.01, -1"),
     "b.maa:7: the wire runs neither along X nor along Y, so it is no Yagi element"},
    {"WireOffAnyElement", "g.maa", Maa("0.0, 6.0, 0.0, 0.0, 7.0, 0.0, 0.01, -1"),
     "g.maa:7: the wire leaves a gap in its element, so it is a wire off any element"},
    {"MissingBlocks", "m.maa",
     "t\n*\n14.0\n***Wires***\n1\n0.0, -5.0, 0.0, 0.0, 5.0, 0.0, 0.01, -1\n",
     "m.maa:6: the file ends before the source block"},
    {"NecRotation", "r.nec", Nec("GM 0 0 0 0 90 0 0 0 0\n"),
     "r.nec:4: GM rotates; only a move (no rotation) is read"},
    {"NecCopy", "c.nec", Nec("GM 1 2 0 0 0 1 0 0 0\n"),
     "c.nec:4: GM makes copies; only a move (NRPT 0) is read"},
    {"NecFunction", "f.nec", Nec("SY A=sqrt(2)\n"),
     "f.nec:4: the expression \"sqrt(2)\" cannot be read: the function sqrt() is not read; "
     "only + - * / ^ and parentheses are"},
    {"NecUnknownSymbol", "u.nec", Nec("GW 2 11 B -5 10 B 5 10 0.01\n"),
     "u.nec:4: the expression \"B\" cannot be read: the symbol b is not defined"},
    {"NecArc", "a.nec", Nec("GA 2 11 1 0 90 0.01\n"),
     "a.nec:4: the card \"GA\" is not read: only straight wires (GW, GC, GS, GM) make a Yagi "
     "here"},
    {"NecNoFrequency", "n.nec", "CM t\nGW 1 11 0 -5 10 0 5 10 0.01\nGE 0\nEN\n",
     "n.nec:4: the deck has no frequency (FR)"},
    {"YoLengthBeforeTaper", "l.yag", "t\n14.1\n2 elements, meters\n0 5.3\n2 5.1\n",
     "l.yag:4: a length line comes before any taper line, so its tubes are unknown"},
    {"YoUnknownUnit", "u.yag", "t\n14.1\n2 elements, furlongs\n",
     "u.yag:3: the unit \"furlongs\" is none of feet, inches, meters, centimeters, "
     "millimeters, wavelengths"},
    {"YoTooFewElements", "s.yag", "t\n14.1\n3 elements, m\n0.02\n0 5.3\n2 5.1\n",
     "s.yag:6: the file ends after 2 of its 3 elements"},
    {"UnknownFormat", "design", "nothing to see\n",
     "design: neither the name nor the content tells the format: give --format maa, yag or "
     "nec"},
};

class RefusesFile : public testing::TestWithParam<Refusal> {};

TEST_P(RefusesFile, NamingTheLine) {
    const Refusal& c = GetParam();
    try {
        ReadDesign(c.path, c.text, std::nullopt);
        FAIL() << "read without a failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Where() + ": " + failure.Message(), c.message);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, RefusesFile, testing::ValuesIn(kRefusals),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace velkora
