#include "skin/pictures.h"

#include "platform/native_path.h"
#include "skin/skins.h"
#include "storage/appearance.h"
#include "storage/date_format.h"
#include "support/build_folder.h"
#include "support/temp_dir.h"
#include "support/test_data_folder.h"
#include "ui/test_look.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <fstream>

namespace {

QString Path(const twtest::TempDir& dir, const char* name) {
    return QString::fromStdString(dir.File(name));
}

TEST(PreparePictureTest, NonPngPictureKeysOutTheBottomLeftColour) {
    twtest::TempDir dir;
    QImage source(4, 3, QImage::Format_RGB32);
    source.fill(Qt::white);
    source.setPixel(1, 1, qRgb(10, 20, 30));
    source.setPixel(2, 0, qRgb(254, 255, 255)); // nearly white stays
    ASSERT_TRUE(source.save(Path(dir, "tile.bmp")));

    const QImage prepared = tw::PreparePicture(tw::TPicture::FromFile(Path(dir, "tile.bmp")));
    ASSERT_EQ(prepared.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(prepared.pixel(0, 0), 0u); // white: all four bytes zero
    EXPECT_EQ(prepared.pixel(3, 2), 0u);
    EXPECT_EQ(prepared.pixel(1, 1), qRgba(10, 20, 30, 255));
    EXPECT_EQ(prepared.pixel(2, 0), qRgba(254, 255, 255, 255));
}

TEST(PreparePictureTest, PngAlphaIsKeptAndPremultiplied) {
    twtest::TempDir dir;
    QImage source(2, 1, QImage::Format_ARGB32);
    source.setPixel(0, 0, qRgba(200, 100, 50, 128));
    source.setPixel(1, 0, qRgba(255, 255, 255, 0));
    ASSERT_TRUE(source.save(Path(dir, "half.png")));

    const QImage prepared = tw::PreparePicture(tw::TPicture::FromFile(Path(dir, "half.png")));
    const QRgb half = reinterpret_cast<const QRgb*>(prepared.constScanLine(0))[0];
    EXPECT_EQ(qAlpha(half), 128);
    EXPECT_NEAR(qRed(half), 100, 1); // stored premultiplied
    EXPECT_EQ(reinterpret_cast<const QRgb*>(prepared.constScanLine(0))[1], 0u);
}

TEST(PreparePictureTest, NoPictureGivesNothingToDraw) {
    EXPECT_TRUE(tw::PreparePicture(tw::TPicture{}).isNull());
}

TEST(PictureFileTest, UnreadableOrUnknownFilesRaise) {
    twtest::TempDir dir;
    std::ofstream(dir.File("broken.png")) << "not a picture";
    std::ofstream(dir.File("notes.txt")) << "text";
    EXPECT_THROW(tw::TPicture::FromFile(Path(dir, "broken.png")), tw::EInvalidGraphic);
    EXPECT_THROW(tw::TPicture::FromFile(Path(dir, "notes.txt")), tw::EInvalidGraphic);
    EXPECT_THROW(tw::TPicture::FromFile(Path(dir, "absent.png")), tw::EInvalidGraphic);
    EXPECT_THROW(tw::TPicture::FromResource("no_such_picture"), tw::EAssertionFailed);
}

TEST(PictureFileTest, ShippedSkinsAndPicturesLoad) {
    const tw::TSkinList skins =
        tw::EnumerateSkins(tw::Utf8Path(twtest::BuildProgramFolder() / "Skins"));
    EXPECT_GE(skins.size(), 4u);
    for (const auto& [name, path] : skins) {
        EXPECT_FALSE(tw::TPicture::FromFile(QString::fromStdString(path)).IsEmpty()) << name;
    }
    for (const char* name : {"header", "body", "button", "button_selected", "button_downed",
                             "combo_arrow", "check_on", "check_off", "tray_icon"}) {
        const tw::TPicture picture = tw::TPicture::FromResource(name);
        EXPECT_TRUE(picture.isPng && picture.image.hasAlphaChannel()) << name;
    }
}

TEST(DrawNineSliceTest, LowPanelDrawsHalfHeightCorners) {
    // Top 20 rows red, bottom 20 blue, green between: a 12-pixel-high target shows six rows
    // of each corner and none of the middle.
    QImage picture(64, 64, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::green);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            if (y < 20) {
                picture.setPixel(x, y, qRgb(255, 0, 0));
            } else if (y >= 44) {
                picture.setPixel(x, y, qRgb(0, 0, 255));
            }
        }
    }
    QImage target(100, 12, QImage::Format_ARGB32_Premultiplied);
    target.fill(Qt::transparent);
    {
        QPainter painter(&target);
        tw::DrawNineSlice(painter, target.rect(), picture, 20, 20);
    }
    for (int x : {0, 10, 50, 99}) {
        EXPECT_EQ(target.pixel(x, 0), qRgb(255, 0, 0)) << x;
        EXPECT_EQ(target.pixel(x, 5), qRgb(255, 0, 0)) << x;
        EXPECT_EQ(target.pixel(x, 6), qRgb(0, 0, 255)) << x;
        EXPECT_EQ(target.pixel(x, 11), qRgb(0, 0, 255)) << x;
    }
}

