#pragma once

#include "base/exception.h"
#include "storage/appearance.h"

#include <QColor>
#include <QImage>
#include <QString>

class QPainter;
class QRect;

namespace tw {

// A picture file that exists but cannot be read as a picture.
class EInvalidGraphic : public Exception {
  public:
    using Exception::Exception;
    const char* ClassName() const override { return "EInvalidGraphic"; }
};

// A picture as loaded, with what its drawing needs to know of its origin.
struct TPicture {
    QImage image;
    // A PNG keeps its own alpha; any other picture is keyed by its bottom-left pixel.
    bool isPng = false;

    bool IsEmpty() const { return image.isNull(); }

    // Reads a picture file; its format is chosen by the extension. Throws EInvalidGraphic
    // when the file cannot be read or is no picture of a known format.
    static TPicture FromFile(const QString& path);
    // One of the program's own pictures, by name without extension ("header"). An unknown
    // name is a programming error (EAssertionFailed).
    static TPicture FromResource(const QString& name);
};

// Makes the compiled-in pictures reachable by their ":/pictures/..." paths (style sheets).
void EnsurePictureResources();

// The 32-bit premultiplied copy a control draws from: a PNG with an alpha channel keeps its
// alpha; any other picture is drawn on white and the colour of its bottom-left pixel
// becomes fully transparent, every other pixel fully opaque. Empty in, empty out.
QImage PreparePicture(const TPicture& picture);

// Draws a prepared copy stretched over `target` in nine pieces with the given corner sizes.
void DrawNineSlice(QPainter& painter, const QRect& target, const QImage& prepared, int sideWidth,
                   int sideHeight);

// Colour values as the settings keep them: red in the lowest byte, then green, then blue.
QColor ColorFromSetting(int value);
int SettingFromColor(const QColor& colour);

// What the windows are drawn with: the appearance's colours and transparency, and the
// background picture they tile.
class TWindowLook {
  public:
    // From now on a change of the Image path reloads the picture at once, so that the code
    // changing the path is the one that sees a failure.
    explicit TWindowLook(TAppearance& appearance);
    ~TWindowLook();
    TWindowLook(const TWindowLook&) = delete;
    TWindowLook& operator=(const TWindowLook&) = delete;

    TAppearance& Appearance() { return appearance_; }
    // Loaded from the appearance's Image path when that file exists, else empty. A file that
    // cannot be read raises EInvalidGraphic once from the call that loads it, and the
    // picture then stays empty until the path changes, so painting never raises.
    const QImage& BackgroundPicture();

  private:
    void Load(const std::string& path);

    TAppearance& appearance_;
    bool loaded_ = false;
    QImage picture_;
};

} // namespace tw
