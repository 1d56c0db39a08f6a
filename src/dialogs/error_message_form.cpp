#include "dialogs/error_message_form.h"

#include "skin/base_form_links.h"
#include "skin/form_controls.h"
#include "skin/image_button.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>

namespace tw {

namespace {

// The link completes the sentence in the middle of the apology.
const char DescriptionText[] =
    "Sorry: The application has a hiccup. Please continue. If you see this message again "
    "then <a href=\"help\" style=\"color:#e2ceaa;\">contact us</a> with a copy of the error "
    "message. Apologies for any inconvenience.";

} // namespace

TfrmErrorMessage::TfrmErrorMessage(TWindowKit& kit, QWidget* parent) : TfrmNotice(kit, parent) {
    setObjectName("frmErrorMessage");
    setWindowTitle("Application Error");
    setFixedSize(400, 170);

    lblDescription = new QLabel(DescriptionText, this);
    lblDescription->setObjectName("lblDescription");
    lblDescription->setGeometry(16, 42, 368, 72);
    lblDescription->setWordWrap(true);
    lblDescription->setTextFormat(Qt::RichText);
    lblDescription->setTextInteractionFlags(Qt::LinksAccessibleByMouse |
                                            Qt::LinksAccessibleByKeyboard);
    MakeLight(lblDescription);
    lblContactUs = lblDescription;
    connect(lblDescription, &QLabel::linkActivated, this,
            [] { OpenUrl(QString::fromLatin1(HelpPage)); });

    btnCopyErrorToClipboard = DialogButton(this, "btnCopyErrorToClipboard",
                                           "Copy Error to Clipboard", QRect(16, 128, 200, 28));
    connect(btnCopyErrorToClipboard, &TImageButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(errorText_); });

    btnOk = DialogButton(this, "btnOk", "OK", QRect(304, 128, 80, 28));
    connect(btnOk, &TImageButton::clicked, this, &QDialog::accept);

    FinishCreation();
}

void ShowApplicationError(TWindowKit& kit, const QString& errorText) {
    TfrmErrorMessage window(kit);
    window.setWindowTitle("Application Error");
    window.SetErrorText(errorText);
    window.exec();
}

} // namespace tw
