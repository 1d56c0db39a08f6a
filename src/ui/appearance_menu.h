#pragma once

#include <QString>

#include <utility>
#include <vector>

class QAction;
class QMenu;
class QWidget;

namespace tw {

class TAppearance;
class TfrmBase;
class TOptions;

// The Tools menu's look of the window: background colour, background picture (one of the
// skins or any picture), transparency and text colour.
class TAppearanceMenu {
  public:
    // chart is the control that paints in the text colour itself.
    TAppearanceMenu(TfrmBase& window, TOptions& options, QWidget* chart);

    // Adds the Background menu and the text colour to the Tools menu.
    void AddTo(QMenu* tools);
    // Name and path of every picture in the Skins folder (and below), by name.
    const std::vector<std::pair<QString, QString>>& SkinList() const { return skinList_; }
    void SetSkinsFolder(const QString& folder);
    // Draws the window again with the stored look.
    void Apply();

  private:
    TAppearance& Appearance();
    void BuildImageMenu();
    void ChangeImage(const QString& path);
    void ChooseBackgroundColor();
    void ChooseBackgroundImage();
    void ChooseTextColor();
    void ChooseTransparency();

    TfrmBase& window_;
    TOptions& options_;
    QWidget* chart_;
    QMenu* miBackgroundImage = nullptr;
    QAction* miClearBackgroundImage = nullptr;
    QString skinsFolder_;
    std::vector<std::pair<QString, QString>> skinList_;
    std::vector<QAction*> skinActions_;
};

} // namespace tw
