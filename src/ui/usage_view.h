#pragma once

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
    TUsageView(QWidget* sheet, TScanEngine& engine, const TOptions& options);

    // Reads the period's figures afresh into the table and the chart; the chosen row stays
    // chosen.
    void Refresh();
    void Export();

    QComboBox* Period() const { return cbxUsage_Period; }
    TUsageChart* Chart() const { return chtUsage; }
    TImageButton* ExportButton() const { return btnUsage_Export; }

  private:
    // Draws the chart from the figures the table last read.
    void RefreshChart();

    TScanEngine& engine_;
    const TOptions& options_;
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
