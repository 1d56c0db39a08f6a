#include "skin/image_panel.h"

#include <QEvent>
#include <QPainter>

namespace tw {

TImagePanel::TImagePanel(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_NoSystemBackground);
}

void TImagePanel::SetBackground(const TPicture& picture) {
    background_ = picture;
    prepared_ = PreparePicture(background_);
    update();
}

void TImagePanel::SetSideWidth(int value) {
    sideWidth_ = value;
    update();
}

void TImagePanel::SetSideHeight(int value) {
    sideHeight_ = value;
    update();
}

void TImagePanel::SetTransparent(bool value) {
    transparent_ = value;
    update();
}

void TImagePanel::SetColor(const QColor& value) {
    colour_ = value;
    update();
}

void TImagePanel::paintEvent(QPaintEvent*) {
    // Qt composes the widget over what the parent painted, into one back buffer, so the
    // transparent case needs no copy of the background.
    QPainter painter(this);
    if (!transparent_) {
        painter.fillRect(rect(), colour_);
    }
    DrawNineSlice(painter, rect(), prepared_, sideWidth_, sideHeight_);
}

void TImagePanel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) {
        prepared_ = PreparePicture(background_);
        update();
    }
    QWidget::changeEvent(event);
}

} // namespace tw
