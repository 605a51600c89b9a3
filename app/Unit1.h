// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: the four tables of the store in data-bound grids with
// their navigators, the boom-axis and target choices, the output file name
// and the Generate command.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

#include "MainLobeAxis.h"
#include "ModelTargets.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTabWidget;
class QFrame;

namespace velkora {

class CheckWindow;
class DBGrid;
class DBNavigator;
class DatasetModel;
struct GridColumn;
class LiveRefresh;
class ProjectStore;
class SaveDialog;
class WaitCursor;

class TForm1 : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kClientWidth = 594;
    static constexpr int kClientHeight = 549;

    // The window shows the store's tables and opens the store; the store
    // must outlive the window.
    explicit TForm1(ProjectStore& store, QWidget* parent = nullptr);
    ~TForm1() override;

    ProjectStore& Store() { return store_; }
    const QString& ModelExtension() const { return modelExtension_; }
    MainLobeAxis Axis() const;

    // The window's event handlers.
    void FormCreate();
    void BitBtn1Click();
    void BitBtn4Click();
    void Label2Click();
    void RadioButton3Click();
    void RadioButton4Click();
    void BitBtn5Click();

  protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreateBanner();
    void CreatePages();
    void CreateModelPage(QWidget* page);
    void CreateConfigurationPage(QWidget* page);
    void CompleteConfigurationPage();
    void CreateButtons();
    void CreateStatusBar();
    void SetTabOrder();
    void BindData();
    void BindGrid(DBGrid* grid, DBNavigator* navigator, DatasetModel& source,
                  const std::vector<GridColumn>& columns);
    std::vector<DBGrid*> Grids() const;
    void AskFileName();
    void SetFileName(const QString& name);
    void SelectTarget(OutputTarget target);
    bool Idle() const;
    void RereadStore();
    void ShowNewProject(qint64 id);

    ProjectStore& store_;
    std::unique_ptr<LiveRefresh> liveRefresh_;
    std::unique_ptr<WaitCursor> waitCursor_;
    QString modelExtension_;
    bool centred_ = false;
    bool painted_ = false;

    QLabel* Panel1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    DBGrid* DBGrid1 = nullptr;
    DBGrid* DBGrid2 = nullptr;
    DBGrid* DBGrid3 = nullptr;
    DBGrid* DBGrid4 = nullptr;
    DBNavigator* DBNavigator1 = nullptr;
    DBNavigator* DBNavigator2 = nullptr;
    DBNavigator* DBNavigator3 = nullptr;
    DBNavigator* DBNavigator4 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    QGroupBox* GroupBox4 = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QRadioButton* RadioButton3 = nullptr;
    QRadioButton* RadioButton4 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QFrame* Panel2 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn4 = nullptr;
    QPushButton* BitBtn5 = nullptr;  // "Check Design"
    QPointer<CheckWindow> checkWindow_;
    QStatusBar* StatusBar1 = nullptr;
    SaveDialog* SaveDialog1 = nullptr;
};

}  // namespace velkora
