// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <optional>

#include "Connection.h"
#include "DataLink.h"
#include "DatasetModel.h"
#include "Failure.h"
#include "ProjectStore.h"
#include "RegionalMarks.h"
#include "TestServer.h"

namespace velkora {

class DatasetModelTest : public QObject {
    Q_OBJECT
  private slots:
    // Every test runs once per provider.
    void initTestCase_data() {
        QTest::addColumn<bool>("server");
        QTest::newRow("SQLite") << false;
        QTest::newRow("PostgreSQL") << true;
    }
    void init() {
        QFETCH_GLOBAL(bool, server);
        QVERIFY(dir_.isValid());
        const QString link = dir_.filePath(QString("model-%1.udl").arg(++count_));
        QFile file(link);
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (server) {
            const std::optional<test::PgServer> pg = test::PgServerFromEnvironment();
            if (!pg) {
                if (test::ServerTestsRequired()) QFAIL(test::kHowToRunServerTests);
                QSKIP(test::kHowToRunServerTests);
            }
            database_ = std::make_unique<test::ServerDatabase>(*pg);
            file.write(database_->LinkLine());
            file.close();
            CreateServerStore(ReadDataLink(link));
        } else {
            const QString path = dir_.filePath(QString("model-%1.db").arg(count_));
            file.write("Provider=SQLite;Data Source=" + path.toUtf8());
            file.close();
            CreateDatabaseFile(path);
        }
        db_ = OpenConnection(link, "model-test");
        QSqlQuery query(db_);
        QVERIFY(query.exec(
            "INSERT INTO \"TAPER\" (\"ID\", \"NOME\", \"UM\") VALUES (1, 'Thin', 'm,mm')"));
        QVERIFY(query.exec(
            "INSERT INTO \"PROJECTS\" VALUES (1, 'A', 144.3, 'w1c', 10), (2, 'B', 50, '', 0)"));
        QVERIFY(
            query.exec("INSERT INTO \"ELEMENTS\" VALUES (1, 1, 'Ref', 'Element', 1234.5, 1, 0, 10),"
                       " (2, 1, 'Dri', 'Driver', 0.5, NULL, 0.4, 10)"));
        // The server's key generators go on after the keys given above.
        for (const char* table : {"TAPER", "PROJECTS", "ELEMENTS"})
            if (server)
                QVERIFY(query.exec(QString("SELECT setval(pg_get_serial_sequence('\"%1\"', 'ID'),"
                                           " (SELECT MAX(\"ID\") FROM \"%1\"))")
                                       .arg(table)));
        SetCurrentRegionalMarks({".", ",", "/"});
        store_ = std::make_unique<ProjectStore>();
        store_->OpenStoreOn(db_);
    }
    void cleanup() {
        store_.reset();
        db_ = QSqlDatabase();
        CloseConnection("model-test");
        database_.reset();
    }

    void cellsTitlesAndAlignment() {
        DatasetModel& model = store_->DSElements();
        QAbstractItemModelTester tester(&model);
        const BoundDataset& elements = model.Dataset();
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.columnCount(), int(elements.Fields().size()));
        const int len = elements.FieldIndex("LEN");
        const int nome = elements.FieldIndex("NOME");
        QCOMPARE(model.data(model.index(0, len), Qt::DisplayRole).toString(), QString("1,234.5"));
        QCOMPARE(model.data(model.index(0, len), Qt::EditRole).toString(), QString("1,234.5"));
        QCOMPARE(
            model.data(model.index(0, elements.FieldIndex("LK_TAPER")), Qt::DisplayRole).toString(),
            QString("Thin"));
        QCOMPARE(model.headerData(len, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QString("SIZE"));
        QCOMPARE(model.headerData(elements.FieldIndex("TYPE"), Qt::Horizontal, Qt::DisplayRole)
                     .toString(),
                 QString("TYPE"));
        const auto alignment =
            model.data(model.index(0, len), Qt::TextAlignmentRole).value<Qt::Alignment>();
        QVERIFY(alignment & Qt::AlignRight);
        QVERIFY(!model.data(model.index(0, nome), Qt::TextAlignmentRole).isValid());
        QVERIFY(!(model.flags(model.index(0, elements.FieldIndex("ID"))) & Qt::ItemIsEditable));
        QVERIFY(model.flags(model.index(0, nome)) & Qt::ItemIsEditable);
    }

