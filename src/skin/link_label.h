#pragma once

#include <QLabel>

namespace tw {

// An underlined text on the window's body that acts when clicked, like a link on a page; a
// screen reader presents it as a link that can be pressed.
class TLinkLabel : public QLabel {
    Q_OBJECT
  public:
    explicit TLinkLabel(QWidget* parent = nullptr);

    // What a click does, for the accessibility press action too.
    void Click() { emit clicked(); }

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace tw
