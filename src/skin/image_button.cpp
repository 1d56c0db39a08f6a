#include "skin/image_button.h"

#include "skin/accessible_controls.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

namespace tw {

namespace {

// Space between the icon and the caption when a button shows both.
constexpr int IconGap = 4;

} // namespace

TImageButton::TImageButton(QWidget* parent) : QWidget(parent) {
    InstallAccessibleControls();
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    QPalette colours = palette();
    colours.setColor(QPalette::ButtonText, Qt::white);
    setPalette(colours);
}

void TImageButton::SetBackground(const TPicture& picture) {
    backgrounds_[stNormal] = picture;
    prepared_[stNormal] = PreparePicture(picture);
    update();
}

void TImageButton::SetBackgroundSelected(const TPicture& picture) {
    backgrounds_[stSelected] = picture;
    prepared_[stSelected] = PreparePicture(picture);
    update();
}

void TImageButton::SetBackgroundDowned(const TPicture& picture) {
    backgrounds_[stDowned] = picture;
    prepared_[stDowned] = PreparePicture(picture);
    update();
}

void TImageButton::SetPicture(const TPicture& picture) {
    picture_ = picture;
    preparedPicture_ = PreparePicture(picture);
    update();
}

void TImageButton::UseStandardPictures() {
    SetBackground(TPicture::FromResource("button"));
    SetBackgroundSelected(TPicture::FromResource("button_selected"));
    SetBackgroundDowned(TPicture::FromResource("button_downed"));
}

void TImageButton::SetCaption(const QString& caption) {
    caption_ = caption;
    update();
}

void TImageButton::SetSideWidth(int value) {
    sideWidth_ = value;
    update();
}

void TImageButton::SetSideHeight(int value) {
    sideHeight_ = value;
    update();
}

void TImageButton::SetWordWrap(bool value) {
    wordWrap_ = value;
    update();
}

void TImageButton::SetState(TState state) {
    if (state != state_) {
        state_ = state;
        update();
    }
}

QSize TImageButton::CaptionSize() const {
    if (caption_.isEmpty()) {
        return QSize(0, 0);
    }
    const QFontMetrics metrics(font());
    if (wordWrap_) {
        return metrics
            .boundingRect(QRect(0, 0, width(), 100000), Qt::TextWordWrap | Qt::AlignHCenter,
                          caption_)
            .size();
    }
    return metrics.size(Qt::TextSingleLine, caption_);
}

void TImageButton::Layout(QRect* icon, QRect* caption) const {
    const QSize iconSize = preparedPicture_.isNull() ? QSize(0, 0) : preparedPicture_.size();
    const QSize captionSize = CaptionSize();
    const bool hasIcon = !iconSize.isEmpty();
    const bool hasCaption = !captionSize.isEmpty();
    const int gap = hasIcon && hasCaption ? IconGap : 0;
    const int groupWidth = iconSize.width() + gap + captionSize.width();
    const int left = (width() - groupWidth) / 2;
    *icon = hasIcon ? QRect(QPoint(left, (height() - iconSize.height()) / 2), iconSize) : QRect();
    *caption =
        hasCaption
            ? QRect(QPoint(left + iconSize.width() + gap, (height() - captionSize.height()) / 2),
                    captionSize)
            : QRect();
    if (hasCaption && state_ == stDowned) {
        caption->translate(0, 1);
    }
}

QRect TImageButton::IconRect() const {
    QRect icon, caption;
    Layout(&icon, &caption);
    return icon;
}

QRect TImageButton::CaptionRect() const {
    QRect icon, caption;
    Layout(&icon, &caption);
    return caption;
}

void TImageButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    DrawNineSlice(painter, rect(), prepared_[state_], sideWidth_, sideHeight_);
    QRect icon, caption;
    Layout(&icon, &caption);
    if (!icon.isNull()) {
        painter.drawImage(icon.topLeft(), preparedPicture_);
    }
    if (!caption.isNull()) {
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::ButtonText));
        const int flags = Qt::AlignCenter | (wordWrap_ ? Qt::TextWordWrap : Qt::TextSingleLine);
        painter.drawText(caption, flags, caption_);
    }
}

void TImageButton::mousePressEvent(QMouseEvent* event) {
    pressedLeft_ = event->button() == Qt::LeftButton;
    SetState(stDowned);
    event->accept();
}

void TImageButton::mouseMoveEvent(QMouseEvent* event) {
    // A held button keeps the pressed look until the mouse moves with the buttons up.
    if (!(event->buttons() & (Qt::LeftButton | Qt::RightButton))) {
        SetState(stSelected);
    }
    event->accept();
}

void TImageButton::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressedLeft_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton) {
        pressedLeft_ = false;
    }
    event->accept();
    if (click) {
        emit clicked();
    }
}

void TImageButton::leaveEvent(QEvent* event) {
    SetState(stNormal);
    QWidget::leaveEvent(event);
}

void TImageButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) {
        update();
    }
    QWidget::changeEvent(event);
}

TImageButton* DialogButton(QWidget* parent, const char* name, const QString& caption,
                           const QRect& place) {
    auto* button = new TImageButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->UseStandardPictures();
    button->SetSideWidth(13);
    button->SetSideHeight(13);
    button->SetCaption(caption);
    button->setGeometry(place);
    return button;
}

} // namespace tw
