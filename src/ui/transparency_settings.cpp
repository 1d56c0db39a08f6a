#include "ui/transparency_settings.h"

#include "skin/form_controls.h"
#include "skin/image_button.h"
#include "skin/image_panel.h"
#include "storage/appearance.h"
#include "storage/change_policy.h"
#include "storage/options.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>

namespace tw {

namespace {

const QStringList Percentages = {"0",  "5",  "10", "15", "20", "25", "30",
                                 "40", "50", "60", "70", "80", "90"};

} // namespace

TfrmTransparencySettings::TfrmTransparencySettings(TWindowKit& kit, QWidget* parent)
    : TfrmBase(kit, parent) {
    setObjectName(QStringLiteral("frmTransparencySettings"));
    setWindowTitle(QStringLiteral("Transparency Settings"));
    setMinimumSize(200, 100);
    setFixedSize(215, 125);

    lblAction = BodyLabel(this, "lblAction", QStringLiteral("Transparency %:"), 12, 48);
    const TSkinnedCombo percent =
        SkinnedCombo(this, "pnlExpirationCombo", "cbxTransparency", "btnCombo",
                     QRect(122, 42, 80, 28), Percentages, QStringLiteral("Transparency %"));
    pnlExpirationCombo = percent.panel;
    cbxTransparency = percent.combo;
    btnCombo = percent.arrow;
    cbxTransparency->setMaxVisibleItems(20);
    lblAction->setBuddy(cbxTransparency);
    btnOk = DialogButton(this, "btnOk", QStringLiteral("OK"), QRect(30, 84, 70, 28));
    btnCancel = DialogButton(this, "btnCancel", QStringLiteral("Cancel"), QRect(115, 84, 70, 28));
    connect(btnOk, &TImageButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &TImageButton::clicked, this, &QDialog::reject);
    FinishCreation();
}

void TfrmTransparencySettings::cbxTransparencyChange() {
    const int percent = cbxTransparency->currentText().toInt();
    SetTransparency(percent);
    appearance_->SetTransparency(percent);
}

bool TfrmTransparencySettings::Execute(TOptions& options) {
    const TAdminSession session(options.Policy());
    appearance_ = &options.Appearance();
    const int remembered = appearance_->GetTransparency();
    const int index = cbxTransparency->findText(QString::number(remembered));
    cbxTransparency->setCurrentIndex(index >= 0 ? index : 0);
    // Connected only now, so selecting the starting value stores nothing.
    connect(cbxTransparency, &QComboBox::currentIndexChanged, this,
            &TfrmTransparencySettings::cbxTransparencyChange);
    const bool ok = exec() == QDialog::Accepted;
    appearance_->SetTransparency(ok ? cbxTransparency->currentText().toInt() : remembered);
    return ok;
}

void TfrmTransparencySettings::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    TfrmBase::keyPressEvent(event); // Escape rejects
}

bool ExecuteTransparencySettings(TOptions& options, QWidget* owner) {
    TfrmTransparencySettings dialog(KitOf(owner), owner);
    return dialog.Execute(options);
}

} // namespace tw
