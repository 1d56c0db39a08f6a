#include "skin/base_form.h"

#include "skin/image_panel.h"
#include "skin/pictures.h"
#include "storage/appearance.h"
#include "storage/date_format.h"
#include "support/temp_dir.h"
#include "support/test_data_folder.h"
#include "ui/test_look.h"
#include "ui/window_helpers.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QScreen>

#include <gtest/gtest.h>

namespace {

using tw::TfrmBase;
using twtest::Child;

// A window as derived windows build one: controls first, then the appearance.
class TTestForm : public TfrmBase {
  public:
    explicit TTestForm(tw::TWindowKit& kit, bool allowMoves = true)
        : TfrmBase(kit), allowMoves_(allowMoves) {
        setWindowTitle("Test Window");
        resize(300, 200);
        bodyLabel = new QLabel("on the body", this);
        QPalette white = bodyLabel->palette();
        white.setColor(QPalette::WindowText, Qt::white);
        bodyLabel->setPalette(white);
        darkLabel = new QLabel("on a light panel", this); // keeps the design colour
        combo = new QComboBox(this);
        FinishCreation();
    }
    bool CanMoveTo(int left, int top) override {
        asked = QPoint(left, top);
        return allowMoves_;
    }
    void SetSlideState(int state) { SlideState = state; }
    QLabel* bodyLabel;
    QLabel* darkLabel;
    QComboBox* combo;
    QPoint asked{-1, -1};

  private:
    bool allowMoves_;
};

class BaseFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_.Appearance().SetColor(0x00402010);
        folder_.Appearance().SetTextColor(0x0000FFFF);
        folder_.Appearance().SetTransparency(10);
    }

    twtest::TestDataFolder folder_{tw::EncodeDate(2026, 3, 14)};
    twtest::TestKit look_{folder_.Appearance()};
};

TEST_F(BaseFormTest, CreationAppliesTheAppearance) {
    TTestForm form(look_);
    EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(Child<QLabel>(form, "lblCaption")->text(), "Test Window");
    EXPECT_EQ(form.WindowColor(), QColor(0x10, 0x20, 0x40));
    EXPECT_NEAR(form.windowOpacity(), 229 / 255.0, 0.002);
    form.SetTransparency(0);
    EXPECT_DOUBLE_EQ(form.windowOpacity(), 1.0);

    // Rounded: the corners are cut, the edges' middles are kept.
    const QRegion mask = form.mask();
    EXPECT_FALSE(mask.contains(QPoint(0, 0)));
    EXPECT_FALSE(mask.contains(QPoint(299, 199)));
    EXPECT_TRUE(mask.contains(QPoint(150, 0)));
    EXPECT_TRUE(mask.contains(QPoint(0, 100)));
    EXPECT_TRUE(mask.contains(QPoint(299, 100)));

    EXPECT_EQ(Child<tw::TImagePanel>(form, "pnlHeader")->geometry(), QRect(0, 0, 300, 32));
    EXPECT_EQ(Child<tw::TImagePanel>(form, "pnlBody")->geometry(), QRect(0, 32, 300, 168));
    form.show();
    form.resize(320, 400);
    EXPECT_EQ(Child<tw::TImagePanel>(form, "pnlBody")->geometry(), QRect(0, 32, 320, 368));
    EXPECT_FALSE(form.mask().contains(QPoint(319, 399)));
    EXPECT_TRUE(form.mask().contains(QPoint(160, 399)));

    form.setWindowTitle("Renamed");
    EXPECT_EQ(Child<QLabel>(form, "lblCaption")->text(), "Renamed");
    EXPECT_FALSE(form.combo->styleSheet().isEmpty()); // skinned arrow
}

TEST_F(BaseFormTest, TextColourSparesDarkLabelsEvenWhenItBecomesTheirColour) {
    TTestForm form(look_);
    const QColor yellow(255, 255, 0);
    EXPECT_EQ(form.bodyLabel->palette().color(QPalette::WindowText), yellow);
    EXPECT_EQ(Child<QLabel>(form, "lblCaption")->palette().color(QPalette::WindowText), yellow);
    EXPECT_EQ(form.darkLabel->palette().color(QPalette::WindowText), TfrmBase::DesignFontColor);

    TfrmBase::ApplyTextColor(&form, TfrmBase::DesignFontColor);
    TfrmBase::ApplyTextColor(&form, Qt::green);
    EXPECT_EQ(form.bodyLabel->palette().color(QPalette::WindowText), QColor(Qt::green));
    EXPECT_EQ(form.darkLabel->palette().color(QPalette::WindowText), TfrmBase::DesignFontColor);
}

TEST_F(BaseFormTest, BackgroundPictureIsTiledFromTheTopLeft) {
    twtest::TempDir dir;
    QImage tile(10, 10, QImage::Format_RGB32);
    tile.fill(qRgb(200, 0, 0));
    tile.setPixel(0, 0, qRgb(0, 0, 200));
    ASSERT_TRUE(tile.save(QString::fromStdString(dir.File("tile.bmp"))));
    folder_.Appearance().SetImage(dir.File("tile.bmp"));

    TTestForm form(look_);
    Child<tw::TImagePanel>(form, "pnlHeader")->hide();
    Child<tw::TImagePanel>(form, "pnlBody")->hide();
    Child<QLabel>(form, "imgIcon")->hide();
    Child<QLabel>(form, "lblCaption")->hide();
    form.bodyLabel->hide();
    form.darkLabel->hide();
    form.combo->hide();
    const QImage shot = form.grab().toImage();
    EXPECT_EQ(shot.pixel(0, 0), qRgb(0, 0, 200));
    EXPECT_EQ(shot.pixel(290, 190), qRgb(0, 0, 200));
    EXPECT_EQ(shot.pixel(295, 195), qRgb(200, 0, 0));
    EXPECT_EQ(shot.pixel(5, 5), qRgb(200, 0, 0));

    folder_.Appearance().SetImage("");
    EXPECT_EQ(form.grab().toImage().pixel(0, 0), qRgb(0x10, 0x20, 0x40)); // window colour
}

