#pragma once

#include "ui/usage_chart_bars.h"

#include <QWidget>

#include <cstdint>
#include <vector>

namespace tw {

// The Usage view's chart: bars over the window's own background in the text colour, today's
// bar solid and the others lighter, the daily limit as a dashed line. The bar under the mouse
// or chosen with the arrow keys says its day (or item) and time in the chart's top line and
// in a tooltip. Its accessible description holds every figure (BarsText).
class TUsageChart : public QWidget {
    Q_OBJECT
  public:
    explicit TUsageChart(QWidget* parent);

    // limitSeconds 0 draws no limit line.
    void SetBars(std::vector<TChartBar> bars, std::int64_t limitSeconds);

    const std::vector<TChartBar>& Bars() const { return bars_; }
    // The bar pointed at or chosen, -1 for none; its text is what the top line shows.
    int CurrentBar() const { return current_; }
    QString CurrentText() const;
    // Where a bar stands, in the chart's coordinates.
    QRect BarRect(int index) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

  private:
    void SetCurrent(int index, bool showTip);
    QRect PlotRect() const;
    std::int64_t ScaleSeconds() const;
    // The text colour of the look the windows are drawn with, read when painting so that
    // a new choice shows at the next paint.
    QColor TextColour() const;

    std::vector<TChartBar> bars_;
    std::int64_t limitSeconds_ = 0;
    int current_ = -1;
};

} // namespace tw