TEST(ColorSettingTest, RedIsTheLowestByte) {
    EXPECT_EQ(tw::ColorFromSetting(0x00332211), QColor(0x11, 0x22, 0x33));
    EXPECT_EQ(tw::SettingFromColor(QColor(0x11, 0x22, 0x33)), 0x00332211);
    EXPECT_EQ(tw::ColorFromSetting(0xFFFFFF), QColor(Qt::white));
}

class BackgroundPictureTest : public ::testing::Test {
  protected:
    tw::TAppearance& Appearance() { return folder_.Appearance(); }
    const QImage& BackgroundPicture() { return look_.Look().BackgroundPicture(); }

    twtest::TempDir dir_;
    twtest::TestDataFolder folder_{tw::EncodeDate(2026, 3, 14)};
    twtest::TestKit look_{folder_.Appearance()};
};

TEST_F(BackgroundPictureTest, FollowsTheStoredPath) {
    QImage tile(8, 8, QImage::Format_RGB32);
    tile.fill(Qt::darkCyan);
    ASSERT_TRUE(tile.save(Path(dir_, "tile.png")));
    Appearance().SetImage(dir_.File("tile.png"));
    EXPECT_EQ(BackgroundPicture().size(), QSize(8, 8));
    Appearance().SetImage(dir_.File("missing.png")); // quietly none
    EXPECT_TRUE(BackgroundPicture().isNull());
    Appearance().SetImage("");
    EXPECT_TRUE(BackgroundPicture().isNull());
}

TEST_F(BackgroundPictureTest, UnreadablePictureRaisesOnceFromTheChange) {
    std::ofstream(dir_.File("broken.jpg")) << "not a picture";
    EXPECT_THROW(Appearance().SetImage(dir_.File("broken.jpg")), tw::EInvalidGraphic);
    EXPECT_EQ(Appearance().GetImage(), dir_.File("broken.jpg")); // the path is already stored
    EXPECT_NO_THROW(BackgroundPicture());
    EXPECT_TRUE(BackgroundPicture().isNull());
}

TEST_F(BackgroundPictureTest, UnreadablePictureFoundAtStartRaisesOnlyOnce) {
    std::ofstream(dir_.File("broken.gif")) << "not a picture";
    // Stored by an earlier run: met when the picture is first drawn.
    folder_.Settings().WriteString("Background", "Image", dir_.File("broken.gif"));
    EXPECT_THROW(BackgroundPicture(), tw::EInvalidGraphic);
    EXPECT_NO_THROW(BackgroundPicture());
}

} // namespace
