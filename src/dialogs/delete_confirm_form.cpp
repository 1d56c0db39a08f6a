#include "dialogs/delete_confirm_form.h"

#include "dialogs/notice_form.h"
#include "skin/form_controls.h"
#include "skin/image_button.h"

#include <QKeyEvent>
#include <QLabel>

namespace tw {

namespace {

const char QuestionFormat[] = "Are you sure you want to delete \"%s\" from your time-limit list?";

} // namespace

TfrmDeleteConfirm::TfrmDeleteConfirm(TWindowKit& kit, QWidget* parent) : TfrmBase(kit, parent) {
    setObjectName("frmDeleteConfirm");
    setWindowTitle("Confirm Delete");
    setFixedSize(363, 150);

    lblDescription = new QLabel(QuestionFormat, this);
    lblDescription->setObjectName("lblDescription");
    lblDescription->setGeometry(16, 44, 331, 52);
    lblDescription->setAlignment(Qt::AlignCenter);
    lblDescription->setWordWrap(true);
    lblDescription->setTextFormat(Qt::PlainText);
    MakeLight(lblDescription);

    btnOk = DialogButton(this, "btnOk", "OK", QRect(95, 108, 80, 28));
    connect(btnOk, &TImageButton::clicked, this, &QDialog::accept);

    btnCancel = DialogButton(this, "btnCancel", "Cancel", QRect(188, 108, 80, 28));
    connect(btnCancel, &TImageButton::clicked, this, &QDialog::reject);

    FinishCreation();
}

void TfrmDeleteConfirm::SetItemText(const QString& itemText) {
    // Replaced, not formatted, so that the item's own text is shown exactly as it is.
    lblDescription->setText(QString(QuestionFormat).replace("%s", itemText));
}

void TfrmDeleteConfirm::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        accept();
        return;
    case Qt::Key_Escape:
        reject();
        return;
    default:
        TfrmBase::keyPressEvent(event);
    }
}

bool ConfirmDelete(const QString& itemText, QWidget* owner) {
    TfrmDeleteConfirm window(KitOf(owner), owner);
    window.SetItemText(itemText);
    return window.exec() == QDialog::Accepted;
}

} // namespace tw
