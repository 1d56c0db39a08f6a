#include "ui/usage_chart.h"

#include "skin/base_form.h"
#include "skin/pictures.h"
#include "storage/appearance.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace tw {
namespace {

constexpr int StatusHeight = 16; // the top line: the chosen bar's text
constexpr int LabelHeight = 13;  // the labels under the bars
constexpr int LabelWidth = 20;   // the room a label needs; narrower bars label every few

// Screen readers meet the chart as a chart, its figures in the description.
class TAccessibleChart : public QAccessibleWidget {
  public:
    explicit TAccessibleChart(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Chart) {}
};

QAccessibleInterface* ChartFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("tw::TUsageChart") && object && object->isWidgetType()) {
        return new TAccessibleChart(static_cast<QWidget*>(object));
    }
    return nullptr;
}

} // namespace

TUsageChart::TUsageChart(QWidget* parent) : QWidget(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(ChartFactory);
        return true;
    }();
    (void)installed;
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_TranslucentBackground);
}

void TUsageChart::SetBars(std::vector<TChartBar> bars, std::int64_t limitSeconds) {
    bars_ = std::move(bars);
    limitSeconds_ = limitSeconds;
    current_ = -1;
    setAccessibleDescription(BarsText(bars_, limitSeconds_));
    update();
}

QColor TUsageChart::TextColour() const {
    const TWindowKit* kit = FindKit(this);
    TWindowLook* look = kit != nullptr ? kit->Look() : nullptr;
    return ColorFromSetting(look ? look->Appearance().GetTextColor()
                                 : TAppearance::DefaultTextColor);
}

QString TUsageChart::CurrentText() const {
    if (current_ >= 0 && current_ < static_cast<int>(bars_.size())) {
        return bars_[static_cast<std::size_t>(current_)].text;
    }
    std::int64_t total = 0;
    for (const TChartBar& bar : bars_) {
        total += bar.seconds;
    }
    return QStringLiteral("Total: ") + ChartTime(total);
}

QRect TUsageChart::PlotRect() const {
    return QRect(2, StatusHeight + 2, width() - 4, height() - StatusHeight - LabelHeight - 4);
}

std::int64_t TUsageChart::ScaleSeconds() const {
    std::int64_t top = limitSeconds_;
    for (const TChartBar& bar : bars_) {
        top = std::max(top, bar.seconds);
    }
    // Some room above the highest bar or the limit line.
    return std::max<std::int64_t>(60, top + top / 10);
}

QRect TUsageChart::BarRect(int index) const {
    const QRect plot = PlotRect();
    const int count = static_cast<int>(bars_.size());
    if (count == 0 || index < 0 || index >= count) {
        return {};
    }
    const int left = plot.left() + plot.width() * index / count;
    const int right = plot.left() + plot.width() * (index + 1) / count;
    const int gap = right - left > 4 ? std::max(1, (right - left) / 5) : 0;
    const auto seconds = bars_[static_cast<std::size_t>(index)].seconds;
    const int height = static_cast<int>(plot.height() * seconds / ScaleSeconds());
    return QRect(left, plot.bottom() + 1 - height, std::max(1, right - left - gap), height);
}

void TUsageChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect plot = PlotRect();
    const QColor text = TextColour();
    QColor light = text;
    light.setAlpha(110);
    QColor faint = text;
    faint.setAlpha(60);

    painter.setPen(text);
    QFont font = painter.font();
    font.setPixelSize(11);
    painter.setFont(font);
    painter.drawText(QRect(2, 0, width() - 4, StatusHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     CurrentText());
    painter.setPen(faint);
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());

    const int count = static_cast<int>(bars_.size());
    // Labels from today's bar backwards, as many as fit without touching.
    const int every =
        std::max(1, (LabelWidth * count + plot.width() - 1) / std::max(1, plot.width()));
    for (int i = 0; i < count; ++i) {
        const TChartBar& bar = bars_[static_cast<std::size_t>(i)];
        const QRect place = BarRect(i);
        painter.fillRect(place, bar.today ? text : light);
        if (bar.today) {
            // Marked also where it has no height: a notch under the axis.
            painter.fillRect(QRect(place.left(), plot.bottom() + 2, place.width(), 2), text);
        }
        if (i == current_) {
            painter.setPen(text);
            painter.drawRect(place.adjusted(-1, -1, 0, 0));
        }
        if ((count - 1 - i) % every == 0) {
            // Centred under the bar, cut short where it is wider than the bars it stands for.
            const int room = std::max(LabelWidth, place.width() * every);
            painter.setPen(text);
            painter.drawText(
                QRect(place.center().x() - room / 2, plot.bottom() + 3, room, LabelHeight),
                Qt::AlignHCenter | Qt::AlignTop,
                painter.fontMetrics().elidedText(bar.label, Qt::ElideRight, room - 2));
        }
    }
    if (limitSeconds_ > 0) {
        const int y =
            plot.bottom() + 1 - static_cast<int>(plot.height() * limitSeconds_ / ScaleSeconds());
        QPen pen(text, 1, Qt::DashLine);
        painter.setPen(pen);
        painter.drawLine(plot.left(), y, plot.right(), y);
    }
    if (hasFocus()) {
        painter.setPen(QPen(faint, 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void TUsageChart::SetCurrent(int index, bool showTip) {
    if (index != current_) {
        current_ = index;
        update();
    }
    if (showTip && current_ >= 0) {
        const QRect place = BarRect(current_);
        QToolTip::showText(mapToGlobal(QPoint(place.center().x(), PlotRect().top())), CurrentText(),
                           this);
    } else if (current_ < 0) {
        QToolTip::hideText();
    }
}

void TUsageChart::mouseMoveEvent(QMouseEvent* event) {
    const QRect plot = PlotRect();
    const int count = static_cast<int>(bars_.size());
    const int x = static_cast<int>(event->position().x());
    int index = -1;
    if (count > 0 && x >= plot.left() && x <= plot.right()) {
        index = std::min(count - 1, (x - plot.left()) * count / std::max(1, plot.width()));
    }
    SetCurrent(index, true);
}

void TUsageChart::leaveEvent(QEvent*) {
    if (!hasFocus()) {
        SetCurrent(-1, false);
    }
}

void TUsageChart::keyPressEvent(QKeyEvent* event) {
    const int count = static_cast<int>(bars_.size());
    int index = current_;
    switch (event->key()) {
    case Qt::Key_Left:
        index = current_ < 0 ? count - 1 : std::max(0, current_ - 1);
        break;
    case Qt::Key_Right:
        index = current_ < 0 ? count - 1 : std::min(count - 1, current_ + 1);
        break;
    case Qt::Key_Home:
        index = 0;
        break;
    case Qt::Key_End:
        index = count - 1;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    SetCurrent(count == 0 ? -1 : index, true);
}

void TUsageChart::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    if (current_ < 0 && !bars_.empty()) {
        // The newest bar first: today's, or the last item.
        SetCurrent(static_cast<int>(bars_.size()) - 1, true);
    }
}

} // namespace tw
