#include "SampleDesigns.h"

#include <QSqlError>
#include <QVariant>
#include <vector>

#include "StoreError.h"
#include "StoreSql.h"

namespace velkora {

namespace {

struct Section {
    double diameterMm;
    double lengthM;  // one side of the boom
};

struct Element {
    const char* nome;
    const char* type;
    double halfLengthM;
    double distanceM;
};

struct Design {
    const char* nome;
    double f0MHz;
    const char* sourceWire;  // the driven element's centre wire
    const char* scheduleName;
    std::vector<Section> schedule;
    std::vector<Element> elements;
};

constexpr double kMastHeightM = 15.0;

// DK7ZB's designs as published: tubing from the boom outwards; the tip tube
// of the 10 m schedule is long enough for the longest element.
const std::vector<Design>& Designs() {
    static const std::vector<Design> designs = {
        {"2-el. Yagi 20 m DK7ZB (28 ohm)",
         14.15,
         "w10c",
         "DK7ZB 20 m, 35 to 16 mm",
         {{35, 0.50}, {30, 1.00}, {25, 1.00}, {20, 1.00}, {16, 2.04}},
         {{"Reflector", "Element", 5.54, 0.0}, {"Radiator", "Driver", 5.13, 2.30}}},
        {"3-el. Yagi 10 m DK7ZB (28 ohm)",
         28.5,
         "w4c",
         "DK7ZB 10 m, 16 to 12 mm",
         {{16, 1.00}, {12, 1.80}},
         {{"Reflector", "Element", 2.705, 0.0},
          {"Radiator", "Driver", 2.57, 1.36},
          {"Director", "Element", 2.40, 3.00}}},
    };
    return designs;
}

QVariant Insert(QSqlDatabase& db, const char* table, const QStringList& columns,
                const QVariantList& values, const char* key = "ID") {
    return InsertRow(db, QLatin1String(table), columns, values, QLatin1String(key),
                     "Could not add the sample designs");
}

void AddDesign(QSqlDatabase& db, const Design& design) {
    const QVariant taper = Insert(db, "TAPER", {"NOME", "UM"},
                                  {QString::fromUtf8(design.scheduleName), QStringLiteral("m,mm")});
    int order = 1;
    for (const Section& section : design.schedule)
        Insert(db, "TAPER_SIZES", {"ID_TAPER", "ORDER", "DIAMETER", "LENGTH"},
               {taper, order++, section.diameterMm, section.lengthM}, "");
    const QVariant project = Insert(
        db, "PROJECTS", {"NOME", "F0", "SOURCE_WIRE", "HEIGHT"},
        {QString::fromUtf8(design.nome), design.f0MHz, QString::fromUtf8(design.sourceWire), 0});
    for (const Element& element : design.elements)
        Insert(db, "ELEMENTS",
               {"ID_PROJECT", "NOME", "TYPE", "LEN", "ID_TAPER", "DISTANCE", "HEIGHT"},
               {project, QString::fromUtf8(element.nome), QString::fromUtf8(element.type),
                element.halfLengthM, taper, element.distanceM, kMastHeightM});
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
