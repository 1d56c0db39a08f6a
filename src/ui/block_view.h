#pragma once

#include "ui/main_window_time_text.h"

class QLabel;
class QWidget;

namespace tw {

class TImagePanel;
class TLinkLabel;
class TScanEngine;

// The header's Block group: while a Block period runs it stands where the time on the list
// stood and shows when the period started, the time left or the clock, always under the
// title of what it shows; its link moves on to the next.
class TBlockView {
  public:
    TBlockView(QWidget* window, const TScanEngine& engine);

    TBlockTimeFormat Format() const { return format_; }
    // Shows the group with the title and link of the form in force, or hides it; hidden, it
    // begins again with the start at the next period.
    void SetShown(bool on);
    // Writes the value of the form in force; outside a period the value is left alone.
    void Update();
    void NextFormat();

    TLinkLabel* Link() const { return lblMain_FocusModeTimeLink; }

  private:
    void ShowTexts();

    const TScanEngine& engine_;
    TBlockTimeFormat format_ = TBlockTimeFormat::EndsIn;
    TImagePanel* pnlMain_FocusTime;
    QLabel* lblMain_FocusTimeTitle;
    QLabel* lblMain_FocusTime;
    TLinkLabel* lblMain_FocusModeTimeLink;
};

} // namespace tw
