#include "ui/header_time_view.h"

#include "monitor/scan_engine.h"
#include "skin/form_controls.h"
#include "skin/image_button.h"
#include "skin/image_panel.h"
#include "skin/link_label.h"
#include "storage/clock.h"
#include "storage/options.h"
#include "ui/main_window_controls.h"

#include <QLabel>

#include <initializer_list>

namespace tw {

THeaderTimeView::THeaderTimeView(QWidget* window, TScanEngine& engine, const TOptions& options)
    : engine_(engine), options_(options) {
    pnlMain_TimeOnline =
        MakePanel(window, "pnlMain_TimeOnline", QRect(-12, 55, 156, 28), "pill", 14);
    lblMain_TimeLink = LinkLabel(window, "lblMain_TimeLink", "Show Time to Limit", 8, 36);
    lblMain_TimeTitle =
        BodyLabel(window, "lblMain_TimeTitle", "Time on List:", 8, 61, DesignFont(13, true));
    MakeDark(lblMain_TimeTitle);
    lblMain_Time = BodyLabel(window, "lblMain_Time", "02:25", 100, 61, DesignFont(13, true));
    MakeDark(lblMain_Time);
    btnFocus = MakeButton(window, "btnFocus", "Focus", QRect(227, 53, 85, 32));
}

void THeaderTimeView::Update() {
    const std::int32_t total = engine_.Logger().Total;
    lblMain_Time->setText(QString::fromStdString(
        HeaderTimeValue(format_, total, options_.TimeLimit(), options_.Clock().Now())));
    lblMain_Time->adjustSize();
}

void THeaderTimeView::UpdateDisplay() {
    lblMain_TimeLink->setText(QString::fromLatin1(HeaderTimeLink(format_)));
    lblMain_TimeLink->adjustSize();
    lblMain_TimeTitle->setText(QString::fromLatin1(HeaderTimeTitle(format_)) + ':');
    lblMain_TimeTitle->adjustSize();
    Update();
    const int titleWidth = lblMain_TimeTitle->width();
    pnlMain_TimeOnline->resize(titleWidth + lblMain_Time->width() + 34,
                               pnlMain_TimeOnline->height());
    lblMain_Time->move(lblMain_TimeTitle->x() + titleWidth + 6, lblMain_Time->y());
}

void THeaderTimeView::NextFormat() {
    format_ = NextHeaderTimeFormat(format_);
    UpdateDisplay();
}

void THeaderTimeView::SetShown(bool shown) {
    for (QWidget* control : std::initializer_list<QWidget*>{
             lblMain_TimeLink, lblMain_TimeTitle, lblMain_Time, pnlMain_TimeOnline, btnFocus}) {
        control->setVisible(shown);
    }
}

} // namespace tw
