#include "skin/form_controls.h"

#include "skin/base_form.h"
#include "skin/image_button.h"
#include "skin/image_panel.h"
#include "skin/link_label.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>

#include <type_traits>

namespace tw {

namespace {

template <class T> T* Named(T* control, const char* name) {
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

// A borderless text box whose light panel shows through it.
template <class T>
T* PanelBox(QWidget* parent, const char* name, const QRect& place, const QString& accessibleName) {
    auto* box = Named(new T(parent), name);
    box->setGeometry(place);
    box->setFont(DesignFont(11, true));
    if constexpr (std::is_same_v<T, QLineEdit>) {
        box->setFrame(false);
    } else {
        box->setFrameShape(QFrame::NoFrame);
    }
    MakeDark(box);
    box->setStyleSheet(QStringLiteral("background: transparent;"));
    box->setAccessibleName(accessibleName);
    return box;
}

} // namespace

void CentreOnScreen(QWidget* window) {
    const QWidget* owner = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    QScreen* shownOn = owner ? owner->screen() : window->screen();
    if (shownOn == nullptr) {
        return;
    }
    const QRect area = shownOn->availableGeometry();
    window->move(area.x() + (area.width() - window->width()) / 2,
                 area.y() + (area.height() - window->height()) / 2);
}

QFont DesignFont(int pixels, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void UseArialStandIns() {
    if (!QFontDatabase::families().contains(QStringLiteral("Arial"), Qt::CaseInsensitive)) {
        QFont::insertSubstitutions(QStringLiteral("Arial"),
                                   {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")});
    }
}

QLabel* BodyLabel(QWidget* parent, const char* name, const QString& text, int left, int top,
                  const QFont& font) {
    auto* label = Named(new QLabel(text, parent), name);
    label->setFont(font);
    label->move(left, top);
    label->adjustSize();
    MakeLight(label);
    return label;
}

void MakeDark(QWidget* control) {
    QPalette palette = control->palette();
    palette.setColor(QPalette::WindowText, TfrmBase::DesignFontColor);
    palette.setColor(QPalette::Text, TfrmBase::DesignFontColor);
    control->setPalette(palette);
}

void MakeLight(QWidget* control) {
    QPalette palette = control->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    control->setPalette(palette);
}

TLinkLabel* LinkLabel(QWidget* parent, const char* name, const QString& text, int left, int top) {
    auto* label = Named(new TLinkLabel(parent), name);
    QFont font = DesignFont(11, false);
    font.setUnderline(true);
    label->setFont(font);
    label->setText(text);
    label->move(left, top);
    label->adjustSize();
    MakeLight(label);
    return label;
}

TImagePanel* LightPanel(QWidget* parent, const char* name, const QRect& place, int side) {
    auto* panel = Named(new TImagePanel(parent), name);
    panel->setGeometry(place);
    panel->SetBackground(TPicture::FromResource(QStringLiteral("panel_pill")));
    panel->SetSideWidth(side);
    panel->SetSideHeight(side);
    return panel;
}

TSkinnedCombo SkinnedCombo(QWidget* parent, const char* panelName, const char* comboName,
                           const char* arrowName, const QRect& place, const QStringList& items,
                           const QString& accessibleName) {
    TSkinnedCombo made{};
    made.panel = LightPanel(parent, panelName, place, 8);
    made.combo = Named(new QComboBox(parent), comboName);
    made.combo->addItems(items);
    made.combo->setFont(DesignFont(11, true));
    made.combo->setGeometry(place.left() + 6, place.top() + 3, place.width() - 8,
                            place.height() - 6);
    made.combo->setAccessibleName(accessibleName);
    MakeDark(made.combo);
    made.arrow = Named(new TImageButton(parent), arrowName);
    made.arrow->setGeometry(made.combo->geometry().right() - 25, made.combo->y(), 26,
                            made.combo->height());
    made.arrow->setAccessibleName(QStringLiteral("Open the list: ") + accessibleName);
    QObject::connect(made.arrow, &TImageButton::clicked, made.combo, &QComboBox::showPopup);
    TfrmBase::ClipComboArrow(made.combo);
    return made;
}

QPlainTextEdit* MemoBox(QWidget* parent, const char* name, const QRect& place,
                        const QString& accessibleName) {
    auto* memo = PanelBox<QPlainTextEdit>(parent, name, place, accessibleName);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    return memo;
}

QLineEdit* PanelEdit(QWidget* parent, const char* name, const QRect& place,
                     const QString& accessibleName) {
    return PanelBox<QLineEdit>(parent, name, place, accessibleName);
}

} // namespace tw
