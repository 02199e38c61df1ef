#include "platform/ui/CChartCtrl.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QGraphicsSimpleTextItem>
#include <QLegendMarker>
#include <QPieSeries>
#include <QPieSlice>
#include <QVBoxLayout>
#include <QValueAxis>
#include <cmath>

namespace {
QColor Colour(const std::string& text) {
    return QColor(QString::fromStdString(text));
}

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// A round upper end for the value axis, so its labels read as plain numbers.
double NiceCeiling(double value) {
    if (value <= 0)
        return 1;
    const double step = std::pow(10.0, std::floor(std::log10(value)));
    for (double m : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        if (m * step >= value)
            return m * step;
    }
    return 10 * step;
}
}  // namespace

void CChartCtrl::PreSubclassWindow() {
    QWidget* frame = GetSafeHwnd();
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    m_pView = new QChartView(frame);
    m_pView->setRenderHint(QPainter::Antialiasing);
    m_pView->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(m_pView);
    ShowNote("", "");
}

QChart* CChartCtrl::NewChart(const std::string& title) {
    auto* chart = new QChart();
    chart->setTitle(Text(title));
    chart->setBackgroundBrush(Colour(m_colours.background));
    chart->setTitleBrush(Colour(m_colours.text));
    QFont font = GetSafeHwnd()->font();
    chart->legend()->setFont(font);
    chart->legend()->setLabelColor(Colour(m_colours.text));
    font.setBold(true);
    chart->setTitleFont(font);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->setAnimationOptions(QChart::NoAnimation);
    QChart* old = m_pView->chart();
    m_pView->setChart(chart);
    delete old;
    m_strTitle = title;
    m_strNote.clear();
    m_nMarks = 0;
    return chart;
}

void CChartCtrl::Describe(const std::string& text) {
    // Lay the chart out now rather than at the next event, so a picture taken at once (an
    // export) has its axes and legend in place.
    if (QGraphicsLayout* layout = m_pView->chart()->layout())
        layout->activate();
    GetSafeHwnd()->setAccessibleDescription(Text(text));
    m_pView->setAccessibleName(GetSafeHwnd()->accessibleName());
    m_pView->setAccessibleDescription(Text(text));
}

void CChartCtrl::ShowPie(const std::string& title, const std::vector<ChartSlice>& slices) {
    QChart* chart = NewChart(title);
    auto* series = new QPieSeries(chart);
    double sum = 0;
    for (const ChartSlice& s : slices)
        sum += s.value;
    std::string description = title;
    for (size_t i = 0; i < slices.size(); ++i) {
        const double share = sum > 0 ? slices[i].value / sum : 0;
        const QString label =
            QStringLiteral("%1 %2%").arg(Text(slices[i].label)).arg(share * 100, 0, 'f', 1);
        QPieSlice* slice = series->append(label, slices[i].value);
        slice->setColor(Colour(m_colours.series[i % m_colours.series.size()]));
        slice->setBorderColor(Colour(m_colours.background));
        description += "; " + label.toStdString();
    }
    series->setHoleSize(0.45);
    series->setPieSize(0.8);
    chart->addSeries(series);
    chart->legend()->setAlignment(Qt::AlignRight);
    m_nMarks = static_cast<int>(slices.size());
    m_kind = Kind::Pie;
    Describe(description);
}

void CChartCtrl::ShowBars(const std::string& title, const std::vector<std::string>& categories,
                          const std::vector<ChartSeries>& series) {
    QChart* chart = NewChart(title);
    auto* bars = new QBarSeries(chart);
    double top = 0, bottom = 0;
    for (size_t i = 0; i < series.size(); ++i) {
        auto* set = new QBarSet(Text(series[i].name));
        set->setColor(Colour(m_colours.series[i % m_colours.series.size()]));
        set->setBorderColor(Colour(m_colours.series[i % m_colours.series.size()]));
        for (double v : series[i].values) {
            *set << v;
            top = std::max(top, v);
            bottom = std::min(bottom, v);
        }
        bars->append(set);
    }
    chart->addSeries(bars);
    auto* x = new QBarCategoryAxis(chart);
    for (const std::string& c : categories)
        x->append(Text(c));
    // Many bars leave each label a narrow slot: stand the labels up.
    if (categories.size() > 6)
        x->setLabelsAngle(-90);
    auto* y = new QValueAxis(chart);
    y->setRange(bottom < 0 ? -NiceCeiling(-bottom) : 0, NiceCeiling(top));
    y->setLabelFormat(QStringLiteral("%.0f"));
    y->setTickCount(5);
    for (QAbstractAxis* axis : {static_cast<QAbstractAxis*>(x), static_cast<QAbstractAxis*>(y)}) {
        axis->setLabelsColor(Colour(m_colours.text));
        axis->setGridLineColor(Colour(m_colours.grid));
        axis->setLinePenColor(Colour(m_colours.grid));
        axis->setLabelsFont(GetSafeHwnd()->font());
    }
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    bars->attachAxis(x);
    bars->attachAxis(y);
    chart->legend()->setAlignment(Qt::AlignTop);
    m_nMarks = static_cast<int>(categories.size() * series.size());
    m_kind = Kind::Bars;
    std::string description = title;
    for (const ChartSeries& s : series)
        description += "; " + s.name;
    Describe(description);
}

void CChartCtrl::ShowNote(const std::string& title, const std::string& note) {
    QChart* chart = NewChart(title);
    chart->legend()->hide();
    m_strNote = note;
    m_kind = note.empty() && title.empty() ? Kind::None : Kind::Note;
    if (!note.empty()) {
        auto* text = new QGraphicsSimpleTextItem(Text(note), chart);
        text->setBrush(Colour(m_colours.text));
        text->setFont(GetSafeHwnd()->font());
        // Kept in the middle of the plot as the chart is laid out.
        QObject::connect(chart, &QChart::plotAreaChanged, chart, [text](const QRectF& area) {
            const QRectF box = text->boundingRect();
            text->setPos(area.center() - QPointF(box.width() / 2, box.height() / 2));
        });
    }
    Describe(title.empty() ? note : title + "; " + note);
}

bool CChartCtrl::SaveImage(const std::string& path) const {
    if (!m_pView)
        return false;
    return m_pView->grab().save(Text(path), "PNG");
}
