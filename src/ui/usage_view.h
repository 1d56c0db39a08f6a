#pragma once

#include <functional>

class QComboBox;
class QLabel;
class QListWidget;
class QWidget;

namespace tw {

class TImageButton;
class TImagePanel;
class TOptions;
class TScanEngine;
class TUsageChart;

// The Usage sheet: the period chosen, the chart over the table of the same figures, and
// their export to a file.
class TUsageView {
  public:
    // refreshList reads the period's figures afresh into the table.
    TUsageView(QWidget* sheet, TScanEngine& engine, const TOptions& options,
               std::function<void()> refreshList);

    // Draws the chart from the figures the table last read.
    void RefreshChart();
    void Export();

    QComboBox* Period() const { return cbxUsage_Period; }
    QListWidget* List() const { return lbxUsage_Applications; }
    TUsageChart* Chart() const { return chtUsage; }
    TImageButton* ExportButton() const { return btnUsage_Export; }

  private:
    TScanEngine& engine_;
    const TOptions& options_;
    std::function<void()> refreshList_;
    TImagePanel* pnlUsage_Period;
    QComboBox* cbxUsage_Period;
    TImageButton* btnComboUsagePeriod;
    TImageButton* btnUsage_Export;
    TUsageChart* chtUsage;
    QLabel* lblUsage_Applications;
    TImagePanel* pnlUsage_Applications;
    TImagePanel *pnlHeader_Name, *pnlHeader_Type, *pnlHeader_Time;
    QLabel *lblHeader_Name, *lblHeader_Type, *lblHeader_Time;
    QListWidget* lbxUsage_Applications;
};

} // namespace tw
