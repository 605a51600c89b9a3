// SPDX-License-Identifier: GPL-3.0-or-later
// The Check window's layout, its following of the store and its showing of
// a finished run.
#include "CheckWindow.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <memory>

#include "CheckRuns.h"
#include "OptimizeDialog.h"
#include "PictureView.h"
#include "ProjectStore.h"
#include "VelkoraApplication.h"

namespace velkora {

namespace {

// One line of the figures table: what it shows and how many decimals.
struct FigureLine {
    const char* label;
    int decimals;
    std::optional<double> (*value)(const FrequencyFigures& figures);
};

const FigureLine kFigureLines[] = {
    {"Gain (dBi)", 2,
     [](const FrequencyFigures& f) -> std::optional<double> { return f.forwardGain; }},
    {"F/B (dB)", 1,
     [](const FrequencyFigures& f) -> std::optional<double> { return f.frontToBack; }},
    {"F/R E (dB)", 1,
     [](const FrequencyFigures& f) -> std::optional<double> { return f.frontToRearE; }},
    {"F/R H (dB)", 1,
     [](const FrequencyFigures& f) -> std::optional<double> { return f.frontToRearH; }},
    {"Beamwidth E (deg)", 1,
     [](const FrequencyFigures& f) -> std::optional<double> { return f.beamwidthE; }},
    {"Beamwidth H (deg)", 1,
     [](const FrequencyFigures& f) -> std::optional<double> { return f.beamwidthH; }},
    {"Side lobe (dB)", 1,
     [](const FrequencyFigures& f) -> std::optional<double> { return f.sidelobe; }},
    {"Take-off (deg)", 1, [](const FrequencyFigures& f) { return f.takeoff; }},
    {"R (ohm)", 1, [](const FrequencyFigures& f) -> std::optional<double> { return f.resistance; }},
    {"X (ohm)", 1, [](const FrequencyFigures& f) -> std::optional<double> { return f.reactance; }},
    {"SWR", 2, [](const FrequencyFigures& f) -> std::optional<double> { return f.swr; }},
};

// The columns of the figures table: the band's ends and the frequency nearest F0.
std::vector<const FrequencyFigures*> FigureColumns(const PictureInput& input) {
    if (input.sweep.empty()) return {};
    return {&input.sweep.front(), FiguresNearest(input.sweep, input.f0), &input.sweep.back()};
}

QString StatusOf(const PictureInput& input) {
    if (!input.geometryProblem.isEmpty()) return input.geometryProblem;
    if (!input.solveProblem.isEmpty()) return input.solveProblem;
    return QString("Figures at %1 frequencies from %2 to %3 MHz, SWR against %4 ohm.")
        .arg(input.sweep.size())
        .arg(input.sweep.front().mhz, 0, 'f', 3)
        .arg(input.sweep.back().mhz, 0, 'f', 3)
        .arg(input.z0);
}

}  // namespace

CheckWindow::CheckWindow(ProjectStore& store, QWidget* parent)
    : QWidget(parent, Qt::Window), store_(store) {
    setObjectName(QStringLiteral("CheckWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Velkora - Check"));
    runs_ = new CheckRuns([this](CheckOutcome outcome) { Show(std::move(outcome)); }, this);
    recheck_ = new QTimer(this);
    recheck_->setSingleShot(true);
    recheck_->setInterval(0);  // one reading after a burst of signals
    connect(recheck_, &QTimer::timeout, this, Guarded([this] { Recheck(); }));
    CreateViews();
    CreateFigures();
    for (BoundDataset* dataset :
         {&store.TProjects(), &store.TElements(), &store.TTaper(), &store.TTaperSizes()})
        Listen(*dataset);
    connect(&store.TProjects(), &BoundDataset::CurrentRowChanged, recheck_,
            qOverload<>(&QTimer::start));
    resize(1100, 820);
    recheck_->start();
}

CheckWindow::~CheckWindow() = default;

void CheckWindow::CreateViews() {
    auto* layout = new QGridLayout(this);
    int index = 0;
    for (const PictureKind& kind : PictureKinds()) {
        auto* view = new PictureView(kind, this);
        views_.push_back(view);
        // Three pictures above, the Smith chart and the wide antenna below.
        const bool wide = QString::fromLatin1(kind.name) == "geometry";
        layout->addWidget(view, index / 3, index % 3, 1, wide ? 2 : 1);
        ++index;
    }
    layout->setRowStretch(0, 3);
    layout->setRowStretch(1, 3);
}

void CheckWindow::CreateFigures() {
    auto* layout = static_cast<QGridLayout*>(this->layout());
    figures_ = new QTableWidget(int(std::size(kFigureLines)), 3, this);
    figures_->setObjectName(QStringLiteral("figures"));
    figures_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QStringList labels;
    for (const FigureLine& line : kFigureLines) labels << line.label;
    figures_->setVerticalHeaderLabels(labels);
    figures_->setHorizontalHeaderLabels({"Band start", "F0", "Band end"});
    figures_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    figures_->verticalHeader()->setDefaultSectionSize(figures_->fontMetrics().height() + 4);
    figures_->setSelectionMode(QAbstractItemView::NoSelection);
    figures_->setFocusPolicy(Qt::NoFocus);
    warnings_ = new QListWidget(this);
    warnings_->setObjectName(QStringLiteral("warnings"));
    warnings_->setWordWrap(true);
    status_ = new QLabel(QStringLiteral("Working out the figures…"), this);
    status_->setObjectName(QStringLiteral("status"));
    status_->setWordWrap(true);
    optimize_ = new QPushButton(QStringLiteral("Optimize…"), this);
    optimize_->setObjectName(QStringLiteral("OptimizeButton"));
    optimize_->setAutoDefault(false);
    connect(optimize_, &QPushButton::clicked, this, Guarded([this] { OpenOptimizer(); }));
    layout->addWidget(figures_, 2, 0, 1, 2);
    layout->addWidget(warnings_, 2, 2);
    layout->addWidget(status_, 3, 0, 1, 2);
    layout->addWidget(optimize_, 3, 2, Qt::AlignRight);
    layout->setRowStretch(2, 2);
}

void CheckWindow::Listen(BoundDataset& dataset) {
    // A post or a cancel ends an edit; a delete, a re-read or another copy's
    // change shows in the rows. Recheck waits for edits to end and reads
    // again only what changed.
    const auto later = [this] { recheck_->start(); };
    connect(&dataset, &BoundDataset::StateChanged, this, later);
    connect(&dataset, &BoundDataset::RowsReset, this, later);
    connect(&dataset, &BoundDataset::RowChanged, this, later);
    connect(&dataset, &BoundDataset::RowRemoved, this, later);
}

void CheckWindow::Recheck() {
    for (BoundDataset* dataset :
         {&store_.TProjects(), &store_.TElements(), &store_.TTaper(), &store_.TTaperSizes()})
        if (dataset->State() == DatasetState::Edit || dataset->State() == DatasetState::Insert)
            return;  // the post or cancel that ends it comes back here
    std::optional<Design> design;
    try {
        design = ReadCurrentDesign(store_);
    } catch (const std::exception& failure) {
        status_->setText(QString::fromLocal8Bit(failure.what()));
        return;
    }
    if (read_ && design.has_value() == design_.has_value() &&
        (!design || SameDesign(*design, *design_)))
        return;
    read_ = true;
    design_ = design;
    if (!design) {
        runs_->StopAll();
        Show(NoProjectOutcome());
        return;
    }
    status_->setText(QStringLiteral("Working out the figures…"));
    runs_->Start(std::move(*design));
}

void CheckWindow::Show(CheckOutcome outcome) {
    auto input = std::make_shared<const PictureInput>(std::move(outcome.input));
    setWindowTitle(QStringLiteral("Velkora - Check: ") + input->title);
    for (PictureView* view : views_) {
        view->SetInput(input);
        view->repaint();
    }
    ShowFigures(*input);
    ShowWarnings(outcome.warnings);
    status_->setText(StatusOf(*input));
    emit Redrawn();
}

void CheckWindow::ShowFigures(const PictureInput& input) {
    const std::vector<const FrequencyFigures*> columns = FigureColumns(input);
    for (int column = 0; column < figures_->columnCount(); ++column) {
        const FrequencyFigures* figures =
            column < int(columns.size()) ? columns[std::size_t(column)] : nullptr;
        figures_->setHorizontalHeaderItem(
            column, new QTableWidgetItem(figures ? QString::number(figures->mhz, 'f', 3) + " MHz"
                                                 : QString()));
        for (int row = 0; row < figures_->rowCount(); ++row) {
            const FigureLine& line = kFigureLines[row];
            const std::optional<double> value =
                figures ? line.value(*figures) : std::optional<double>();
            auto* item = new QTableWidgetItem(value ? QString::number(*value, 'f', line.decimals)
                                                    : QString());
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            figures_->setItem(row, column, item);
        }
    }
}

void CheckWindow::ShowWarnings(const QStringList& warnings) {
    warnings_->clear();
    if (warnings.isEmpty())
        warnings_->addItem(QStringLiteral("No warnings."));
    else
        warnings_->addItems(warnings);
}

void CheckWindow::OpenOptimizer() {
    if (!design_) throw Failure("There is no project to optimize: add one in the projects grid");
    auto* dialog = new OptimizeDialog(*design_, store_, this);
    connect(dialog, &OptimizeDialog::ProjectStored, this, &CheckWindow::ProjectAdded);
    dialog->show();
}

void CheckWindow::closeEvent(QCloseEvent* event) {
    runs_->StopAll();
    QWidget::closeEvent(event);
}

}  // namespace velkora