void Drag(QWidget* by, QPoint grabAt, QPoint toGlobal) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(grabAt), QPointF(by->mapToGlobal(grabAt)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(by, &press);
    QMouseEvent move(QEvent::MouseMove, QPointF(by->mapFromGlobal(toGlobal)), QPointF(toGlobal),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(by, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(by->mapFromGlobal(toGlobal)),
                        QPointF(toGlobal), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(by, &release);
}

TEST_F(BaseFormTest, HeaderDragStaysInsideTheWorkArea) {
    TTestForm form(look_);
    form.show();
    form.move(100, 100);
    const QRect area = form.screen()->availableGeometry();

    Drag(Child<tw::TImagePanel>(form, "pnlHeader"), QPoint(50, 10), QPoint(200, 150));
    EXPECT_EQ(form.pos(), QPoint(150, 140));
    EXPECT_EQ(form.asked, QPoint(150, 140));

    Drag(Child<QLabel>(form, "lblCaption"), QPoint(5, 5), area.bottomRight() + QPoint(500, 500));
    EXPECT_EQ(form.pos(), QPoint(area.right() + 1 - 300, area.bottom() + 1 - 200));

    Drag(Child<tw::TImagePanel>(form, "pnlHeader"), QPoint(50, 10),
         area.topLeft() - QPoint(400, 400));
    EXPECT_EQ(form.pos(), area.topLeft());

    form.SetSlideState(tw::ssHiding);
    Drag(Child<tw::TImagePanel>(form, "pnlHeader"), QPoint(50, 10), QPoint(300, 300));
    EXPECT_EQ(form.pos(), area.topLeft());
}

TEST_F(BaseFormTest, RefusedMoveLeavesTheWindowWhereItIs) {
    TTestForm form(look_, false);
    form.show();
    form.move(100, 100);
    Drag(Child<tw::TImagePanel>(form, "pnlHeader"), QPoint(50, 10), QPoint(400, 300));
    EXPECT_EQ(form.asked, QPoint(350, 290));
    EXPECT_EQ(form.pos(), QPoint(100, 100));
}

TEST_F(BaseFormTest, SheetControlsMoveOntoTheWindowAndBack) {
    TTestForm form(look_);
    auto* pages = new QWidget(&form);
    pages->setGeometry(10, 40, 280, 150);
    pages->hide();
    auto* sheet = new QWidget(pages);
    auto* label = new QLabel("Name", sheet);
    label->move(5, 5);
    auto* second = new QLineEdit(sheet);
    second->move(5, 60);
    auto* first = new QLineEdit(sheet);
    first->move(5, 30);
    auto* hidden = new QLineEdit(sheet);
    hidden->hide();
    QWidget::setTabOrder(first, second);
    form.show();
    form.activateWindow();

    form.ShowSheetControls(sheet);
    for (QWidget* control : {static_cast<QWidget*>(label), static_cast<QWidget*>(first),
                             static_cast<QWidget*>(second)}) {
        EXPECT_EQ(control->parentWidget(), &form);
        EXPECT_TRUE(control->isVisible());
    }
    EXPECT_EQ(first->pos(), QPoint(15, 70));
    EXPECT_EQ(label->pos(), QPoint(15, 45));
    EXPECT_TRUE(hidden->isHidden());
    EXPECT_EQ(form.focusWidget(), first);
    EXPECT_EQ(first->nextInFocusChain(), second);

    form.HideSheetControls();
    EXPECT_EQ(first->parentWidget(), sheet);
    EXPECT_EQ(label->parentWidget(), sheet);
    EXPECT_EQ(hidden->parentWidget(), sheet);
    EXPECT_EQ(first->pos(), QPoint(5, 30));
    EXPECT_TRUE(hidden->isHidden());
    EXPECT_FALSE(first->isHidden());
    EXPECT_EQ(first->nextInFocusChain(), second);
}

TEST_F(BaseFormTest, PadListRowsFillsWithEmptyRows) {
    QListWidget list;
    list.setUniformItemSizes(true);
    list.setSpacing(0);
    list.addItems({"one", "two", "three"});
    for (int row = 0; row < list.count(); ++row) {
        list.item(row)->setSizeHint(QSize(100, 20));
    }
    list.resize(200, 202);
    TfrmBase::PadListRows(&list);
    ASSERT_EQ(list.count(), 10);
    EXPECT_TRUE(list.item(9)->text().isEmpty());
    EXPECT_FALSE(list.item(9)->data(Qt::UserRole).isValid());

    QListWidget tiny;
    tiny.resize(200, 2);
    TfrmBase::PadListRows(&tiny);
    EXPECT_EQ(tiny.count(), 0);

    QListWidget full;
    for (int i = 0; i < 14; ++i) {
        full.addItem(QString::number(i));
        full.item(i)->setSizeHint(QSize(100, 20));
    }
    full.resize(200, 202);
    TfrmBase::PadListRows(&full);
    EXPECT_EQ(full.count(), 14);
}

} // namespace
