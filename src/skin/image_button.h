#pragma once

#include "skin/pictures.h"

#include <QImage>
#include <QString>
#include <QWidget>

namespace tw {

// A button drawn from three pictures (normal, mouse over, pressed) cut in nine pieces,
// with an optional icon beside its caption. It takes no keyboard focus: windows map
// Enter and Escape to their buttons themselves.
class TImageButton : public QWidget {
    Q_OBJECT
  public:
    // Unscoped: a state indexes its picture.
    enum TState { stNormal = 0, stSelected = 1, stDowned = 2 };

    explicit TImageButton(QWidget* parent = nullptr);

    void SetBackground(const TPicture& picture);
    void SetBackgroundSelected(const TPicture& picture);
    void SetBackgroundDowned(const TPicture& picture);
    // The icon drawn before the caption.
    void SetPicture(const TPicture& picture);
    // The window's usual pictures: "button", "button_selected", "button_downed".
    void UseStandardPictures();

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    int SideWidth() const { return sideWidth_; }
    void SetSideWidth(int value);
    int SideHeight() const { return sideHeight_; }
    void SetSideHeight(int value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);

    // What a click does, for the keys a window maps to the button and for the
    // accessibility press action.
    void Click() { emit clicked(); }

    TState State() const { return state_; }
    // The prepared copy of a state's picture (empty without one).
    const QImage& Prepared(TState state) const { return prepared_[state]; }
    // Where the icon and the caption go within the button (for tests and subclasses).
    QRect IconRect() const;
    QRect CaptionRect() const;

  signals:
    void clicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void SetState(TState state);
    QSize CaptionSize() const;
    void Layout(QRect* icon, QRect* caption) const;

    TPicture backgrounds_[3];
    QImage prepared_[3];
    TPicture picture_;
    QImage preparedPicture_;
    QString caption_;
    int sideWidth_ = 20;
    int sideHeight_ = 20;
    bool wordWrap_ = false;
    TState state_ = stNormal;
    bool pressedLeft_ = false;
};

// A dialog button (OK, Cancel and the like) in the program's standard pictures.
TImageButton* DialogButton(QWidget* parent, const char* name, const QString& caption,
                           const QRect& place);

} // namespace tw
