// SPDX-License-Identifier: GPL-3.0-or-later
#include "Unit1.h"

#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>
#include <algorithm>
#include <ctime>

#include "CheckWindow.h"
#include "DBGrid.h"
#include "DBNavigator.h"
#include "DatasetModel.h"
#include "DatePattern.h"
#include "DesignDrop.h"
#include "FieldText.h"
#include "LiveRefresh.h"
#include "ModelTargets.h"
#include "Pictures.h"
#include "ProjectStore.h"
#include "RegionalMarks.h"
#include "SaveDialog.h"
#include "StoreFileGuard.h"
#include "VelkoraApplication.h"

namespace velkora {

namespace {

QString ExtensionOf(OutputTarget target) {
    const std::string_view extension = TargetRow(target).extension;
    return QString::fromUtf8(extension.data(), static_cast<qsizetype>(extension.size()));
}

}  // namespace

// The hourglass while a writer runs.
class WaitCursor : public BusyIndicator {
  public:
    void Begin() override { QApplication::setOverrideCursor(Qt::WaitCursor); }
    void End() override { QApplication::restoreOverrideCursor(); }
};

namespace {

template <class W>
W* Named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A radio button 73 x 17; wider, up to `room`, when a substitute font needs
// more for the caption.
QRadioButton* Radio(QWidget* parent, const char* name, const QString& caption, int x, int y,
                    int room) {
    auto* radio = Named(new QRadioButton(caption, parent), name);
    radio->setGeometry(x, y, std::clamp(radio->sizeHint().width(), 73, room), 17);
    return radio;
}

QGroupBox* Group(QWidget* parent, const char* name, const QString& caption, QRect place) {
    auto* box = Named(new QGroupBox(caption, parent), name);
    box->setGeometry(place);
    box->setFocusPolicy(Qt::NoFocus);
    return box;
}

// The current local date as the status bar shows it: a blank and dd/mm/yyyy.
QString StatusDateText(std::time_t now) {
    std::tm local{};
    localtime_r(&now, &local);
    return QStringLiteral(" ") + FromWindows1252(DatePattern("dd/mm/yyyy", local));
}

}  // namespace

TForm1::TForm1(ProjectStore& store, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      store_(store),
      liveRefresh_(std::make_unique<LiveRefresh>(
          store_, [this] { return Idle(); }, [this] { RereadStore(); })),
      waitCursor_(std::make_unique<WaitCursor>()) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Velkora - Kelmot"));
    setWindowIcon(QIcon());
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    setFixedSize(kClientWidth, kClientHeight);
    QPalette face = palette();
    face.setColor(QPalette::Window, QColor(240, 240, 240));
    setPalette(face);

    CreateBanner();
    CreatePages();
    CreateButtons();
    CreateStatusBar();
    SaveDialog1 = Named(new SaveDialog(this), "SaveDialog1");
    SaveDialog1->SetTitle(QStringLiteral("Salva"));
    SaveDialog1->SetFilter(QString::fromStdString(WindowFilter()));
    SaveDialog1->SetFilterIndex(WindowFilterIndex(OutputTarget::Mmana));
    BindData();
    SetTabOrder();
    BitBtn1->setFocus();

    try {
        FormCreate();
    } catch (...) {
        ReportFailure(std::current_exception());
    }
}

// The grids go with the window, before the store whose datasets they show:
// the store was made first.
TForm1::~TForm1() { store_.CloseStore(); }

void TForm1::CreateBanner() {
    Panel1 = Named(new QLabel(QStringLiteral("    Velkora"), this), "Panel1");
    Panel1->setGeometry(0, 0, kClientWidth, 57);
    Panel1->setTextFormat(Qt::PlainText);
    Panel1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setAutoFillBackground(true);
    QPalette colours = Panel1->palette();
    colours.setColor(QPalette::Window, QColor(0, 102, 204));  // the system hot-light colour
    colours.setColor(QPalette::WindowText, Qt::yellow);
    Panel1->setPalette(colours);
    QFont banner(QStringLiteral("Arial"));
    banner.setPixelSize(24);
    banner.setBold(true);
    banner.setItalic(true);
    Panel1->setFont(banner);
}

void TForm1::CreatePages() {
    GroupBox1 = Group(this, "GroupBox1", QString(), QRect(0, 57, kClientWidth, 419));
    PageControl1 = Named(new QTabWidget(GroupBox1), "PageControl1");
    PageControl1->setGeometry(5, 8, 584, 405);
    TabSheet1 = Named(new QWidget, "TabSheet1");
    TabSheet2 = Named(new QWidget, "TabSheet2");
    PageControl1->addTab(TabSheet1, QStringLiteral("Model"));
    PageControl1->addTab(TabSheet2, QStringLiteral("Configuration"));
    CreateModelPage(TabSheet1);
    PageControl1->setCurrentWidget(TabSheet1);
    // The Configuration page is hidden at start; its widgets come after the
    // window's first paint (paintEvent), or as soon as the page is chosen.
    connect(PageControl1, &QTabWidget::currentChanged, this, Guarded([this](int page) {
                if (page == PageControl1->indexOf(TabSheet2)) CompleteConfigurationPage();
            }));
}

void TForm1::CreateModelPage(QWidget* page) {
    DBGrid3 = Named(new DBGrid(page), "DBGrid3");
    DBGrid3->setGeometry(8, 10, 563, 87);
    new DesignDrop(DBGrid3, store_);
    DBNavigator3 = Named(new DBNavigator(page), "DBNavigator3");
    DBNavigator3->setGeometry(8, 101, 280, 25);

    Label2 = Named(new QLabel(QStringLiteral("File Name:"), page), "Label2");
    QFont bold = Label2->font();
    bold.setBold(true);
    Label2->setFont(bold);
    Label2->move(8, 132);
    Label2->adjustSize();
    Label2->installEventFilter(this);
    Label3 = Named(new QLabel(page), "Label3");
    // At 70, or just after "File Name:" where a substitute font draws it wider.
    Label3->move(std::max(70, Label2->geometry().right() + 4), 132);
    Label3->setTextFormat(Qt::PlainText);
    Label3->adjustSize();

    GroupBox4 = Group(page, "GroupBox4", QStringLiteral("Program"), QRect(390, 102, 183, 40));
    RadioButton3 = Radio(GroupBox4, "RadioButton3", QStringLiteral("MMANA"), 8, 16, 90);
    RadioButton4 = Radio(GroupBox4, "RadioButton4", QStringLiteral("EZ-Nec"), 99, 15, 82);
    RadioButton3->setChecked(true);
    connect(RadioButton3, &QRadioButton::toggled, this, Guarded([this](bool checked) {
                if (checked) RadioButton3Click();
            }));
    connect(RadioButton4, &QRadioButton::toggled, this, Guarded([this](bool checked) {
                if (checked) RadioButton4Click();
            }));

    DBGrid4 = Named(new DBGrid(page), "DBGrid4");
    DBGrid4->setGeometry(8, 154, 441, 183);
    DBNavigator4 = Named(new DBNavigator(page), "DBNavigator4");
    DBNavigator4->setGeometry(8, 341, 280, 25);
}

void TForm1::CreateConfigurationPage(QWidget* page) {
    GroupBox3 = Group(page, "GroupBox3", QStringLiteral("Tapering"), QRect(6, 1, 307, 368));
    DBGrid1 = Named(new DBGrid(GroupBox3), "DBGrid1");
    DBGrid1->setGeometry(8, 18, 281, 127);
    DBNavigator1 = Named(new DBNavigator(GroupBox3), "DBNavigator1");
    DBNavigator1->setGeometry(8, 149, 280, 25);
    DBGrid2 = Named(new DBGrid(GroupBox3), "DBGrid2");
    DBGrid2->setGeometry(8, 180, 281, 151);
    DBNavigator2 = Named(new DBNavigator(GroupBox3), "DBNavigator2");
    DBNavigator2->setGeometry(8, 335, 280, 25);

    GroupBox2 = Group(page, "GroupBox2", QStringLiteral("Main Lobe"), QRect(320, 2, 169, 40));
    RadioButton1 = Radio(GroupBox2, "RadioButton1", QStringLiteral("On X axes"), 8, 16, 79);
    RadioButton2 = Radio(GroupBox2, "RadioButton2", QStringLiteral("On Y axes"), 88, 15, 79);
    RadioButton1->setChecked(true);
}

void TForm1::CompleteConfigurationPage() {
    if (DBGrid1) return;
    CreateConfigurationPage(TabSheet2);
    BindGrid(DBGrid1, DBNavigator1, store_.DSTaper(), {{"NOME", 198}, {"UM", 49, {}, true}});
    BindGrid(DBGrid2, DBNavigator2, store_.DSTaperSizes(),
             {{"ORDER", 52}, {"DIAMETER", 104, "DIAMETER (mm)"}, {"LENGTH", 84, "LENGTH (m)"}});
    SetTabOrder();
    // Made after the page itself, so shown explicitly: with the page when it
    // is chosen later, at once when it is the page being chosen.
    GroupBox3->show();
    GroupBox2->show();
}

void TForm1::CreateButtons() {
    Panel2 = Named(new QFrame(this), "Panel2");
    Panel2->setGeometry(0, 57 + 419, kClientWidth, 53);
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
    BitBtn4 = Named(new QPushButton(QStringLiteral("&Generate Model"), Panel2), "BitBtn4");
    BitBtn4->setGeometry(15, 9, 111, 35);
    BitBtn4->setIcon(PictureIcon(Picture::Generate));
    BitBtn1 = Named(new QPushButton(QStringLiteral("&Close"), Panel2), "BitBtn1");
    BitBtn1->setGeometry(511, 9, 75, 35);
    BitBtn1->setIcon(PictureIcon(Picture::Close));
    // Centred in the gap between the two.
    BitBtn5 = Named(new QPushButton(QStringLiteral("Check Design"), Panel2), "BitBtn5");
    BitBtn5->setGeometry((126 + 511 - 111) / 2, 9, 111, 35);
    BitBtn5->setIcon(PictureIcon(Picture::Check));
    for (QPushButton* button : {BitBtn1, BitBtn4, BitBtn5}) {
        button->setIconSize(QSize(16, 16));
        button->setAutoDefault(false);
    }
    connect(BitBtn4, &QPushButton::clicked, this, Guarded([this](bool) { BitBtn4Click(); }));
    connect(BitBtn1, &QPushButton::clicked, this, Guarded([this](bool) { BitBtn1Click(); }));
    connect(BitBtn5, &QPushButton::clicked, this, Guarded([this](bool) { BitBtn5Click(); }));
}

void TForm1::CreateStatusBar() {
    StatusBar1 = Named(new QStatusBar(this), "StatusBar1");
    StatusBar1->setGeometry(0, kClientHeight - 20, kClientWidth, 20);
    StatusBar1->setSizeGripEnabled(false);
}

void TForm1::BindData() {
    BindGrid(DBGrid3, DBNavigator3, store_.DSProjects(),
             {{"NOME", 256},
              {"F0", 79, "F0 (MHz)", true},
              {"SOURCE_WIRE", 108, "SOURCE WIRE", true},
              {"HEIGHT", -1, "HEIGHT (m)"}});
    BindGrid(DBGrid4, DBNavigator4, store_.DSElements(),
             {{"NOME", 100},
              {"TYPE", 68},
              {"LEN", 43},
              {"DISTANCE", 56},
              {"LK_TAPER", 78},
              {"HEIGHT", 51}});
}

void TForm1::BindGrid(DBGrid* grid, DBNavigator* navigator, DatasetModel& source,
                      const std::vector<GridColumn>& columns) {
    grid->SetDataSource(&source, columns);
    navigator->SetDataSource(grid->DataSource());
    // A button acts on what the grid's open cell holds: written first,
    // or dropped when the row is cancelled or deleted. The navigator
    // takes no focus, so the keyboard goes to the grid: typing after a
    // click must reach the row, not whatever button had the focus.
    navigator->SetBeforeAction([grid](DBNavigator::Button button) {
        grid->setFocus(Qt::OtherFocusReason);
        if (button == DBNavigator::Button::Cancel || button == DBNavigator::Button::Delete)
            grid->DiscardCell();
        else
            grid->WriteCell();
    });
    // F5 shows what other copies of the program have posted meanwhile.
    auto* refresh = new QShortcut(QKeySequence(Qt::Key_F5), grid, nullptr, nullptr,
                                  Qt::WidgetWithChildrenShortcut);
    connect(refresh, &QShortcut::activated, this, Guarded([this, grid] {
                grid->WriteCell();
                RereadStore();
            }));
}

// The grids made so far: the Configuration page's come after the first paint.
std::vector<DBGrid*> TForm1::Grids() const {
    std::vector<DBGrid*> grids{DBGrid3, DBGrid4};
    if (DBGrid1) grids.insert(grids.begin(), {DBGrid1, DBGrid2});
    return grids;
}

void TForm1::SetTabOrder() {
    // Navigators and group boxes take no focus; the radio groups are reached
    // through their checked button.
    setTabOrder(BitBtn1, BitBtn4);
    setTabOrder(BitBtn4, PageControl1);
    setTabOrder(PageControl1, DBGrid3);
    setTabOrder(DBGrid3, DBGrid4);
    setTabOrder(DBGrid4, RadioButton3);
    setTabOrder(RadioButton3, RadioButton4);
    if (!DBGrid1) {
        setTabOrder(RadioButton4, BitBtn5);
        return;
    }
    setTabOrder(RadioButton4, DBGrid1);
    setTabOrder(DBGrid1, DBGrid2);
    setTabOrder(DBGrid2, RadioButton1);
    setTabOrder(RadioButton1, RadioButton2);
    setTabOrder(RadioButton2, BitBtn5);
}

void TForm1::FormCreate() {
    const std::time_t now = std::time(nullptr);
    modelExtension_ = ExtensionOf(OutputTarget::Mmana);
    StatusBar1->showMessage(StatusDateText(now));
    store_.OpenStore();
    liveRefresh_->Start();
}

// Nothing the user is doing would be disturbed by reading the tables again:
// no row in edit, no cell open, no list, question or dialog open, no drag.
bool TForm1::Idle() const {
    if (QApplication::activePopupWidget() || QApplication::activeModalWidget() ||
        QApplication::mouseButtons() != Qt::NoButton)
        return false;
    for (const DBGrid* grid : Grids()) {
        const DatasetState state = grid->Dataset()->State();
        if (grid->CellEditor() || state == DatasetState::Edit || state == DatasetState::Insert)
            return false;
    }
    return true;
}

// Reads the four tables again (F5, and other copies' commits), keeping each
// grid's current row and scroll position.
void TForm1::RereadStore() {
    const std::vector<DBGrid*> grids = Grids();
    std::vector<QPoint> positions(grids.size());
    for (std::size_t i = 0; i < grids.size(); ++i) positions[i] = grids[i]->ScrollPosition();
    store_.Refresh();
    for (std::size_t i = 0; i < grids.size(); ++i) grids[i]->ReturnTo(positions[i]);
}

// Before the Configuration page is made its choice is the one it starts with.
MainLobeAxis TForm1::Axis() const {
    return !RadioButton1 || RadioButton1->isChecked() ? MainLobeAxis::X : MainLobeAxis::Y;
}

void TForm1::BitBtn1Click() { close(); }

void TForm1::BitBtn5Click() {
    if (!checkWindow_) {
        checkWindow_ = new CheckWindow(store_, this);
        connect(checkWindow_, &CheckWindow::ProjectAdded, this,
                Guarded([this](qint64 id) { ShowNewProject(id); }));
    }
    checkWindow_->show();
    checkWindow_->raise();
    checkWindow_->activateWindow();
}

// A project stored around the datasets: re-read as F5 does, then made current.
void TForm1::ShowNewProject(qint64 id) {
    RereadStore();
    BoundDataset& projects = store_.TProjects();
    const int field = projects.FieldIndex(QStringLiteral("ID"));
    for (int row = 0; row < projects.RowCount(); ++row)
        if (projects.Value(row, field).toLongLong() == id) projects.MoveTo(row);
}

void TForm1::RadioButton3Click() { SelectTarget(OutputTarget::Mmana); }

void TForm1::RadioButton4Click() { SelectTarget(OutputTarget::EzNec); }

void TForm1::SelectTarget(OutputTarget target) {
    SaveDialog1->SetFilterIndex(WindowFilterIndex(target));
    modelExtension_ = ExtensionOf(target);
    SetFileName(QString());
}

void TForm1::AskFileName() {
    if (!SaveDialog1->Execute()) return;
    SetFileName(SaveDialog1->FileName() + modelExtension_);
}

void TForm1::SetFileName(const QString& name) {
    Label3->setText(name);
    Label3->adjustSize();
}

void TForm1::Label2Click() { AskFileName(); }

void TForm1::BitBtn4Click() {
    if (Label3->text().isEmpty()) AskFileName();
    if (Label3->text().isEmpty()) return;
    RefuseStoreFileAsOutput(Label3->text(), store_.Files());
    const ReadSnapshot snapshot = store_.Snapshot();  // the whole model from one state
    const ProjectRow project = store_.ProjectForModel();
    const RegionalMarks marks = CurrentRegionalMarks();
    const ModelJob job{project, store_.Queries(), Axis(), marks, waitCursor_.get()};
    const std::string path = Label3->text().toStdString();
    const OutputTarget target =
        RadioButton3->isChecked() ? OutputTarget::Mmana : OutputTarget::EzNec;
    TargetRow(target).write(path, job, NecOptions{});
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (centred_) return;
    centred_ = true;
    if (const QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

// Once the window has been painted, the Configuration page is made in the
// next turn of the event loop, while the user looks at the Model page.
void TForm1::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (painted_) return;
    painted_ = true;
    QMetaObject::invokeMethod(this, Guarded([this] { CompleteConfigurationPage(); }),
                              Qt::QueuedConnection);
}

void TForm1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LocaleChange) {
        RefreshRegionalMarks();
        for (DBGrid* grid : Grids()) grid->viewport()->update();
    }
    QWidget::changeEvent(event);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label2 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Reported([this] { Label2Click(); });
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace velkora
