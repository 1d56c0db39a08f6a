#pragma once

#include "skin/pictures.h"

#include <QColor>
#include <QImage>
#include <QWidget>

namespace tw {

// A panel drawn from a picture cut in nine pieces, with per-pixel alpha, so that whatever
// the window painted behind it shows through the picture's transparent parts. Controls
// are laid over a panel as siblings created after it, not placed inside it.
class TImagePanel : public QWidget {
    Q_OBJECT
  public:
    explicit TImagePanel(QWidget* parent = nullptr);

    void SetBackground(const TPicture& picture);
    const TPicture& Background() const { return background_; }
    // The 32-bit premultiplied copy that is drawn (empty without a picture).
    const QImage& Prepared() const { return prepared_; }

    int SideWidth() const { return sideWidth_; }
    void SetSideWidth(int value);
    int SideHeight() const { return sideHeight_; }
    void SetSideHeight(int value);

    // When false the panel fills itself with Color before drawing the picture.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    QColor Color() const { return colour_; }
    void SetColor(const QColor& value);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    TPicture background_;
    QImage prepared_;
    int sideWidth_ = 20;
    int sideHeight_ = 20;
    bool transparent_ = true;
    QColor colour_ = Qt::white;
};

} // namespace tw
