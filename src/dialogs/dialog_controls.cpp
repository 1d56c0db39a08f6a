#include "dialogs/dialog_controls.h"

#include "skin/base_form.h"
#include "skin/image_button.h"
#include "skin/image_panel.h"
#include "skin/link_label.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

namespace tw {

namespace {

template <class T> T* Named(T* control, const char* name, const QString& accessibleName) {
    control->setObjectName(QString::fromLatin1(name));
    control->setAccessibleName(accessibleName);
    return control;
}

TImagePanel* Pill(QWidget* parent, const QRect& place) {
    return LightPanel(parent, "", place, 8);
}

// A box's pill is shown and hidden with the box.
class TPanelFollows : public QObject {
  public:
    TPanelFollows(QWidget* box, QWidget* panel) : QObject(box), panel_(panel) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ShowToParent) {
            panel_->show();
        } else if (event->type() == QEvent::HideToParent) {
            panel_->hide();
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QWidget* panel_;
};

QFont BoxFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    font.setBold(true);
    return font;
}

} // namespace

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int left, int top) {
    QLabel* label = BodyLabel(parent, name, text, left, top);
    label->setAccessibleName(text);
    return label;
}

QLabel* MakeText(QWidget* parent, const char* name, const QString& text, const QRect& place) {
    QLabel* label = MakeLabel(parent, name, text, place.left(), place.top());
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(place);
    return label;
}

QLabel* MakeLink(QWidget* parent, const char* name, const QString& text, int left, int top,
                 std::function<void()> onClick) {
    TLinkLabel* link = LinkLabel(parent, name, text, left, top);
    QFont underlined = DesignFont(13, false);
    underlined.setUnderline(true);
    link->setFont(underlined);
    link->adjustSize();
    QObject::connect(link, &TLinkLabel::clicked, link, std::move(onClick));
    return link;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, const QString& accessibleName,
                    const QRect& place, bool password) {
    TImagePanel* pill = Pill(parent, place);
    auto* edit = Named(new QLineEdit(parent), name, accessibleName);
    edit->installEventFilter(new TPanelFollows(edit, pill));
    edit->setGeometry(place.adjusted(8, 4, -8, -4));
    edit->setFrame(false);
    edit->setFont(BoxFont());
    MakeDark(edit);
    // A password shows the asterisk the person was told about, not the style's own bullet.
    // The style sheet is set once: a second one would not reach the password character.
    edit->setStyleSheet(password ? QStringLiteral("QLineEdit { background: transparent; "
                                                  "lineedit-password-character: 42; }")
                                 : QStringLiteral("background: transparent;"));
    if (password) {
        edit->setEchoMode(QLineEdit::Password);
    }
    return edit;
}

QComboBox* MakeCombo(QWidget* parent, const char* name, const QString& accessibleName,
                     const QRect& place, const QStringList& items) {
    Pill(parent, place);
    auto* combo = Named(new QComboBox(parent), name, accessibleName);
    combo->addItems(items);
    combo->setFont(BoxFont());
    combo->setGeometry(place.adjusted(6, 3, -2, -3));
    combo->setMaxVisibleItems(20);
    MakeDark(combo);
    TfrmBase::ClipComboArrow(combo);
    return combo;
}

QListWidget* MakeListBox(QWidget* parent, const char* name, const QString& accessibleName,
                         const QRect& place) {
    auto* panel = new TImagePanel(parent);
    panel->SetBackground(TPicture::FromResource(QStringLiteral("panel_pill")));
    panel->SetSideWidth(8);
    panel->SetSideHeight(8);
    panel->setGeometry(place.adjusted(-6, -6, 6, 6));
    auto* box = Named(new QListWidget(parent), name, accessibleName);
    box->setGeometry(place);
    box->setFont(BoxFont());
    box->setFrameShape(QFrame::NoFrame);
    box->setUniformItemSizes(true);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setSelectionMode(QAbstractItemView::SingleSelection);
    MakeDark(box);
    return box;
}

TImageButton* MakeSmallButton(QWidget* parent, const char* name, const QString& caption,
                              const QString& hint, const QRect& place) {
    TImageButton* button = DialogButton(parent, name, caption, place);
    button->SetSideWidth(6);
    button->SetSideHeight(6);
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    return button;
}

} // namespace tw
