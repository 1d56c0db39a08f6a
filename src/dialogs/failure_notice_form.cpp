#include "dialogs/failure_notice_form.h"

#include "skin/image_button.h"

#include <QLabel>

#include <algorithm>

namespace tw {
namespace {

constexpr int NoticeWidth = 460;
constexpr int Margin = 16;
constexpr int MessageTop = 46;
constexpr int ButtonHeight = 28;

} // namespace

TfrmFailureNotice::TfrmFailureNotice(QWidget* parent) : TfrmNotice(parent) {
    setObjectName("frmFailureNotice");
    setWindowTitle("Please Note");

    lblMessage = new QLabel(this);
    lblMessage->setObjectName("lblMessage");
    lblMessage->setWordWrap(true);
    lblMessage->setTextFormat(Qt::PlainText);
    // Paths are there to be copied into a file manager or a message to someone who helps.
    lblMessage->setTextInteractionFlags(Qt::TextSelectableByMouse);
    SetWhiteText(lblMessage);

    btnOk = DialogButton(this, "btnOk", "OK", QRect(0, 0, 80, ButtonHeight));
    connect(btnOk, &TImageButton::clicked, this, &QDialog::accept);

    SetMessage(QString());
    FinishCreation();
}

void TfrmFailureNotice::SetMessage(const QString& message) {
    lblMessage->setText(message);
    lblMessage->setAccessibleName(message);
    const int textWidth = NoticeWidth - 2 * Margin;
    const int textHeight = std::max(38, lblMessage->heightForWidth(textWidth));
    lblMessage->setGeometry(Margin, MessageTop, textWidth, textHeight);
    const int buttonTop = MessageTop + textHeight + 14;
    btnOk->move((NoticeWidth - btnOk->width()) / 2, buttonTop);
    setFixedSize(NoticeWidth, buttonTop + ButtonHeight + 14);
}

void ExecuteFailureNotice(const QString& message) {
    TfrmFailureNotice window;
    window.SetMessage(message);
    window.exec();
}

} // namespace tw
