#pragma once

#include "skin/skins.h"

#include <QObject>

#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QWidget;

namespace tw {

class TfrmBase;
class TImageButton;
class TOptions;

// The settings wizard's first page: the window's text colour, colour or picture and
// transparency, written at once for a live preview and put back on Cancel; and whether the
// program starts at login, written on Apply.
class TSettingsAppearancePage : public QObject {
  public:
    TSettingsAppearancePage(QWidget* sheet, TfrmBase& window, TOptions& options);

    // Fills the boxes with the appearance in force and remembers it for Cancel.
    void Load();
    void Restore();
    // Read afresh each time: the entry is a file the desktop's own settings may change.
    void LoadStartAtLogin();
    void ApplyStartAtLogin();

  private:
    void TextColorChange();
    void ColorChange();
    void TransparencyChange();
    void ImageChange();
    void BrowseImage();
    void SelectImageEntry();

    TfrmBase& window_;
    TOptions& options_;
    TSkinList skins_;
    QLabel *lblBackgroundInfo = nullptr, *lblTextColor = nullptr, *lblBackground = nullptr,
           *lblColor = nullptr, *lblImage = nullptr, *lblTransparency = nullptr;
    QComboBox *cbxTextColor = nullptr, *cbxColor = nullptr, *cbxImage = nullptr,
              *cbxTransparency = nullptr;
    TImageButton* btnBrowseImage = nullptr;
    QCheckBox* chkStartAtLogin = nullptr;
    // The appearance as it was, put back on Cancel.
    int rememberedTransparency_ = 0;
    int rememberedColor_ = 0;
    int rememberedTextColor_ = 0;
    std::string rememberedImage_;
};

} // namespace tw
