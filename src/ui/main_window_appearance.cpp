// The appearance menus: background colour, background picture and skins, text colour and
// transparency.
#include "base/scope_exit.h"
#include "skin/pictures.h"
#include "skin/skins.h"
#include "storage/appearance.h"
#include "ui/main_window.h"
#include "ui/transparency_settings.h"
#include "ui/usage_chart.h"

#include <QAction>
#include <QActionGroup>
#include <QColorDialog>
#include <QFileDialog>
#include <QMenu>

namespace tw {

void TfrmMain::SetSkinsFolder(const QString& folder) {
    skinsFolder_ = folder;
    BuildSkinList();
    BuildImageMenu();
}

void TfrmMain::BuildSkinList() {
    skinList_.clear();
    for (const auto& [name, path] : EnumerateSkins(skinsFolder_.toStdString())) {
        skinList_.emplace_back(QString::fromStdString(name), QString::fromStdString(path));
    }
}

void TfrmMain::BuildImageMenu() {
    for (QAction* action : skinActions_) {
        miBackgroundImage->removeAction(action);
        delete action;
    }
    skinActions_.clear();
    const QString image = QString::fromStdString(Appearance().GetImage());
    auto* group = findChild<QActionGroup*>(QStringLiteral("grpSkins"));
    if (!group) {
        group = new QActionGroup(this);
        group->setObjectName(QStringLiteral("grpSkins"));
        group->addAction(miClearBackgroundImage);
    }
    int tag = 1;
    for (const auto& [name, path] : skinList_) {
        auto* action = new QAction(name, group);
        action->setObjectName(QStringLiteral("miSkin_") + name);
        action->setCheckable(true);
        action->setChecked(path == image);
        action->setData(tag);
        connect(action, &QAction::triggered, this,
                [this, tag] { Guarded([this, tag] { SkinSetClick(tag); }); });
        miBackgroundImage->insertAction(miClearBackgroundImage, action);
        skinActions_.push_back(action);
        ++tag;
    }
    miClearBackgroundImage->setChecked(image.isEmpty());
}

void TfrmMain::ChangeImage(const QString& path) {
    // The path is stored before the picture is read, so a picture that cannot be read
    // still shows as chosen in the menu when its error is reported.
    TScopeExit redisplay([this] {
        BuildImageMenu();
        update();
    });
    Appearance().SetImage(path.toStdString());
}

void TfrmMain::SkinSetClick(int tag) {
    const auto& [name, path] = skinList_.at(static_cast<std::size_t>(tag - 1));
    ChangeImage(path);
}

void TfrmMain::miBackgroundColorClick() {
    QColorDialog dialog(ColorFromSetting(Appearance().GetColor()), this);
    dialog.setObjectName(QStringLiteral("dlgBackgroundColor"));
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    Appearance().SetColor(SettingFromColor(dialog.selectedColor()));
    SetWindowColor(dialog.selectedColor());
    ChangeImage(QString()); // a plain colour replaces the picture
    update();
}

void TfrmMain::miBackgroundImageClick() {
    QFileDialog dialog(this, tr("Background Picture"), skinsFolder_,
                       tr("Pictures (*.png *.jpg *.jpeg *.bmp *.gif *.ico)"));
    dialog.setObjectName(QStringLiteral("dlgBackgroundImage"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    ChangeImage(dialog.selectedFiles().first());
}

void TfrmMain::miClearBackgroundImageClick() {
    ChangeImage(QString());
}

void TfrmMain::miTextColorClick() {
    QColorDialog dialog(ColorFromSetting(Appearance().GetTextColor()), this);
    dialog.setObjectName(QStringLiteral("dlgTextColor"));
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    Appearance().SetTextColor(SettingFromColor(dialog.selectedColor()));
    ApplyTextColor(this, dialog.selectedColor());
    chtUsage->update(); // it paints in the look's text colour
}

void TfrmMain::miTransparencyClick() {
    if (ExecuteTransparencySettings(options_, this)) {
        SetTransparency(Appearance().GetTransparency());
    }
}

void TfrmMain::ApplyAppearance() {
    SetTransparency(Appearance().GetTransparency());
    SetWindowColor(ColorFromSetting(Appearance().GetColor()));
    ApplyTextColor(this, ColorFromSetting(Appearance().GetTextColor()));
    update();
}

} // namespace tw
