#include "Schema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include "StoreError.h"

namespace velkora {

const QList<TableColumns>& RequiredSchema() {
    static const QList<TableColumns> schema = {
        {"PROJECTS", {"ID", "NOME", "F0", "SOURCE_WIRE", "HEIGHT"}},
        {"ELEMENTS", {"ID", "ID_PROJECT", "NOME", "TYPE", "LEN", "ID_TAPER", "DISTANCE", "HEIGHT"}},
        {"TAPER", {"ID", "NOME", "UM"}},
        {"TAPER_SIZES", {"ID_TAPER", "ORDER", "DIAMETER", "LENGTH"}},
    };
    return schema;
}

void CreateSchema(QSqlDatabase& db) {
    // Deleting a project deletes its elements and deleting a schedule its
    // sections; ELEMENTS.ID_TAPER stays free, so an element whose schedule
    // is gone keeps its value and simply has no wires.
    static const char* const statements[] = {
        "CREATE TABLE PROJECTS (ID INTEGER PRIMARY KEY AUTOINCREMENT, NOME VARCHAR(255),"
        " F0 DOUBLE, SOURCE_WIRE VARCHAR(255), HEIGHT INTEGER)",
        "CREATE TABLE TAPER (ID INTEGER PRIMARY KEY AUTOINCREMENT, NOME VARCHAR(255),"
        " UM VARCHAR(5))",
        "CREATE TABLE ELEMENTS (ID INTEGER PRIMARY KEY AUTOINCREMENT,"
        " ID_PROJECT INTEGER REFERENCES PROJECTS(ID) ON DELETE CASCADE, NOME VARCHAR(255),"
        " TYPE VARCHAR(15), LEN DOUBLE, ID_TAPER INTEGER, DISTANCE DOUBLE, HEIGHT DOUBLE)",
        // The key lets a copy find the section it read; without it a deleted
        // section's row number could be handed to another copy's new one.
        "CREATE TABLE TAPER_SIZES (ID INTEGER PRIMARY KEY AUTOINCREMENT,"
        " ID_TAPER INTEGER REFERENCES TAPER(ID) ON DELETE CASCADE,"
        " \"ORDER\" INTEGER, DIAMETER DOUBLE, LENGTH DOUBLE)",
        "CREATE INDEX ELEMENTS_BY_PROJECT ON ELEMENTS (ID_PROJECT, DISTANCE)",
        "CREATE INDEX TAPER_SIZES_BY_TAPER ON TAPER_SIZES (ID_TAPER, \"ORDER\")",
    };
    if (!db.transaction())
        throw StoreError("Could not create the tables: " + db.lastError().text());
    for (const char* statement : statements) {
        QSqlQuery query(db);
        if (!query.exec(QString::fromLatin1(statement))) {
            const QString message = query.lastError().text();
            db.rollback();
            throw StoreError("Could not create the tables: " + message);
        }
    }
    if (!db.commit()) throw StoreError("Could not create the tables: " + db.lastError().text());
}

void VerifySchema(const QSqlDatabase& db) {
    const QString file = db.databaseName();
    for (const TableColumns& table : RequiredSchema()) {
        const QSqlRecord record = db.record(table.table);
        if (record.isEmpty())
            throw StoreError(QString("The database %1 has no table %2").arg(file, table.table));
        for (const QString& column : table.columns) {
            if (record.indexOf(column) < 0)
                throw StoreError(QString("The table %1 in the database %2 has no column %3")
                                     .arg(table.table, file, column));
        }
    }
}

}  // namespace velkora
