#pragma once

#include "ui/main_window_time_text.h"

class QLabel;
class QWidget;

namespace tw {

class TImageButton;
class TImagePanel;
class TLinkLabel;
class TOptions;
class TScanEngine;

// The header's time outside Block mode: the time on the list, the time to the limit or the
// clock, switched by its link, and the button that starts a Block period.
class THeaderTimeView {
  public:
    THeaderTimeView(QWidget* window, TScanEngine& engine, const TOptions& options);

    THeaderTimeFormat Format() const { return format_; }
    // Writes the value of the form in force.
    void Update();
    // Writes the form's title and link and fits the pill around title and value.
    void UpdateDisplay();
    void NextFormat();
    // Hidden while the Block group stands in its place.
    void SetShown(bool shown);

    TLinkLabel* Link() const { return lblMain_TimeLink; }
    TImageButton* FocusButton() const { return btnFocus; }

  private:
    TScanEngine& engine_;
    const TOptions& options_;
    THeaderTimeFormat format_ = THeaderTimeFormat::TimeOnList;
    TImagePanel* pnlMain_TimeOnline;
    TLinkLabel* lblMain_TimeLink;
    QLabel* lblMain_TimeTitle;
    QLabel* lblMain_Time;
    TImageButton* btnFocus;
};

} // namespace tw
