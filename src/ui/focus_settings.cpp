#include "ui/focus_settings.h"

#include "skin/form_controls.h"
#include "skin/image_button.h"
#include "skin/image_panel.h"
#include "skin/link_label.h"
#include "storage/time_limit_text.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace tw {

TfrmFocusSettings::TfrmFocusSettings(TWindowKit& kit, QWidget* owner) : TfrmBase(kit, owner) {
    setObjectName(QStringLiteral("frmFocusSettings"));
    setWindowTitle(QStringLiteral("Block Mode"));
    // Tall enough for the buttons under the note (they would stand below a 161-pixel window).
    setFixedSize(261, 185);

    lblAppsDescription = BodyLabel(this, "lblAppsDescription",
                                   QStringLiteral("Block all sites and applications"), 12, 38);
    lblTimeLimit = BodyLabel(this, "lblTimeLimit", QStringLiteral("on your list for "), 12, 64);
    // The link lies exactly over the words "your list" of the line, in its font, so the line
    // reads on with those words clickable.
    lblAppWizardLink = LinkLabel(this, "lblAppWizardLink", QStringLiteral("your list"), 0, 64);
    QFont linkFont = lblTimeLimit->font();
    linkFont.setUnderline(true);
    lblAppWizardLink->setFont(linkFont);
    lblAppWizardLink->adjustSize();
    lblAppWizardLink->move(
        12 + lblTimeLimit->fontMetrics().horizontalAdvance(QStringLiteral("on ")), 64);
    lblAppWizardLink->setAccessibleName(QStringLiteral("Add sites and applications to your list"));

    pnlAfter = LightPanel(this, "pnlAfter", QRect(109, 57, 50, 26), 8);
    medTimeLimit = PanelEdit(this, "medTimeLimit", QRect(116, 59, 38, 22),
                             QStringLiteral("Block for, in hours and minutes"));
    medTimeLimit->setInputMask(QStringLiteral("99:99;_"));
    medTimeLimit->setAlignment(Qt::AlignCenter);
    lblHoursMinutes = BodyLabel(this, "lblHoursMinutes", QStringLiteral("hours:minutes"), 164, 64,
                                DesignFont(11, false));
    lblNote = BodyLabel(this, "lblNote",
                        QStringLiteral("Once started, this mode cannot be stopped until the time "
                                       "you have set runs out."),
                        12, 90, DesignFont(11, false));
    lblNote->setWordWrap(true);
    // As wide as the lines above it may run: the same margin on the right as on the left.
    lblNote->setGeometry(12, 96, width() - 2 * 12, 40);

    btnOk = DialogButton(this, "btnOk", QStringLiteral("OK"), QRect(56, 145, 70, 28));
    btnCancel = DialogButton(this, "btnCancel", QStringLiteral("Cancel"), QRect(138, 145, 70, 28));
    connect(btnOk, &TImageButton::clicked, this, &TfrmFocusSettings::btnOkClick);
    connect(btnCancel, &TImageButton::clicked, this, &QDialog::reject);
    FinishCreation();
}

void TfrmFocusSettings::btnOkClick() {
    if (ValidateTimeLimit(medTimeLimit)) {
        accept();
    }
}

void TfrmFocusSettings::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        btnOkClick();
        return;
    }
    TfrmBase::keyPressEvent(event); // Escape cancels
}

std::optional<TDateTime> TfrmFocusSettings::Execute(TMonitoredList& changes,
                                                    const TYourListAction& yourList) {
    medTimeLimit->setText(QStringLiteral("00:00"));
    connect(lblAppWizardLink, &TLinkLabel::clicked, this, [&] {
        if (yourList) {
            yourList(this, changes);
        }
    });
    if (exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return TextToTimeLimit(medTimeLimit->text().toStdString());
}

std::optional<TDateTime> ExecuteBlockSettings(TMonitoredList& changes, QWidget* owner,
                                              const TYourListAction& yourList) {
    TfrmFocusSettings dialog(KitOf(owner), owner);
    return dialog.Execute(changes, yourList);
}

} // namespace tw
