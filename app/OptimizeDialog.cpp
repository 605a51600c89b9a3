// SPDX-License-Identifier: GPL-3.0-or-later
// The Optimize dialog's form, its worker and the storing of its result.
#include "OptimizeDialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <chrono>
#include <limits>

#include "Nec2cRun.h"
#include "PictureInput.h"
#include "ProjectStore.h"
#include "ProjectVariant.h"
#include "VelkoraApplication.h"

namespace velkora {

namespace {

constexpr int kMostFrequencies = 10000;

// What each goal of GoalRows() is called in the form.
const std::pair<std::string_view, const char*> kGoalCaptions[] = {
    {"gain", "Average gain over the band"},
    {"fb", "Worst F/B over the band"},
    {"fr", "Worst F/R over the band"},
    {"swr", "Worst SWR (counts against)"},
    {"x", "|X| at F0 (counts against)"}};

QString GoalCaption(std::string_view name) {
    for (const auto& [goal, caption] : kGoalCaptions)
        if (goal == name) return QString::fromUtf8(caption);
    return QString::fromUtf8(name.data(), qsizetype(name.size()));
}

QDoubleSpinBox* Number(double least, double most, double value, int decimals,
                       const QString& suffix = {}) {
    auto* box = new QDoubleSpinBox;
    box->setRange(least, most);
    box->setDecimals(decimals);
    box->setValue(value);
    box->setSuffix(suffix);
    return box;
}

double F0Of(const Design& design) {
    return design.project.f0.IsNull() || design.project.f0.IsText() ? 14.0
                                                                    : design.project.f0.ToDouble();
}

QString Change(const char* what, double before, double after, int decimals, const char* unit) {
    return QString("%1 %2 → %3%4")
        .arg(what)
        .arg(before, 0, 'f', decimals)
        .arg(after, 0, 'f', decimals)
        .arg(unit);
}

}  // namespace

OptimizeDialog::OptimizeDialog(const Design& design, ProjectStore& store, QWidget* parent)
    : QDialog(parent), design_(design), store_(store) {
    setObjectName(QStringLiteral("OptimizeDialog"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Velkora - Optimize: ") +
                   QString::fromStdString(design.project.nome.IsNull()
                                              ? std::string()
                                              : design.project.nome.ToText()));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    CreateGoals(form);
    CreateLimits(form);
    CreateSearch(form);
    layout->addLayout(form);
    progress_ = new QProgressBar;
    progress_->setObjectName(QStringLiteral("progress"));
    progress_->setValue(0);
    result_ = new QLabel(QStringLiteral("Set the goals and press Start."));
    result_->setObjectName(QStringLiteral("result"));
    result_->setWordWrap(true);
    layout->addWidget(progress_);
    layout->addWidget(result_);
    start_ = new QPushButton(QStringLiteral("&Start"));
    start_->setObjectName(QStringLiteral("StartButton"));
    cancel_ = new QPushButton(QStringLiteral("&Close"));
    cancel_->setObjectName(QStringLiteral("CancelButton"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(start_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);
    connect(start_, &QPushButton::clicked, this, Guarded([this] { Start(); }));
    connect(cancel_, &QPushButton::clicked, this, Guarded([this] { CancelOrClose(); }));
}

OptimizeDialog::~OptimizeDialog() {
    stop_ = true;
    if (worker_.joinable()) worker_.join();
}

void OptimizeDialog::CreateGoals(QFormLayout* form) {
    const GoalWeights defaults;
    for (const GoalRow& row : GoalRows()) {
        QDoubleSpinBox* weight = Number(0, 1000, defaults.*row.weight, 2);
        weight->setObjectName(QStringLiteral("weight_") + QString::fromUtf8(row.name.data()));
        weights_.push_back(weight);
        form->addRow(GoalCaption(row.name) + ":", weight);
    }
}

void OptimizeDialog::CreateLimits(QFormLayout* form) {
    limitSwr_ = new QCheckBox(QStringLiteral("Max SWR:"));
    maxSwr_ = Number(1, 100, 2, 2);
    form->addRow(limitSwr_, maxSwr_);
    z0_ = Number(1, 10000, 50, 1, QStringLiteral(" ohm"));
    form->addRow(QStringLiteral("Z0:"), z0_);
    const FrequencySweep band = PictureBand(F0Of(design_));
    useBand_ = new QCheckBox(QStringLiteral("Band (MHz):"));
    bandStart_ = Number(0.001, 100000, band.start, 4);
    bandStop_ = Number(0.001, 100000, band.stop, 4);
    bandStep_ = Number(0.0001, 100000, band.step * 5, 4);
    auto* bandRow = new QHBoxLayout;
    for (QDoubleSpinBox* box : {bandStart_, bandStop_, bandStep_}) bandRow->addWidget(box);
    form->addRow(useBand_, bandRow);
    // A limit or band is edited only when it is asked for.
    const std::pair<QCheckBox*, std::vector<QWidget*>> switches[] = {
        {limitSwr_, {maxSwr_}}, {useBand_, {bandStart_, bandStop_, bandStep_}}};
    for (const auto& [box, fields] : switches)
        for (QWidget* field : fields) {
            field->setEnabled(false);
            connect(box, &QCheckBox::toggled, field, &QWidget::setEnabled);
        }
}

void OptimizeDialog::CreateSearch(QFormLayout* form) {
    const VaryOptions vary;
    lengths_ = new QCheckBox(QStringLiteral("lengths"));
    positions_ = new QCheckBox(QStringLiteral("positions"));
    lengths_->setChecked(vary.lengths);
    positions_->setChecked(vary.positions);
    auto* varyRow = new QHBoxLayout;
    varyRow->addWidget(lengths_);
    varyRow->addWidget(positions_);
    form->addRow(QStringLiteral("Vary:"), varyRow);
    range_ = Number(0.1, 50, vary.range * 100, 1, QStringLiteral(" %"));
    form->addRow(QStringLiteral("Range:"), range_);
    const SearchOptions search;
    runs_ = new QSpinBox;
    runs_->setObjectName(QStringLiteral("runs"));
    runs_->setRange(1, 1000000);
    runs_->setValue(search.runs);
    form->addRow(QStringLiteral("Budget (runs):"), runs_);
    seed_ = new QSpinBox;
    seed_->setRange(0, std::numeric_limits<int>::max());
    seed_->setValue(int(search.seed));
    form->addRow(QStringLiteral("Seed:"), seed_);
    name_ = new QLineEdit(OptimizedName(design_.project));
    name_->setMaxLength(MostProjectNameLength());
    form->addRow(QStringLiteral("New project's name:"), name_);
}

OptimizeRequest OptimizeDialog::RequestShown() const {
    OptimizeRequest request;
    bool any = false;
    for (std::size_t i = 0; i < weights_.size(); ++i) {
        request.goals.weights.*GoalRows()[i].weight = weights_[i]->value();
        any = any || weights_[i]->value() > 0;
    }
    if (!any) throw Failure("Every goal has a weight of 0: give one a weight above 0");
    if (limitSwr_->isChecked()) request.goals.maxSwr = maxSwr_->value();
    request.z0 = z0_->value();
    if (useBand_->isChecked()) {
        const FrequencySweep band{bandStart_->value(), bandStop_->value(), bandStep_->value()};
        if (band.stop < band.start)
            throw Failure("The band's end lies below its start: give the end a higher frequency");
        if ((band.stop - band.start) / band.step >= kMostFrequencies)
            throw Failure("The band holds more than 10000 frequencies: take a larger step");
        request.band = band;
    }
    request.vary = {lengths_->isChecked(), positions_->isChecked(), range_->value() / 100};
    if (!request.vary.lengths && !request.vary.positions)
        throw Failure("Nothing may vary: tick lengths, positions or both");
    request.search.runs = runs_->value();
    request.search.seed = std::uint64_t(seed_->value());
    if (name_->text().trimmed().isEmpty()) throw Failure("Give the new project a name");
    return request;
}

void OptimizeDialog::Start() {
    const OptimizeRequest request = RequestShown();
    if (worker_.joinable()) worker_.join();
    stop_ = false;
    budget_ = request.search.runs;
    progress_->setRange(0, budget_);
    progress_->setValue(0);
    result_->setText(QStringLiteral("Solving the start design…"));
    SetRunning(true);
    worker_ = std::thread([this, request, design = design_] {
        auto result = std::make_shared<OptimizeResult>();
        std::exception_ptr failure;
        auto shown = std::chrono::steady_clock::time_point();
        const auto progress = [this, &shown](const Objective& objective) {
            const auto now = std::chrono::steady_clock::now();
            if (now - shown < std::chrono::milliseconds(100)) return;
            shown = now;
            const int runs = objective.Runs();
            const double best = objective.Best().score.value;
            QMetaObject::invokeMethod(
                this, [this, runs, best] { ShowProgress(runs, best); }, Qt::QueuedConnection);
        };
        try {
            *result = Optimize(
                design, request, [this] { return stop_.load(); }, progress);
        } catch (...) {
            failure = std::current_exception();
        }
        QMetaObject::invokeMethod(
            this, [this, result, failure] { Finish(*result, failure); }, Qt::QueuedConnection);
    });
}

void OptimizeDialog::CancelOrClose() {
    if (!worker_.joinable()) {
        close();
        return;
    }
    stop_ = true;
    result_->setText(QStringLiteral("Stopping: the best design so far will be stored…"));
    cancel_->setEnabled(false);
}

void OptimizeDialog::ShowProgress(int runs, double best) {
    progress_->setValue(std::min(runs, budget_));
    result_->setText(
        QString("Run %1 of %2, best score so far %3").arg(runs).arg(budget_).arg(best, 0, 'f', 2));
}

void OptimizeDialog::Finish(const OptimizeResult& result, std::exception_ptr failure) {
    worker_.join();
    SetRunning(false);
    try {
        if (failure) std::rethrow_exception(failure);
        Store(result);
    } catch (const Stopped&) {
        result_->setText(
            QStringLiteral("Stopped before the start design was solved; nothing "
                           "was stored."));
    } catch (...) {
        result_->setText(QStringLiteral("Nothing was stored."));
        ReportFailure(std::current_exception());
    }
    emit Finished();
}

void OptimizeDialog::Store(const OptimizeResult& result) {
    const Evaluation& best = result.best;
    if (!best.score.Feasible())
        throw Failure(QString("No design with an SWR of at most %1 came up in %2 runs; nothing "
                              "was stored")
                          .arg(maxSwr_->value())
                          .arg(result.runs)
                          .toStdString());
    const QString name = name_->text().trimmed();
    const qint64 id = InsertProjectVariant(store_.Database(), qint64(design_.project.id.ToDouble()),
                                           name, ElementPlacesOf(best.design.elements));
    progress_->setValue(std::min(result.runs, budget_));
    result_->setText(
        QString("%1project %2, \"%3\", after %4 runs in %5 s: %6, %7, %8.")
            .arg(result.stopped ? "Stopped early; the best design so far is " : "Stored as ")
            .arg(id)
            .arg(name)
            .arg(result.runs)
            .arg(result.seconds, 0, 'f', 1)
            .arg(Change("gain", result.start.atF0.forwardGain, best.atF0.forwardGain, 2, " dBi"),
                 Change("F/B", result.start.atF0.frontToBack, best.atF0.frontToBack, 1, " dB"),
                 Change("SWR", result.start.atF0.swr, best.atF0.swr, 2, "")));
    emit ProjectStored(id);
}

void OptimizeDialog::SetRunning(bool running) {
    for (QWidget* field : findChildren<QWidget*>())
        if (field != progress_ && field != result_ && field != cancel_) field->setEnabled(!running);
    maxSwr_->setEnabled(!running && limitSwr_->isChecked());
    for (QWidget* field : {bandStart_, bandStop_, bandStep_})
        field->setEnabled(!running && useBand_->isChecked());
    cancel_->setEnabled(true);
    cancel_->setText(running ? QStringLiteral("&Cancel") : QStringLiteral("&Close"));
}

void OptimizeDialog::closeEvent(QCloseEvent* event) {
    if (worker_.joinable()) {
        CancelOrClose();  // stops; the best design so far is still stored
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void OptimizeDialog::reject() {
    if (worker_.joinable())
        CancelOrClose();
    else
        QDialog::reject();
}

}  // namespace velkora
