#include "trendpanel.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QValueAxis>
#include <cmath>
#include <iterator>
#include <limits>
#include <tuple>

#include "files/langtable.h"
#include "widgets/namedwidget.h"
#include "widgets/savename.h"

namespace {

// Colours that stand out on white and stay apart for the common forms of
// colour blindness (the Okabe-Ito set without its yellow, too pale on white).
constexpr QRgb kSeriesColours[] = {0x0072B2, 0xD55E00, 0x009E73, 0xCC79A7, 0xE69F00, 0x56B4E9, 0x000000};
constexpr int kColourCount = int(std::size(kSeriesColours));

// A colour of its own for each series, kept while the monitor is open.
QColor seriesColour(int row)
{
    return QColor(kSeriesColours[row % kColourCount]);
}

// Beyond the colours, the lines differ by their dashes too.
Qt::PenStyle seriesStyle(int row)
{
    static constexpr Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine};
    return styles[(row / kColourCount) % int(std::size(styles))];
}

QString stateName(LiveSeries series)
{
    static const char *const names[] = {"Entrada", "Salida", "Flag"};
    return Translate(QLatin1String(names[series.kind - LiveSeries::Input])) + u' '
           + QString::number(series.index);
}

} // namespace

TrendPanel::TrendPanel(const DeviceValues &device, QWidget *parent)
    : QWidget(parent),
      SeriesList(named(new QListWidget(this), "SeriesList")),
      ChartView(named(new QChartView(this), "ChartView")),
      ComboWindow(named(new QComboBox(this), "ComboWindow")),
      PauseButton(named(new QPushButton(this), "PauseButton")),
      LogButton(named(new QPushButton(this), "LogButton")),
      ExportButton(named(new QPushButton(this), "ExportButton")),
      LogStatus(named(new QLabel(this), "LogStatus")),
      device_(device),
      all_(liveSeries(true)),
      chart_(new QChart),
      timeAxis_(new QDateTimeAxis),
      valueAxis_(new QValueAxis)
{
    askSavePath = [this](const QString &filter, const QString &suggested) {
        return askSaveFile(this, filter, suggested);
    };

    chart_->legend()->setAlignment(Qt::AlignBottom);
    chart_->setMargins(QMargins(2, 2, 2, 2));
    timeAxis_->setFormat(QStringLiteral("HH:mm:ss"));
    timeAxis_->setTickCount(5);
    // An axis shown before it has a range is never drawn, even once it has one.
    const QDateTime now = QDateTime::currentDateTime();
    timeAxis_->setRange(now.addSecs(-60), now);
    chart_->addAxis(timeAxis_, Qt::AlignBottom);
    chart_->addAxis(valueAxis_, Qt::AlignLeft);
    // The view starts with a chart of its own, which setChart hands back unowned.
    QChart *own = ChartView->chart();
    ChartView->setChart(chart_);
    delete own;
    ChartView->setRenderHint(QPainter::Antialiasing, false);
    ChartView->setMinimumSize(240, 160);

    SeriesList->setMaximumWidth(170);
    SeriesList->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
    buildSeriesList();
    PauseButton->setCheckable(true);
    LogStatus->setTextFormat(Qt::PlainText);
    LogStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(ComboWindow);
    buttons->addWidget(PauseButton);
    buttons->addStretch(1);
    buttons->addWidget(LogButton);
    buttons->addWidget(ExportButton);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->addWidget(SeriesList, 0, 0, 2, 1);
    grid->addWidget(ChartView, 0, 1);
    grid->addLayout(buttons, 1, 1);
    grid->addWidget(LogStatus, 2, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(0, 1);

    connect(SeriesList, &QListWidget::itemChanged, this, [this](QListWidgetItem *item) {
        tick(all_.at(SeriesList->row(item)), item->checkState() == Qt::Checked);
    });
    connect(ComboWindow, &QComboBox::currentIndexChanged, this, &TrendPanel::redraw);
    connect(PauseButton, &QPushButton::toggled, this, [this] {
        LoadText();
        redraw();
    });
    connect(LogButton, &QPushButton::clicked, this, &TrendPanel::LogButton_Click);
    connect(ExportButton, &QPushButton::clicked, this, &TrendPanel::ExportButton_Click);
    LoadText();
}

void TrendPanel::buildSeriesList()
{
    const QSignalBlocker quiet(SeriesList);
    for (int row = 0; row < all_.size(); ++row) {
        auto *item = new QListWidgetItem(SeriesList);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        item->setForeground(seriesColour(row));
    }
    showLabels();
}

void TrendPanel::LoadText()
{
    const QStringList windows{Translate(QStringLiteral("1 minuto")), Translate(QStringLiteral("10 minutos")),
                              Translate(QStringLiteral("60 minutos")), Translate(QStringLiteral("Todo"))};
    for (int i = 0; i < windows.size(); ++i) {
        if (i < ComboWindow->count())
            ComboWindow->setItemText(i, windows[i]);
        else
            ComboWindow->addItem(windows[i]);
    }
    PauseButton->setText(Translate(PauseButton->isChecked() ? QStringLiteral("Seguir") : QStringLiteral("Pausa")));
    LogButton->setText(Translate(log_.isOpen() ? QStringLiteral("Detener registro") : QStringLiteral("Registrar CSV")));
    ExportButton->setText(Translate(QStringLiteral("Exportar imagen")));
    for (int row = 0; row < all_.size(); ++row) {
        if (all_[row].isState())
            SeriesList->item(row)->setText(stateName(all_[row]));
    }
}

QString TrendPanel::seriesName(LiveSeries series) const
{
    return series.isState() ? stateName(series) : series.heading(device_.Live);
}

// The unit's labels name the series; math channels only for a unit that has them.
void TrendPanel::showLabels()
{
    const LiveData &live = device_.Live;
    const bool math = device_.has(Feature::MathChannels);
    const auto labels = std::tie(live.CounterName, live.FlowName, live.FlowUnit, live.AnalogName, live.AnalogUnit,
                                 live.AuxName, live.AuxUnit, live.MathName, live.MathUnit);
    if (labelsShown_ && math == mathShown_ && labels == std::tie(shown_.CounterName, shown_.FlowName, shown_.FlowUnit,
                                                                  shown_.AnalogName, shown_.AnalogUnit, shown_.AuxName,
                                                                  shown_.AuxUnit, shown_.MathName, shown_.MathUnit))
        return;
    shown_ = live;
    mathShown_ = math;
    labelsShown_ = true;
    for (int row = 0; row < all_.size(); ++row) {
        const LiveSeries series = all_[row];
        QListWidgetItem *item = SeriesList->item(row);
        const bool hidden = series.kind == LiveSeries::Math && !math;
        if (item->isHidden() != hidden)
            item->setHidden(hidden);
        if (series.isState())
            continue;
        const QString name = seriesName(series);
        if (item->text() != name) {
            item->setText(name);
            for (QLineSeries *line : lines_.value(row))
                line->setName(name);
        }
    }
}

void TrendPanel::record(const QDateTime &time)
{
    const DeviceValues &device = device_;
    // A serial number not yet read (a poll before the identity) is no news.
    if (!device.SerialNumber.isEmpty() && device.SerialNumber != serial_) {
        if (!serial_.isEmpty()) {
            samples_.clear();
            if (log_.isOpen())
                stopLog(Translate(QStringLiteral("Otra unidad: registro detenido")));
        }
        serial_ = device.SerialNumber;
    }
    samples_.add(time.toMSecsSinceEpoch(), device.Live);
    showLabels();
    if (log_.isOpen()) {
        if (log_.append(LiveCsv::row(time, device, logMath_)))
            showLogState();
        else
            stopLog(Translate(QStringLiteral("No se pudo escribir el registro")) + u' '
                    + QDir::toNativeSeparators(log_.path()) + QStringLiteral(": ") + log_.error());
    }
    if (isVisible() && samples_.lastMsecs() - drawnUpTo_ >= pixelMsecs())
        redraw();
}

void TrendPanel::endRun()
{
    samples_.breakRun();
}

void TrendPanel::tick(LiveSeries series, bool shown)
{
    const int row = all_.indexOf(series);
    if (row < 0)
        return;
    QListWidgetItem *item = SeriesList->item(row);
    if ((item->checkState() == Qt::Checked) != shown) {
        item->setCheckState(shown ? Qt::Checked : Qt::Unchecked); // comes back here through itemChanged
        return;
    }
    if (!shown) {
        for (QLineSeries *line : lines_.take(row)) {
            chart_->removeSeries(line);
            delete line;
        }
    }
    redraw();
}

QList<QLineSeries *> TrendPanel::lines(LiveSeries series) const
{
    return lines_.value(all_.indexOf(series));
}

qint64 TrendPanel::windowStart() const
{
    const int minutes = kWindows[qMax(0, ComboWindow->currentIndex())];
    return minutes > 0 ? samples_.lastMsecs() - qint64(minutes) * 60000 : samples_.firstMsecs();
}

// The plot's width: a line never needs more than a lowest and a highest
// point per pixel.
int TrendPanel::plotPixels() const
{
    return qMax(100, int(chart_->plotArea().width()));
}

qint64 TrendPanel::pixelMsecs() const
{
    return (samples_.lastMsecs() - qMax(windowStart(), samples_.firstMsecs())) / plotPixels();
}

// The axis spans the polls of the window (a window not yet filled is not
// mostly empty) and runs an eighth of that ahead of the last poll, so that
// most polls draw into it without moving it: moving it redraws every line.
void TrendPanel::placeTimeAxis()
{
    const int window = ComboWindow->currentIndex();
    const qint64 first = samples_.firstMsecs();
    const qint64 last = samples_.lastMsecs();
    if (window == axisWindow_ && last <= axisEnd_ && first <= axisStart_ + 1000)
        return;
    const qint64 start = qMax(windowStart(), first);
    axisWindow_ = window;
    axisEnd_ = qMax(last + (last - start) / 8, start + 10000);
    axisStart_ = qMax(start, first);
    timeAxis_->setRange(QDateTime::fromMSecsSinceEpoch(axisStart_), QDateTime::fromMSecsSinceEpoch(axisEnd_));
}

void TrendPanel::redraw()
{
    if (PauseButton->isChecked() || samples_.size() == 0)
        return;
    placeTimeAxis();
    drawnUpTo_ = samples_.lastMsecs();
    double low = std::numeric_limits<double>::max();
    double high = std::numeric_limits<double>::lowest();
    for (int row = 0; row < all_.size(); ++row) {
        if (SeriesList->item(row)->checkState() != Qt::Checked)
            continue;
        drawSeries(row, axisStart_, plotPixels());
        for (const QLineSeries *line : std::as_const(lines_[row])) {
            for (const QPointF &p : line->points()) {
                low = qMin(low, p.y());
                high = qMax(high, p.y());
            }
        }
    }
    if (low <= high)
        placeValueAxis(low, high);
}

// Like the time axis, the value axis keeps some room: it moves only when a
// value falls outside it or the values shrink to well under its span, since
// moving it redraws every line (most polls would otherwise move it by a hair).
void TrendPanel::placeValueAxis(double low, double high)
{
    const double span = high - low;
    const double min = valueAxis_->min();
    const double max = valueAxis_->max();
    const bool fits = low >= min && high <= max;
    const bool roomy = max - min > 1.5 * (span + 2 * qMax(span * 0.1, 0.5));
    if (fits && !roomy)
        return;
    const double margin = qMax(span * 0.1, 0.5);
    valueAxis_->setRange(low - margin, high + margin);
}

// One line per run of the series, all of its colour; the legend names the first.
void TrendPanel::drawSeries(int row, qint64 from, int maxPoints)
{
    const QList<QList<QPointF>> runs = samples_.runs(all_[row], from, maxPoints);
    QList<QLineSeries *> &lines = lines_[row];
    while (lines.size() > runs.size() && lines.size() > 1) {
        QLineSeries *extra = lines.takeLast();
        chart_->removeSeries(extra);
        delete extra;
    }
    while (lines.size() < runs.size()) {
        auto *line = new QLineSeries;
        line->setName(seriesName(all_[row]));
        QPen pen(seriesColour(row));
        pen.setWidth(1);
        pen.setStyle(seriesStyle(row));
        line->setPen(pen);
        chart_->addSeries(line);
        line->attachAxis(timeAxis_);
        line->attachAxis(valueAxis_);
        if (!lines.isEmpty()) {
            for (QLegendMarker *marker : chart_->legend()->markers(line))
                marker->setVisible(false);
        }
        lines << line;
    }
    for (int i = 0; i < runs.size(); ++i)
        lines[i]->replace(runs[i]);
    if (runs.isEmpty() && !lines.isEmpty())
        lines.first()->clear();
}

void TrendPanel::LogButton_Click()
{
    if (log_.isOpen()) {
        stopLog();
        return;
    }
    const QString path = savePath(QStringLiteral("CSV (*.csv)"), QStringLiteral("live"));
    if (path.isEmpty())
        return;
    logMath_ = device_.has(Feature::MathChannels);
    if (!log_.start(path, LiveCsv::header(device_.Live, logMath_))) {
        message(QMessageBox::Warning,
                Translate(QStringLiteral("No se pudo escribir el registro")) + u' ' + QDir::toNativeSeparators(path)
                    + QStringLiteral(": ") + log_.error(),
                QMessageBox::Ok);
        return;
    }
    showLogState();
    LoadText();
}

void TrendPanel::stopLog(const QString &why)
{
    log_.stop();
    showLogState();
    LoadText();
    if (!why.isEmpty())
        message(QMessageBox::Warning, why, QMessageBox::Ok);
}

// The file and the rows written, while logging and after.
void TrendPanel::showLogState()
{
    if (log_.path().isEmpty())
        return;
    LogStatus->setText(Translate(log_.isOpen() ? QStringLiteral("Registrando en") : QStringLiteral("Registro en"))
                       + u' ' + QDir::toNativeSeparators(log_.path()) + QStringLiteral(": ")
                       + QString::number(log_.rows()) + u' ' + Translate(QStringLiteral("filas")));
}

// The dialog offers a name of the unit and the time; a name typed without
// an extension gets the filter's.
QString TrendPanel::savePath(const QString &filter, const QString &prefix) const
{
    const QString extension = filterExtension(filter);
    return withExtension(askSavePath(filter, suggestedFileName(prefix, device_.SerialNumber, extension)), extension);
}

void TrendPanel::ExportButton_Click()
{
    const QString path = savePath(QStringLiteral("PNG (*.png)"), QStringLiteral("trend"));
    if (path.isEmpty())
        return;
    if (!ChartView->grab().save(path, "PNG"))
        message(QMessageBox::Warning,
                Translate(QStringLiteral("No se pudo guardar la imagen")) + u' ' + QDir::toNativeSeparators(path),
                QMessageBox::Ok);
}
