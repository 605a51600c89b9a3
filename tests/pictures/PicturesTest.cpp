// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QByteArray>
#include <QSvgRenderer>
#include <cmath>

#include "CutList.h"
#include "GeometryPlot.h"
#include "GuiApplication.h"
#include "MemoryModelSource.h"
#include "PictureFile.h"
#include "PictureKinds.h"
#include "PolarPlot.h"
#include "ReportHtml.h"
#include "SmithChart.h"

namespace velkora {
namespace {

using test::MemoryModelSource;
using test::Section;

// A cut with its maximum forward and a point 3 dB down at 90 degrees.
std::vector<CutPoint> Cut() {
    std::vector<CutPoint> cut;
    for (int a = 0; a < 360; ++a) cut.push_back({double(a), a == 0 ? 9.0 : a == 90 ? 6.0 : -20.0});
    return cut;
}

TEST(PolarTrace, PutsTheMaximumOnTheOuterRingAndThreeDbDownOnItsRing) {
    const struct {
        const char* name;
        PolarView view;
        PlotPoint forward;
        PlotPoint ninety;
    } rows[] = {{"azimuth", PolarView::Azimuth, {0, -1}, {-0.8396, 0}},
                {"elevation", PolarView::Elevation, {1, 0}, {0, -0.8396}}};
    for (const auto& row : rows) {
        const std::vector<PlotPoint> trace = PolarTrace(row.view, Cut());
        EXPECT_NEAR(trace[0].x, row.forward.x, 1e-9) << row.name;
        EXPECT_NEAR(trace[0].y, row.forward.y, 1e-9) << row.name;
        EXPECT_NEAR(trace[90].x, row.ninety.x, 5e-5) << row.name;
        EXPECT_NEAR(trace[90].y, row.ninety.y, 5e-5) << row.name;
    }
}

TEST(PolarTrace, DrawsAnElevationCutOverGroundAsTheUpperHalf) {
    std::vector<CutPoint> overGround = Cut();
    overGround.resize(181);
    EXPECT_TRUE(IsUpperHalf(PolarView::Elevation, overGround));
    EXPECT_FALSE(IsUpperHalf(PolarView::Elevation, Cut()));
    EXPECT_FALSE(IsUpperHalf(PolarView::Azimuth, overGround));
    const PolarFrame half = PolarFrameOf(0, 0, 400, 300, true);
    EXPECT_DOUBLE_EQ(half.radius, 200);
    EXPECT_LE(half.cy, 300);
    EXPECT_GE(half.cy - half.radius, 0);
}

TEST(SmithChart, LabelsBothEndsAndTheFrequencyNearestF0) {
    std::vector<FrequencyFigures> sweep(41);
    for (std::size_t i = 0; i < sweep.size(); ++i) sweep[i].mhz = 14.0 + 0.01 * double(i);
    const std::vector<std::size_t> labelled = LabelledPoints(sweep, 14.177, 7);
    EXPECT_EQ(labelled.front(), 0u);
    EXPECT_EQ(labelled.back(), 40u);
    EXPECT_NE(std::find(labelled.begin(), labelled.end(), 18u), labelled.end());
    EXPECT_LE(labelled.size(), 7u);
}

// A two-element project: a reflector and a driver on one schedule.
struct Antenna {
    ProjectRow project{DbValue::Integer(1), DbValue::Text("Test"), DbValue::Real(14.1),
                       DbValue::Text("w4c"), DbValue::Integer(0)};
    MemoryModelSource source;
    Antenna() {
        source.sections = {Section(1, 1, 25, 1.0), Section(1, 2, 16, 9.0)};
        source.elements = {Element("Reflector", 5.4, 0.0), Element("Driver", 5.1, 2.3)};
    }
    static ElementRow Element(const char* name, double len, double distance) {
        return {DbValue::Integer(1),      DbValue::Integer(1), DbValue::Text(name),
                DbValue::Text("Element"), DbValue::Real(len),  DbValue::Integer(1),
                DbValue::Real(distance),  DbValue::Real(15.0)};
    }
};

TEST(GeometryInput, SaysWhyAProjectCannotBeDrawn) {
    const struct {
        const char* name;
        void (*spoil)(Antenna&);
        const char* reason;
    } rows[] = {
        {"no_elements", [](Antenna& a) { a.source.elements.clear(); }, "no elements"},
        {"no_schedule", [](Antenna& a) { a.source.sections.clear(); }, "No element has wires"},
        {"length_not_a_number",
         [](Antenna& a) { a.source.elements[1].len = DbValue::Text("long"); }, "LEN"},
    };
    for (const auto& row : rows) {
        Antenna antenna;
        row.spoil(antenna);
        const PictureInput input = GeometryInput(antenna.project, antenna.source);
        EXPECT_TRUE(input.geometryProblem.contains(row.reason))
            << row.name << ": " << input.geometryProblem.toStdString();
        EXPECT_TRUE(input.elements.empty() || !input.geometryProblem.isEmpty()) << row.name;
    }
}

TEST(GeometryInput, FindsTheFedWireByItsMmanaNumber) {
    Antenna antenna;
    const PictureInput input = GeometryInput(antenna.project, antenna.source);
    ASSERT_TRUE(input.geometryProblem.isEmpty()) << input.geometryProblem.toStdString();
    ASSERT_TRUE(input.source.has_value());
    const std::optional<WireSpan> fed = SourceSpan(input.elements, *input.source);
    ASSERT_TRUE(fed.has_value());
    EXPECT_DOUBLE_EQ(fed->x1, 2.3);  // the driver's centre wire, the fourth wire
    EXPECT_DOUBLE_EQ(fed->diameter, 25);
    EXPECT_FALSE(SourceSpan(input.elements, {7, WirePlace::Middle}).has_value());
}

TEST(GeometryLayout, FitsBothViewsInTheBoxAtOneScale) {
    const struct {
        const char* name;
        GeometryExtent extent;
    } rows[] = {{"long_boom", {0, 40, 5, 15, 15}},
                {"wide_elements", {0, 1, 12, 15, 15}},
                {"stacked_heights", {0, 6, 3, 10, 18}}};
    for (const auto& row : rows) {
        const GeometryExtent& e = row.extent;
        const GeometryLayout layout = LayoutGeometry(e, 10, 20, 800, 500, 30);
        const double right = layout.left + (e.maxX - e.minX) * layout.scale;
        const double highest = layout.boomY - e.halfSpan * layout.scale;
        const double lowest = layout.sideZ + (e.maxZ - e.minZ) / 2 * layout.scale;
        EXPECT_GE(layout.left, 10 - 1e-9) << row.name;
        EXPECT_LE(right, 810 + 1e-9) << row.name;
        EXPECT_GE(highest, 20 - 1e-9) << row.name;
        EXPECT_LE(lowest, 520 + 1e-9) << row.name;
        EXPECT_GT(layout.sideZ, layout.boomY + e.halfSpan * layout.scale) << row.name;
    }
}

// A made-up sweep with cuts, enough for every kind.
PictureInput Drawable() {
    Antenna antenna;
    PictureInput input = GeometryInput(antenna.project, antenna.source);
    input.title = "Club <beam> & \"test\"";
    for (int i = 0; i < 5; ++i) {
        FrequencyFigures f;
        f.mhz = 14.0 + 0.05 * i;
        f.resistance = 30 + i;
        f.reactance = -20 + 10 * i;
        f.swr = 1.2 + 0.3 * std::abs(i - 2);
        f.azimuthCut = Cut();
        f.elevationCut = Cut();
        input.sweep.push_back(f);
    }
    return input;
}

// Every kind, drawable or not, makes an SVG that renders and says what it
// shows, with the store's text escaped.
TEST(PictureKinds, PaintEveryKindOrTheReasonAsAValidSvg) {
    test::EnsureGuiApplication();
    PictureInput noSolver = Drawable();
    noSolver.sweep.clear();
    noSolver.solveProblem = "nec2c is not installed";
    const struct {
        const char* name;
        PictureInput input;
        bool drawn;
    } rows[] = {{"drawable", Drawable(), true}, {"no_solver", noSolver, false}};
    for (const auto& row : rows)
        for (const PictureKind& kind : PictureKinds()) {
            const std::string bytes = PictureBytes(
                PictureFormat::Svg, kind.size, row.input.title,
                [&](QPainter& p, const QSizeF& s) { PaintPicture(kind, p, s, row.input); });
            const QByteArray svg = QByteArray::fromStdString(bytes);
            const std::string name = std::string(row.name) + "/" + kind.name;
            EXPECT_TRUE(QSvgRenderer(svg).isValid()) << name;
            EXPECT_TRUE(svg.contains("Club &lt;beam&gt; &amp;")) << name;
            const bool reason = svg.contains("nec2c is not installed");
            EXPECT_EQ(reason, !row.drawn && kind.needsSolver) << name;
        }
}

TEST(PictureFile, WritesPngAndKnowsFormatsByExtension) {
    test::EnsureGuiApplication();
    const std::string png =
        PictureBytes(PictureFormat::Png, QSize(40, 30), "t",
                     [](QPainter& p, const QSizeF&) { p.drawLine(0, 0, 9, 9); });
    EXPECT_EQ(png.substr(1, 3), "PNG");
    EXPECT_EQ(PictureFormatOf("a.SVG"), PictureFormat::Svg);
    EXPECT_EQ(PictureFormatOf("a.png"), PictureFormat::Png);
    EXPECT_EQ(PictureFormatOf("a.pdf"), std::nullopt);
}

TEST(CutList, ListsTubesFromTheCentreOutAndTheTipToTipLength) {
    const struct {
        const char* name;
        std::vector<TaperSection> sections;
        std::vector<double> perSide;
        double tipToTip;
    } rows[] = {{"centre_tube_then_tip",
                 {Section(1, 1, 25, 1.0), Section(1, 2, 16, 9.0)},
                 {1.0, 4.4},
                 10.8},
                {"no_centre_tube", {Section(1, 1, 25, 0.0), Section(1, 2, 16, 9.0)}, {5.4}, 10.8}};
    for (const auto& row : rows) {
        Antenna antenna;
        antenna.source.sections = row.sections;
        const PictureInput input = GeometryInput(antenna.project, antenna.source);
        ASSERT_FALSE(input.elements.empty()) << row.name;
        const ElementCut cut = CutOf(input.elements.front());
        ASSERT_EQ(cut.tubes.size(), row.perSide.size()) << row.name;
        for (std::size_t i = 0; i < cut.tubes.size(); ++i)
            EXPECT_NEAR(cut.tubes[i].lengthPerSideM, row.perSide[i], 1e-9) << row.name << i;
        EXPECT_NEAR(cut.tipToTipM, row.tipToTip, 1e-9) << row.name;
    }
}

// The page carries no script and no address to fetch, whatever the store
// holds; the store's text arrives escaped.
TEST(ReportHtml, IsSelfContainedAndEscapesTheStoresText) {
    test::EnsureGuiApplication();
    PictureInput input = Drawable();
    input.title = "<script>alert(1)</script>";
    input.elements.front().element.nome = DbValue::Text("<img src=x onerror=alert(1)>");
    const QString html = QString::fromStdString(ReportHtml({input}, "ground <free>"));
    EXPECT_FALSE(html.contains("<script")) << "script";
    EXPECT_FALSE(html.contains("<img")) << "image";
    QString addresses = html;
    addresses.remove("\"http://www.w3.org/2000/svg\"").remove("\"http://www.w3.org/1999/xlink\"");
    EXPECT_FALSE(addresses.contains("http:") || addresses.contains("https:")) << "an address";
    EXPECT_TRUE(html.contains("&lt;script&gt;alert(1)&lt;/script&gt;"));
    EXPECT_TRUE(html.contains("ground &lt;free&gt;"));
    EXPECT_EQ(html.count("<svg"), 5);
    EXPECT_EQ(ReportedPoints(input.sweep, 14.1), (std::vector<std::size_t>{0, 2, 4}));
}

}  // namespace
}  // namespace velkora
