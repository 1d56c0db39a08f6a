#include "ui/main_window_glyphs.h"

#include <QPainter>
#include <QPainterPath>

#include <cstring>

namespace tw {

namespace {

// White glyphs with a soft dark edge, so they read on the header's teal and on skins; the
// list's glyphs lie on a light strip and are drawn dark instead.
QImage Glyph(int width, int height, void (*draw)(QPainter&), bool dark = false) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(0.5, 0.5);
    if (!dark) {
        painter.setPen(QPen(QColor(0, 0, 0, 70), 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        draw(painter);
    }
    painter.setPen(QPen(dark ? QColor(0x2E, 0x6E, 0x6C) : QColor(Qt::white), 1.8, Qt::SolidLine,
                        Qt::RoundCap, Qt::RoundJoin));
    draw(painter);
    return image;
}

void DrawView(QPainter& p) {
    p.drawRect(QRectF(2, 2, 11, 11));
    p.drawLine(QPointF(2, 6), QPointF(13, 6));
}
void DrawTools(QPainter& p) {
    for (int y : {4, 8, 12}) {
        p.drawLine(QPointF(2, y), QPointF(13, y));
    }
}
void DrawMinimize(QPainter& p) {
    p.drawLine(QPointF(3, 11), QPointF(12, 11));
}
void DrawAdd(QPainter& p) {
    p.drawLine(QPointF(6.5, 3), QPointF(6.5, 12));
    p.drawLine(QPointF(2, 7.5), QPointF(11, 7.5));
}
void DrawDelete(QPainter& p) {
    p.drawLine(QPointF(2, 7.5), QPointF(11, 7.5));
}

// The list's column strip: light grey with a fine line at its right end.
QImage Column() {
    QImage image(16, 24, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    QLinearGradient fade(0, 0, 0, 24);
    fade.setColorAt(0, QColor(0xFA, 0xFA, 0xFA));
    fade.setColorAt(1, QColor(0xE2, 0xE4, 0xE4));
    painter.fillRect(image.rect(), fade);
    painter.setPen(QColor(0xC8, 0xCC, 0xCC));
    painter.drawLine(15, 3, 15, 20);
    painter.drawLine(0, 23, 15, 23);
    return image;
}

TPicture Drawn(QImage image) {
    return TPicture{std::move(image), true};
}

} // namespace

TPicture MainWindowPicture(const char* role) {
    const auto is = [role](const char* name) { return std::strcmp(role, name) == 0; };
    if (is("view")) {
        return Drawn(Glyph(16, 16, DrawView));
    }
    if (is("tools")) {
        return Drawn(Glyph(16, 16, DrawTools));
    }
    if (is("minimize")) {
        return Drawn(Glyph(16, 16, DrawMinimize));
    }
    if (is("add")) {
        return Drawn(Glyph(14, 16, DrawAdd, true));
    }
    if (is("delete")) {
        return Drawn(Glyph(14, 16, DrawDelete, true));
    }
    if (is("column")) {
        return Drawn(Column());
    }
    if (is("panel") || is("pill") || is("combo")) {
        return TPicture::FromResource(QStringLiteral("panel_pill"));
    }
    if (is("combo_arrow")) {
        return TPicture::FromResource(QStringLiteral("combo_arrow"));
    }
    if (is("tray")) {
        return TPicture::FromResource(QStringLiteral("tray_icon"));
    }
    return TPicture::FromResource(QString::fromLatin1(role));
}

} // namespace tw
