#include "skin/image_button.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

using tw::TImageButton;

void Send(QWidget* to, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held,
          QPoint at = QPoint(10, 10)) {
    QMouseEvent event(type, QPointF(at), QPointF(to->mapToGlobal(at)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(to, &event);
}

class ImageButtonTest : public ::testing::Test {
  protected:
    void SetUp() override {
        button_.UseStandardPictures();
        button_.SetCaption("OK");
        button_.resize(80, 28);
    }
    TImageButton button_;
};

TEST_F(ImageButtonTest, PressedLookLastsUntilTheMouseMovesWithButtonsUp) {
    EXPECT_EQ(button_.State(), TImageButton::stNormal);
    Send(&button_, QEvent::MouseMove, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(button_.State(), TImageButton::stSelected);
    Send(&button_, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(button_.State(), TImageButton::stDowned);
    Send(&button_, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(button_.State(), TImageButton::stDowned);
    Send(&button_, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(button_.State(), TImageButton::stDowned);
    Send(&button_, QEvent::MouseMove, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(button_.State(), TImageButton::stSelected);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button_, &leave);
    EXPECT_EQ(button_.State(), TImageButton::stNormal);
    // Any mouse button presses it; a held right button keeps it pressed too.
    Send(&button_, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(button_.State(), TImageButton::stDowned);
    Send(&button_, QEvent::MouseMove, Qt::NoButton, Qt::RightButton);
    EXPECT_EQ(button_.State(), TImageButton::stDowned);
}

TEST_F(ImageButtonTest, ClickIsALeftReleaseOverTheButton) {
    QSignalSpy clicks(&button_, &TImageButton::clicked);
    Send(&button_, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    Send(&button_, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(clicks.count(), 1);
    Send(&button_, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    Send(&button_, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, QPoint(200, 10));
    EXPECT_EQ(clicks.count(), 1);
    Send(&button_, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton);
    Send(&button_, QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(ImageButtonTest, CaptionAndIconFormOneCentredGroup) {
    const QRect alone = button_.CaptionRect();
    EXPECT_NEAR(alone.center().x(), 40, 1);
    EXPECT_NEAR(alone.center().y(), 14, 1);
    EXPECT_TRUE(button_.IconRect().isNull());

    Send(&button_, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(button_.CaptionRect(), alone.translated(0, 1)); // one pixel lower when pressed
    Send(&button_, QEvent::MouseMove, Qt::NoButton, Qt::NoButton);

    tw::TPicture icon;
    icon.image = QImage(16, 16, QImage::Format_ARGB32);
    icon.image.fill(Qt::red);
    icon.isPng = true;
    button_.SetPicture(icon);
    const QRect iconAt = button_.IconRect();
    const QRect captionAt = button_.CaptionRect();
    EXPECT_EQ(iconAt.size(), QSize(16, 16));
    EXPECT_LT(iconAt.right(), captionAt.left());
    EXPECT_NEAR(iconAt.left() + (captionAt.right() - iconAt.left()) / 2.0, 40, 1);
    EXPECT_NEAR(iconAt.center().y(), 14, 1);

    button_.SetCaption("");
    EXPECT_EQ(button_.IconRect(), QRect(32, 6, 16, 16));
}

TEST_F(ImageButtonTest, EachStateDrawsItsOwnPicture) {
    button_.show();
    const QColor normal = button_.grab().toImage().pixelColor(20, 20);
    Send(&button_, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, QPoint(5, 14));
    const QColor selected = button_.grab().toImage().pixelColor(20, 20);
    Send(&button_, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, QPoint(5, 14));
    const QColor downed = button_.grab().toImage().pixelColor(20, 20);
    EXPECT_NE(normal, selected);
    EXPECT_NE(selected, downed);
    EXPECT_NE(normal, downed);
}

} // namespace
