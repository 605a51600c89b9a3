// SPDX-License-Identifier: GPL-3.0-or-later
#include "SampleDesigns.h"

#include <QSqlError>
#include <QVariant>
#include <vector>

#include "SchemaTable.h"
#include "StoreError.h"
#include "StoreSql.h"

namespace velkora {

using namespace schema;

namespace {

struct Section {
    double diameterMm;
    double lengthM;  // one side of the boom
};

struct Schedule {
    const char* nome;
    std::vector<Section> sections;  // from the boom outwards
};

struct Element {
    const char* nome;
    const char* type;
    double halfLengthM;
    double distanceM;
    int schedule = 0;  // index into the design's schedules
};

struct Design {
    const char* nome;
    double f0MHz;
    const char* sourceWire;  // the driven element's centre wire
    std::vector<Schedule> schedules;
    std::vector<Element> elements;
};

constexpr double kMastHeightM = 15.0;

// Published designs with stepped tubing, as their designers gave them;
// inches converted at 25.4 mm and rounded to 0.1 mm. A schedule's tip tube
// is long enough for the longest element on it, and LEN cuts it.
const std::vector<Design>& Designs() {
    static const std::vector<Design> designs = {
        {"2-el. Yagi 20 m DK7ZB (28 ohm)",
         14.15,
         "w10c",
         {{"DK7ZB 20 m, 35 to 16 mm",
           {{35, 0.50}, {30, 1.00}, {25, 1.00}, {20, 1.00}, {16, 2.04}}}},
         {{"Reflector", "Element", 5.54, 0.0}, {"Radiator", "Driver", 5.13, 2.30}}},
        {"3-el. Yagi 10 m DK7ZB (28 ohm)",
         28.5,
         "w4c",
         {{"DK7ZB 10 m, 16 to 12 mm", {{16, 1.00}, {12, 1.80}}}},
         {{"Reflector", "Element", 2.705, 0.0},
          {"Radiator", "Driver", 2.57, 1.36},
          {"Director", "Element", 2.40, 3.00}}},
        {"5-el. Yagi 20 m W6NGZ (45 ft boom)",
         14.175,
         "w8c",
         {{"W6NGZ 20 m, 1 to 5/8 in",
           {{25.4, 1.8288}, {22.225, 1.2192}, {19.05, 0.9144}, {15.875, 1.60}}}},
         {{"Reflector", "Element", 5.4762, 0.0},
          {"Driven", "Driver", 5.2311, 2.0269},
          {"Director 1", "Element", 5.0345, 3.9411},
          {"Director 2", "Element", 4.9924, 8.5832},
          {"Director 3", "Element", 4.8235, 13.4722}}},
        {"6-el. Yagi 20 m NW3Z (48 ft boom)",
         14.175,
         "w10c",
         {{"NW3Z 20 m, 1 to 1/2 in",
           {{25.4, 1.2192}, {22.225, 0.6096}, {19.05, 1.1176}, {15.875, 0.9144}, {12.7, 1.80}}}},
         {{"Reflector", "Element", 5.5303, 0.0},
          {"Driven", "Driver", 5.3518, 2.2860},
          {"Director 1", "Element", 5.1003, 3.5438},
          {"Director 2", "Element", 4.9433, 6.7742},
          {"Director 3", "Element", 4.9436, 9.8664},
          {"Director 4", "Element", 4.7597, 14.4780}}},
        {"5-el. Yagi 20 m W3LPL (48 ft boom)",
         14.175,
         "w10c",
         {{"W3LPL 20 m A, reflector and driven",
           {{31.75, 0.8573}, {28.575, 1.2764}, {25.4, 0.8382}, {22.225, 0.8382}, {19.05, 1.78}}},
          {"W3LPL 20 m B, director 1",
           {{31.75, 0.5588}, {28.575, 1.2160}, {25.4, 0.8382}, {22.225, 0.8382}, {19.05, 1.62}}},
          {"W3LPL 20 m C, director 2",
           {{31.75, 0.5588}, {28.575, 0.7938}, {25.4, 0.8382}, {22.225, 0.8382}, {19.05, 1.96}}},
          {"W3LPL 20 m D, director 3",
           {{31.75, 0.5588}, {28.575, 1.1113}, {25.4, 0.8382}, {22.225, 0.8382}, {19.05, 1.33}}}},
         {{"Reflector", "Element", 5.5118, 0.0, 0},
          {"Driven", "Driver", 5.3848, 2.1844, 0},
          {"Director 1", "Element", 5.0643, 4.3434, 1},
          {"Director 2", "Element", 4.9848, 8.8646, 2},
          {"Director 3", "Element", 4.6673, 14.4780, 3}}},
        {"3-el. Yagi 10 m K6STI (short boom)",
         28.5,
         "w6c",
         {{"K6STI 10 m, 3/4 to 1/2 in", {{19.05, 0.6096}, {15.875, 0.4572}, {12.7, 1.80}}}},
         {{"Reflector", "Element", 2.7432, 0.0},
          {"Driven", "Driver", 2.5857, 0.9144},
          {"Director", "Element", 2.4003, 2.2860}}},
        {"3-el. Yagi 15 m K6STI (short boom)",
         21.225,
         "w8c",
         {{"K6STI 15 m, 7/8 to 1/2 in",
           {{22.225, 0.7620}, {19.05, 0.9144}, {15.875, 0.4572}, {12.7, 1.65}}}},
         {{"Reflector", "Element", 3.6703, 0.0},
          {"Driven", "Driver", 3.4798, 1.2192},
          {"Director", "Element", 3.2258, 3.5560}}},
    };
    return designs;
}

QVariant Insert(QSqlDatabase& db, const char* table, const QStringList& columns,
                const QVariantList& values, const char* key = kId) {
    return InsertRow(db, QLatin1String(table), columns, values, QLatin1String(key),
                     "Could not add the sample designs");
}

QVariant AddSchedule(QSqlDatabase& db, const Schedule& schedule) {
    const QVariant taper = Insert(db, kTaper, {kNome, kUm},
                                  {QString::fromUtf8(schedule.nome), QStringLiteral("m,mm")});
    int order = 1;
    for (const Section& section : schedule.sections)
        Insert(db, kTaperSizes, {kIdTaper, kOrder, kDiameter, kLength},
               {taper, order++, section.diameterMm, section.lengthM}, "");
    return taper;
}

void AddDesign(QSqlDatabase& db, const Design& design) {
    QVariantList tapers;
    for (const Schedule& schedule : design.schedules) tapers << AddSchedule(db, schedule);
    const QVariant project = Insert(
        db, kProjects, {kNome, kF0, kSourceWire, kHeight},
        {QString::fromUtf8(design.nome), design.f0MHz, QString::fromUtf8(design.sourceWire), 0});
    for (const Element& element : design.elements)
        Insert(db, kElements, {kIdProject, kNome, kType, kLen, kIdTaper, kDistance, kHeight},
               {project, QString::fromUtf8(element.nome), QString::fromUtf8(element.type),
                element.halfLengthM, tapers.at(element.schedule), element.distanceM, kMastHeightM});
}

}  // namespace

int AddSampleDesigns(QSqlDatabase& db) {
    if (!db.transaction())
        throw StoreError("Could not add the sample designs: " + db.lastError().text());
    try {
        for (const Design& design : Designs()) AddDesign(db, design);
    } catch (...) {
        db.rollback();
        throw;
    }
    if (!db.commit())
        throw StoreError("Could not add the sample designs: " + db.lastError().text());
    return static_cast<int>(Designs().size());
}

}  // namespace velkora
