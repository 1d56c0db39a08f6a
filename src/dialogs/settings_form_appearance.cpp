#include "dialogs/settings_form_appearance.h"

#include "base/text.h"
#include "dialogs/dialog_controls.h"
#include "dialogs/guarded.h"
#include "platform/start_at_login.h"
#include "skin/base_form.h"
#include "skin/image_button.h"
#include "skin/pictures.h"
#include "storage/appearance.h"
#include "storage/options.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>

#include <optional>

namespace tw {

namespace {

const QString CustomImage = QStringLiteral("Custom...");
const QString NoImage = QStringLiteral("<No Image>");
const QString CustomColour = QStringLiteral("Custom...");

const QStringList Percentages = {"0",  "5",  "10", "15", "20", "25", "30",
                                 "40", "50", "60", "70", "80", "90"};

// The colours the colour boxes offer, as a colour picker's standard palette.
const struct {
    const char* name;
    QRgb rgb;
} StandardColours[] = {
    {"Black", 0x000000},  {"Maroon", 0x800000},  {"Green", 0x008000}, {"Olive", 0x808000},
    {"Navy", 0x000080},   {"Purple", 0x800080},  {"Teal", 0x008080},  {"Gray", 0x808080},
    {"Silver", 0xC0C0C0}, {"Red", 0xFF0000},     {"Lime", 0x00FF00},  {"Yellow", 0xFFFF00},
    {"Blue", 0x0000FF},   {"Fuchsia", 0xFF00FF}, {"Aqua", 0x00FFFF},  {"White", 0xFFFFFF},
};

QIcon Swatch(const QColor& colour) {
    QPixmap swatch(14, 14);
    swatch.fill(colour);
    QPainter painter(&swatch);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawRect(0, 0, 13, 13);
    return QIcon(swatch);
}

void FillColourBox(QComboBox* box) {
    for (const auto& colour : StandardColours) {
        box->addItem(Swatch(QColor(colour.rgb)), QString::fromLatin1(colour.name),
                     SettingFromColor(QColor(colour.rgb)));
    }
    box->addItem(CustomColour);
}

// Selects the entry of a stored colour; one of no standard name gets an entry of its own.
void SelectColour(QComboBox* box, int setting) {
    const QSignalBlocker quiet(box);
    int index = box->findData(setting);
    if (index == -1) {
        const QColor colour = ColorFromSetting(setting);
        index = box->count() - 1;
        box->insertItem(index, Swatch(colour), colour.name(), setting);
    }
    box->setCurrentIndex(index);
}

// The colour chosen in a box; "Custom..." asks for one. Empty when the person cancelled.
std::optional<int> ChosenColour(QComboBox* box, int current, QWidget* owner) {
    if (box->currentText() != CustomColour || box->currentData().isValid()) {
        return box->currentData().toInt();
    }
    const QColor chosen = QColorDialog::getColor(ColorFromSetting(current), owner, QString(),
                                                 QColorDialog::DontUseNativeDialog);
    if (!chosen.isValid()) {
        SelectColour(box, current);
        return std::nullopt;
    }
    const int setting = SettingFromColor(chosen);
    SelectColour(box, setting);
    return setting;
}

} // namespace

TSettingsAppearancePage::TSettingsAppearancePage(QWidget* s, TfrmBase& window, TOptions& options)
    : window_(window), options_(options) {
    lblBackgroundInfo = MakeText(
        s, "lblBackgroundInfo",
        "You can customise the background using an image of your choice, or a selection of "
        "landscapes and a colour palette. You can also set the transparency of the application "
        "on your desktop.",
        QRect(16, 0, 448, 54));
    lblTextColor = MakeLabel(s, "lblTextColor", "Text Color:", 16, 76);
    cbxTextColor = MakeCombo(s, "cbxTextColor", "Text Color:", QRect(150, 68, 200, 30), {});
    lblBackground = MakeLabel(s, "lblBackground", "Background", 16, 116);
    lblColor = MakeLabel(s, "lblColor", "Color:", 32, 150);
    cbxColor = MakeCombo(s, "cbxColor", "Background color:", QRect(150, 142, 200, 30), {});
    lblImage = MakeLabel(s, "lblImage", "Image:", 32, 188);
    cbxImage = MakeCombo(s, "cbxImage", "Background image:", QRect(150, 180, 200, 30), {});
    btnBrowseImage =
        DialogButton(s, "btnBrowseImage", QStringLiteral("Browse..."), QRect(360, 180, 104, 30));
    lblTransparency = MakeLabel(s, "lblTransparency", "Transparency:", 16, 236);
    cbxTransparency =
        MakeCombo(s, "cbxTransparency", "Transparency:", QRect(150, 228, 100, 30), Percentages);

    chkStartAtLogin = new QCheckBox(QStringLiteral("Start Tallywick when I log in"), s);
    chkStartAtLogin->setObjectName(QStringLiteral("chkStartAtLogin"));
    chkStartAtLogin->setAccessibleName(chkStartAtLogin->text());
    chkStartAtLogin->setGeometry(16, 280, 300, 24);
    MakeLight(chkStartAtLogin);
    chkStartAtLogin->setVisible(StartAtLoginAvailable());
    connect(cbxTextColor, &QComboBox::activated, this,
            [this] { Guarded(&window_, [this] { TextColorChange(); }); });
    connect(cbxColor, &QComboBox::activated, this,
            [this] { Guarded(&window_, [this] { ColorChange(); }); });
    connect(cbxImage, &QComboBox::activated, this,
            [this] { Guarded(&window_, [this] { ImageChange(); }); });
    connect(cbxTransparency, &QComboBox::activated, this,
            [this] { Guarded(&window_, [this] { TransparencyChange(); }); });
    connect(btnBrowseImage, &TImageButton::clicked, this,
            [this] { Guarded(&window_, [this] { BrowseImage(); }); });
}

void TSettingsAppearancePage::LoadStartAtLogin() {
    if (StartAtLoginAvailable()) {
        chkStartAtLogin->setChecked(StartsAtLogin());
    }
}

void TSettingsAppearancePage::ApplyStartAtLogin() {
    const bool on = chkStartAtLogin->isChecked();
    if (!StartAtLoginAvailable() || on == StartsAtLogin()) {
        return;
    }
    // The password, where the settings need it, was given on the Logon page or not at all.
    if (options_.Policy().DecideStartAtLogin(on) != TChangeDecision::Allowed) {
        chkStartAtLogin->setChecked(true);
        window_.ShowWarning(QStringLiteral("Tallywick still starts when you log in: only the "
                                           "administrator may switch that off."),
                            QStringLiteral("Please Note"));
        return;
    }
    SetStartAtLogin(on, options_.Places().programPath);
}

void TSettingsAppearancePage::Load() {
    skins_ = EnumerateSkins(options_.Places().programFolder + "Skins");
    rememberedTransparency_ = options_.Appearance().GetTransparency();
    rememberedColor_ = options_.Appearance().GetColor();
    rememberedTextColor_ = options_.Appearance().GetTextColor();
    rememberedImage_ = options_.Appearance().GetImage();
    FillColourBox(cbxTextColor);
    FillColourBox(cbxColor);
    SelectColour(cbxTextColor, rememberedTextColor_);
    SelectColour(cbxColor, rememberedColor_);
    {
        const QSignalBlocker quiet(cbxTransparency);
        const int index = cbxTransparency->findText(QString::number(rememberedTransparency_));
        cbxTransparency->setCurrentIndex(index == -1 ? 0 : index);
    }
    const QSignalBlocker quiet(cbxImage);
    cbxImage->addItem(CustomImage);
    for (const auto& [name, path] : skins_) {
        cbxImage->addItem(QString::fromStdString(name), QString::fromStdString(path));
    }
    cbxImage->addItem(NoImage);
    SelectImageEntry();
}

void TSettingsAppearancePage::SelectImageEntry() {
    const QSignalBlocker quiet(cbxImage);
    const std::string image = options_.Appearance().GetImage();
    int index = cbxImage->findText(NoImage);
    for (int i = 0; i < cbxImage->count(); ++i) {
        if (cbxImage->itemData(i).toString().toStdString() == image && !image.empty()) {
            index = i;
        }
    }
    if (index == cbxImage->findText(NoImage) && !image.empty() &&
        QFileInfo::exists(QString::fromStdString(image))) {
        index = 0; // a picture of the person's own
    }
    cbxImage->setCurrentIndex(index);
    btnBrowseImage->setVisible(index == 0);
}

void TSettingsAppearancePage::Restore() {
    options_.Appearance().SetTransparency(rememberedTransparency_);
    options_.Appearance().SetColor(rememberedColor_);
    options_.Appearance().SetTextColor(rememberedTextColor_);
    if (options_.Appearance().GetImage() != rememberedImage_) {
        options_.Appearance().SetImage(rememberedImage_);
    }
}

void TSettingsAppearancePage::TextColorChange() {
    if (const auto colour =
            ChosenColour(cbxTextColor, options_.Appearance().GetTextColor(), &window_)) {
        options_.Appearance().SetTextColor(*colour);
        TfrmBase::ApplyTextColor(&window_, ColorFromSetting(*colour));
    }
}

void TSettingsAppearancePage::ColorChange() {
    const auto colour = ChosenColour(cbxColor, options_.Appearance().GetColor(), &window_);
    if (!colour) {
        return;
    }
    window_.SetWindowColor(ColorFromSetting(*colour));
    options_.Appearance().SetColor(*colour);
    // A colour replaces the picture.
    {
        const QSignalBlocker quiet(cbxImage);
        cbxImage->setCurrentIndex(cbxImage->findText(NoImage));
    }
    ImageChange();
}

void TSettingsAppearancePage::TransparencyChange() {
    const int percent = cbxTransparency->currentText().toInt();
    window_.SetTransparency(percent);
    options_.Appearance().SetTransparency(percent);
}

void TSettingsAppearancePage::ImageChange() {
    const int index = cbxImage->currentIndex();
    btnBrowseImage->setVisible(index == 0);
    if (index == 0) {
        BrowseImage();
        return;
    }
    options_.Appearance().SetImage(cbxImage->currentText() == NoImage
                                       ? std::string()
                                       : cbxImage->currentData().toString().toStdString());
    window_.update();
}

void TSettingsAppearancePage::BrowseImage() {
    QFileDialog dialog(&window_, QStringLiteral("Background Picture"),
                       QString::fromStdString(options_.Places().programFolder + "Skins"),
                       QStringLiteral("Pictures (*.png *.jpg *.jpeg *.bmp *.gif *.ico)"));
    dialog.setObjectName(QStringLiteral("opdBackground"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    const std::string chosen = dialog.selectedFiles().first().toStdString();
    // One of the skins is shown as that skin.
    for (int i = 1; i < cbxImage->count() - 1; ++i) {
        if (SameText(cbxImage->itemData(i).toString().toStdString(), chosen)) {
            {
                const QSignalBlocker quiet(cbxImage);
                cbxImage->setCurrentIndex(i);
            }
            ImageChange();
            return;
        }
    }
    options_.Appearance().SetImage(chosen);
    window_.update();
}

} // namespace tw
