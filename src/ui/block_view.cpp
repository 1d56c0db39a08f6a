#include "ui/block_view.h"

#include "monitor/scan_engine.h"
#include "skin/form_controls.h"
#include "skin/image_panel.h"
#include "skin/link_label.h"
#include "storage/clock.h"
#include "ui/main_window_controls.h"

#include <QLabel>

#include <initializer_list>

namespace tw {

TBlockView::TBlockView(QWidget* window, const TScanEngine& engine) : engine_(engine) {
    pnlMain_FocusTime = MakePanel(window, "pnlMain_FocusTime", QRect(180, 55, 156, 28), "pill", 14);
    lblMain_FocusTimeTitle = BodyLabel(window, "lblMain_FocusTimeTitle", "Block Started:", 188, 61,
                                       DesignFont(13, true));
    MakeDark(lblMain_FocusTimeTitle);
    lblMain_FocusTime =
        BodyLabel(window, "lblMain_FocusTime", "00:00", 289, 61, DesignFont(13, true));
    MakeDark(lblMain_FocusTime);
    lblMain_FocusModeTimeLink =
        LinkLabel(window, "lblMain_FocusModeTimeLink", "Show Block End Time", 207, 36);
    lblMain_FocusModeTimeLink->setAlignment(Qt::AlignRight);
    SetShown(false);
    format_ = TBlockTimeFormat::EndsIn;
}

void TBlockView::SetShown(bool on) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{lblMain_FocusTime, lblMain_FocusTimeTitle,
                                         pnlMain_FocusTime, lblMain_FocusModeTimeLink}) {
        control->setVisible(on);
    }
    if (on) {
        // The design's texts name the start: a period shown in another form is titled so.
        ShowTexts();
    } else {
        format_ = TBlockTimeFormat::Started;
    }
}

void TBlockView::Update() {
    if (!engine_.Block().IsActive()) {
        return;
    }
    lblMain_FocusTime->setText(QString::fromStdString(
        BlockTimeValue(format_, engine_.Block().Start(), engine_.Block().Duration(),
                       engine_.Clock().UtcNow(), engine_.Clock().Now())));
    lblMain_FocusTime->adjustSize();
}

void TBlockView::NextFormat() {
    format_ = NextBlockTimeFormat(format_);
    ShowTexts();
    Update();
}

void TBlockView::ShowTexts() {
    lblMain_FocusModeTimeLink->setText(QString::fromLatin1(BlockTimeLink(format_)));
    lblMain_FocusModeTimeLink->adjustSize();
    lblMain_FocusTimeTitle->setText(QString::fromLatin1(BlockTimeTitle(format_)) + ':');
    lblMain_FocusTimeTitle->adjustSize();
}

} // namespace tw
