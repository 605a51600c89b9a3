// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QSqlError>
#include <QSqlQuery>

#include "Connection.h"
#include "RowStore.h"
#include "StoreTestFiles.h"

namespace velkora {
namespace {

// A store of each provider whose sections table is read and written by a
// row store, with a second connection standing for another copy.
class RowStoreTest : public OtherCopyTest {
  protected:
    void SetUp() override {
        OtherCopyTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        Exec("INSERT INTO TAPER (ID, NOME, UM) VALUES (1, 'Thin', 'm,mm')");
    }
    // An older store's sections table, without the key column.
    void DropKeyColumn() {
        Exec("DROP TABLE TAPER_SIZES");
        Exec(
            "CREATE TABLE TAPER_SIZES (ID_TAPER INTEGER, \"ORDER\" INTEGER,"
            " DIAMETER DOUBLE PRECISION, LENGTH DOUBLE PRECISION)");
    }
    void OpenRows() {
        rows_.SetConnection(OpenConnection("velkora.udl", "store-under-test"));
        rows_.Open();
    }
    // A section of schedule 1; the fields are ID_TAPER, ORDER, DIAMETER, LENGTH.
    StoredRow Add(int order, double diameter) {
        return rows_.Insert({1, order, diameter, 0.5}, {0, 1, 2, 3});
    }

    TableDefinition definition_ = TaperSizesDefinition();
    RowStore rows_{definition_};
};

VELKORA_FOR_EACH_PROVIDER(RowStoreTest);

enum Field { kIdTaper, kOrder, kDiameter, kLength };

// How a row is found again follows the table: by key; without one by the
// row number where the engine has one, else by every value read, where a
// deleted row cannot be told from a changed one.
TEST_P(RowStoreTest, PostsApplyOnlyToTheRowAsRead) {
    const struct {
        const char* name;
        bool keyed;
        UpdateOutcome deletedOnSQLite;  // an update of a row another copy deleted
        UpdateOutcome deletedOnServer;
    } shapes[] = {
        {"with key column", true, UpdateOutcome::DeletedMeanwhile, UpdateOutcome::DeletedMeanwhile},
        {"without key column", false, UpdateOutcome::DeletedMeanwhile,
         UpdateOutcome::ChangedMeanwhile},
    };
    for (const auto& shape : shapes) {
        SCOPED_TRACE(shape.name);
        if (!shape.keyed) {
            CloseConnection("store-under-test");
            DropKeyColumn();
        }
        OpenRows();
        StoredRow first = Add(1, 12);
        StoredRow second = Add(2, 10);
        EXPECT_EQ(first.key.isNull(), !shape.keyed);
        EXPECT_EQ(first.values[kDiameter].toDouble(), 12);
        const std::vector<StoredRow> read = rows_.Read();
        ASSERT_EQ(read.size(), 2u);
        EXPECT_TRUE(rows_.SameRow(read[0], first));
        EXPECT_FALSE(rows_.SameRow(read[0], second));

        // Saved where the row is as read, and read back.
        std::vector<QVariant> values = first.values;
        values[kLength] = 0.7;
        EXPECT_EQ(rows_.Update(first, values, {kLength}), UpdateOutcome::Saved);
        EXPECT_EQ(first.values[kLength].toDouble(), 0.7);

        // Another copy changes the first row and deletes the second.
        Exec("UPDATE TAPER_SIZES SET LENGTH = 0.9 WHERE \"ORDER\" = 1");
        Exec("DELETE FROM TAPER_SIZES WHERE \"ORDER\" = 2");
        values[kLength] = 0.8;
        StoredRow stale = first;
        EXPECT_EQ(rows_.Update(stale, values, {kLength}), UpdateOutcome::ChangedMeanwhile);
        EXPECT_FALSE(rows_.Delete(first));
        EXPECT_EQ(rows_.Update(second, second.values, {kLength}),
                  OnServer() ? shape.deletedOnServer : shape.deletedOnSQLite);
        EXPECT_FALSE(rows_.ReadAgain(second));

        // Read again, the changed row can be deleted.
        const std::vector<StoredRow> now = rows_.Read();
        ASSERT_EQ(now.size(), 1u);
        EXPECT_EQ(now[0].values[kLength].toDouble(), 0.9);
        EXPECT_TRUE(rows_.Delete(now[0]));
        EXPECT_TRUE(rows_.Read().empty());
    }
}

}  // namespace
}  // namespace velkora