    void indicatorFollowsTheCurrentRowAndState() {
        DatasetModel& model = store_->DSElements();
        QAbstractItemModelTester tester(&model);
        BoundDataset& elements = model.Dataset();
        const auto indicator = [&](int row) {
            return model.headerData(row, Qt::Vertical, DatasetModel::IndicatorRole);
        };
        QCOMPARE(indicator(0).toInt(), int(DatasetState::Browse));
        QVERIFY(!indicator(1).isValid());
        QSignalSpy headers(&model, &QAbstractItemModel::headerDataChanged);
        elements.MoveTo(1);
        elements.Edit();
        QVERIFY(headers.count() >= 2);
        QVERIFY(!indicator(0).isValid());
        QCOMPARE(indicator(1).toInt(), int(DatasetState::Edit));
    }

    void editingThroughTheModelSignalsEveryChange() {
        DatasetModel& model = store_->DSElements();
        QAbstractItemModelTester tester(&model);
        BoundDataset& elements = model.Dataset();
        const int nome = elements.FieldIndex("NOME");
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);

        elements.Insert();
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(model.rowCount(), 3);
        QVERIFY(model.setData(model.index(0, nome), "D1", Qt::EditRole));
        QVERIFY(changed.count() >= 1);
        QCOMPARE(model.data(model.index(0, nome), Qt::DisplayRole).toString(), QString("D1"));
        elements.Post();
        elements.Append();
        elements.Cancel();
        QCOMPARE(removed.count(), 1);
        elements.MoveTo(2);
        elements.Delete();
        QCOMPARE(removed.count(), 2);
        QCOMPARE(model.rowCount(), 2);

        // setData on another row moves there first, as the grid does.
        QVERIFY(model.setData(model.index(1, nome), "Driven", Qt::EditRole));
        QCOMPARE(elements.CurrentRow(), 1);
        bool refused = false;
        try {
            model.setData(model.index(1, elements.FieldIndex("LEN")), "x", Qt::EditRole);
        } catch (const Failure&) {
            refused = true;
        }
        QVERIFY(refused);
        elements.Cancel();

        store_->TProjects().MoveTo(1);
        QVERIFY(reset.count() >= 1);
        QCOMPARE(model.rowCount(), 0);
        store_->TProjects().MoveTo(0);
        QCOMPARE(model.rowCount(), 2);
    }

    void lookupNamesFollowTheScheduleTable() {
        DatasetModel& model = store_->DSElements();
        QAbstractItemModelTester tester(&model);
        const int lookup = model.Dataset().FieldIndex("LK_TAPER");
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        BoundDataset& taper = store_->TTaper();
        taper.SetFieldText(taper.FieldIndex("NOME"), "Slim");
        taper.Post();
        QVERIFY(!changed.isEmpty());
        QCOMPARE(model.data(model.index(0, lookup), Qt::DisplayRole).toString(), QString("Slim"));
        taper.Append();  // the schedule table's rows change under the lookup
        taper.Cancel();
    }

    void aViewsTitleReplacesTheFieldsOwn() {
        DatasetModel& model = store_->DSProjects();
        const int f0 = model.Dataset().FieldIndex("F0");
        const QVariant centred = QVariant::fromValue(Qt::Alignment(Qt::AlignHCenter));
        QSignalSpy changed(&model, &QAbstractItemModel::headerDataChanged);
        QVERIFY(model.setHeaderData(f0, Qt::Horizontal, "F0 (MHz)", Qt::DisplayRole));
        QVERIFY(model.setHeaderData(f0, Qt::Horizontal, centred, Qt::TextAlignmentRole));
        QVERIFY(!model.setHeaderData(f0, Qt::Vertical, "row", Qt::DisplayRole));
        QVERIFY(!model.setHeaderData(f0, Qt::Horizontal, "tip", Qt::ToolTipRole));
        QCOMPARE(changed.size(), 2);
        QCOMPARE(model.headerData(f0, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QString("F0 (MHz)"));
        QCOMPARE(model.headerData(f0, Qt::Horizontal, Qt::TextAlignmentRole), centred);
        const int name = model.Dataset().FieldIndex("NOME");
        QCOMPARE(model.headerData(name, Qt::Horizontal, Qt::DisplayRole).toString(),
                 model.Dataset().Fields()[std::size_t(name)].DisplayName());
    }

    void closingAndReopeningResets() {
        DatasetModel& model = store_->DSProjects();
        QAbstractItemModelTester tester(&model);
        store_->CloseStore();
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(store_->DSElements().rowCount(), 0);
        store_->OpenStoreOn(db_);
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(store_->DSElements().rowCount(), 2);
    }

  private:
    QTemporaryDir dir_;
    int count_ = 0;
    QSqlDatabase db_;
    std::unique_ptr<test::ServerDatabase> database_;
    std::unique_ptr<ProjectStore> store_;
};

}  // namespace velkora

QTEST_GUILESS_MAIN(velkora::DatasetModelTest)
#include "DatasetModelTest.moc"
