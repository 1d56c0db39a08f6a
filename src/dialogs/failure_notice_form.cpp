#include "dialogs/failure_notice_form.h"

#include "skin/image_button.h"

#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <cmath>

namespace tw {
namespace {

constexpr int NoticeWidth = 460;
constexpr int Margin = 16;
constexpr int MessageTop = 46;
constexpr int ButtonWidth = 80;
constexpr int ButtonHeight = 28;

} // namespace

TfrmFailureNotice::TfrmFailureNotice(TWindowKit& kit, QWidget* parent) : TfrmNotice(kit, parent) {
    setObjectName("frmFailureNotice");
    setWindowTitle("Please Note");

    // Read-only text rather than a label: a path has no blanks to wrap at, and the person
    // may want to copy it into a file manager or a message.
    mmMessage = new QTextEdit(this);
    mmMessage->setObjectName("mmMessage");
    mmMessage->setAccessibleName("Message");
    mmMessage->setReadOnly(true);
    mmMessage->setAcceptRichText(false);
    mmMessage->setFrameShape(QFrame::NoFrame);
    mmMessage->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    mmMessage->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mmMessage->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mmMessage->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    mmMessage->setFocusPolicy(Qt::ClickFocus);
    mmMessage->setStyleSheet("QTextEdit { background: transparent; color: white; }");
    mmMessage->viewport()->setAutoFillBackground(false);

    btnOk = DialogButton(this, "btnOk", "OK", QRect(0, 0, ButtonWidth, ButtonHeight));
    connect(btnOk, &TImageButton::clicked, this, &QDialog::accept);

    SetMessage(QString());
    FinishCreation();
}

void TfrmFailureNotice::SetMessage(const QString& message) {
    mmMessage->setPlainText(message);
    const int width = NoticeWidth - 2 * Margin;
    QTextDocument* document = mmMessage->document();
    document->setTextWidth(width);
    const int height = std::max(38, static_cast<int>(std::ceil(document->size().height())));
    mmMessage->setGeometry(Margin, MessageTop, width, height);
    const int buttonTop = MessageTop + height + 14;
    btnOk->move((NoticeWidth - ButtonWidth) / 2, buttonTop);
    setFixedSize(NoticeWidth, buttonTop + ButtonHeight + 14);
}

void ExecuteFailureNotice(TWindowKit& kit, const QString& message) {
    TfrmFailureNotice window(kit);
    window.SetMessage(message);
    window.exec();
}

} // namespace tw
