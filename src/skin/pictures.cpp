#include "skin/pictures.h"

#include "platform/file_checks.h"
#include "skin/geometry.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

// The compiled-in pictures live in a static library, so their registration has to be
// pulled in by hand (outside any namespace, as the resource compiler names it).
static void InitPictureResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(tallywick);
        return true;
    }();
    (void)done;
}

namespace tw {

namespace {

const char UnitName[] = "Pictures";

QImage ReadImage(const QString& path, const QByteArray& format) {
    QImageReader reader(path, format);
    reader.setDecideFormatFromContent(format.isEmpty());
    QImage image = reader.read();
    if (image.isNull()) {
        throw EInvalidGraphic("Cannot read the picture \"" + path.toStdString() +
                              "\": " + reader.errorString().toStdString());
    }
    return image;
}

} // namespace

TPicture TPicture::FromFile(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    QByteArray format = suffix.toLatin1();
    if (format == "jpe") {
        format = "jpg";
    }
    if (!QImageReader::supportedImageFormats().contains(format)) {
        throw EInvalidGraphic("Unknown picture file extension (." + suffix.toStdString() + ")");
    }
    TPicture picture;
    picture.image = ReadImage(path, format);
    picture.isPng = format == "png";
    return picture;
}

void EnsurePictureResources() {
    InitPictureResources();
}

TPicture TPicture::FromResource(const QString& name) {
    InitPictureResources();
    const QString path = ":/pictures/" + name + ".png";
    Require(QFile::exists(path), UnitName, "known picture resource");
    TPicture picture;
    picture.image = ReadImage(path, "png");
    picture.isPng = true;
    return picture;
}

QImage PreparePicture(const TPicture& picture) {
    if (picture.IsEmpty()) {
        return QImage();
    }
    const QImage& source = picture.image;
    if (picture.isPng && source.hasAlphaChannel()) {
        return source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    QImage prepared(source.size(), QImage::Format_ARGB32_Premultiplied);
    prepared.fill(Qt::white);
    {
        QPainter painter(&prepared);
        painter.drawImage(0, 0, source);
    }
    const QRgb key = prepared.pixel(0, prepared.height() - 1);
    for (int y = 0; y < prepared.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(prepared.scanLine(y));
        for (int x = 0; x < prepared.width(); ++x) {
            line[x] = line[x] == key ? 0 : (line[x] | 0xFF000000u);
        }
    }
    return prepared;
}

void DrawNineSlice(QPainter& painter, const QRect& target, const QImage& prepared, int sideWidth,
                   int sideHeight) {
    if (prepared.isNull() || target.isEmpty()) {
        return;
    }
    const auto pieces = NineSlice(prepared.width(), prepared.height(), target.width(),
                                  target.height(), sideWidth, sideHeight);
    for (const TSlicePiece& piece : pieces) {
        if (piece.source.Width() <= 0 || piece.source.Height() <= 0 || piece.target.Width() <= 0 ||
            piece.target.Height() <= 0) {
            continue;
        }
        const QRect source(piece.source.left, piece.source.top, piece.source.Width(),
                           piece.source.Height());
        const QRect to(target.left() + piece.target.left, target.top() + piece.target.top,
                       piece.target.Width(), piece.target.Height());
        painter.drawImage(to, prepared, source);
    }
}

QColor ColorFromSetting(int value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

int SettingFromColor(const QColor& colour) {
    return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}

TWindowLook::TWindowLook(TAppearance& appearance) : appearance_(appearance) {
    appearance_.SetImageChangedHandler([this](const std::string& path) { Load(path); });
}

TWindowLook::~TWindowLook() {
    appearance_.SetImageChangedHandler({});
}

void TWindowLook::Load(const std::string& path) {
    loaded_ = true;
    picture_ = QImage();
    if (path.empty() || !FileExistsChecked(path)) {
        return;
    }
    TPicture picture = TPicture::FromFile(QString::fromStdString(path));
    picture_ = picture.image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

const QImage& TWindowLook::BackgroundPicture() {
    if (!loaded_) {
        Load(appearance_.GetImage());
    }
    return picture_;
}

} // namespace tw
