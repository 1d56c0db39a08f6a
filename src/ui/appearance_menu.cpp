#include "ui/appearance_menu.h"

#include "base/scope_exit.h"
#include "skin/base_form.h"
#include "skin/pictures.h"
#include "skin/skins.h"
#include "storage/appearance.h"
#include "storage/options.h"
#include "ui/guarded.h"
#include "ui/main_window_controls.h"
#include "ui/transparency_settings.h"

#include <QAction>
#include <QActionGroup>
#include <QColorDialog>
#include <QFileDialog>
#include <QMenu>

namespace tw {

namespace {

// Runs a menu entry's choice; what it throws goes to the application-wide handler.
template <class F> void OnTriggered(QAction* action, QObject* context, F&& choice) {
    QObject::connect(action, &QAction::triggered, context,
                     [context, choice = std::forward<F>(choice)] { Guarded(context, choice); });
}

} // namespace

TAppearanceMenu::TAppearanceMenu(TfrmBase& window, TOptions& options, QWidget* chart)
    : window_(window), options_(options), chart_(chart) {}

TAppearance& TAppearanceMenu::Appearance() {
    return options_.Appearance();
}

void TAppearanceMenu::AddTo(QMenu* tools) {
    QMenu* miBackground = tools->addMenu(QObject::tr("Background"));
    miBackground->setObjectName(QStringLiteral("miBackground"));
    QAction* miBackgroundColor =
        NamedAction(&window_, "miBackgroundColor", QObject::tr("Color..."));
    miBackground->addAction(miBackgroundColor);
    miBackgroundImage = miBackground->addMenu(QObject::tr("Image"));
    miBackgroundImage->setObjectName(QStringLiteral("miBackgroundImage"));
    QAction* miBackgroundImageBrowse =
        NamedAction(&window_, "miBackgroundImageBrowse", QObject::tr("Browse..."));
    miBackgroundImage->addAction(miBackgroundImageBrowse);
    miBackgroundImage->addSeparator();
    miClearBackgroundImage =
        NamedAction(&window_, "miClearBackgroundImage", QObject::tr("<No Image>"));
    miClearBackgroundImage->setCheckable(true);
    miBackgroundImage->addAction(miClearBackgroundImage);
    QAction* miTransparency =
        NamedAction(&window_, "miTransparency", QObject::tr("Transparency..."));
    miBackground->addAction(miTransparency);
    QAction* miTextColor = NamedAction(&window_, "miTextColor", QObject::tr("Text Color..."));
    tools->addAction(miTextColor);

    OnTriggered(miBackgroundColor, &window_, [this] { ChooseBackgroundColor(); });
    OnTriggered(miBackgroundImageBrowse, &window_, [this] { ChooseBackgroundImage(); });
    OnTriggered(miClearBackgroundImage, &window_, [this] { ChangeImage(QString()); });
    OnTriggered(miTransparency, &window_, [this] { ChooseTransparency(); });
    OnTriggered(miTextColor, &window_, [this] { ChooseTextColor(); });
}

void TAppearanceMenu::SetSkinsFolder(const QString& folder) {
    skinsFolder_ = folder;
    skinList_.clear();
    for (const auto& [name, path] : EnumerateSkins(skinsFolder_.toStdString())) {
        skinList_.emplace_back(QString::fromStdString(name), QString::fromStdString(path));
    }
    BuildImageMenu();
}

void TAppearanceMenu::BuildImageMenu() {
    for (QAction* action : skinActions_) {
        miBackgroundImage->removeAction(action);
        delete action;
    }
    skinActions_.clear();
    const QString image = QString::fromStdString(Appearance().GetImage());
    auto* group = window_.findChild<QActionGroup*>(QStringLiteral("grpSkins"));
    if (!group) {
        group = new QActionGroup(&window_);
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
        OnTriggered(action, &window_, [this, tag] {
            ChangeImage(skinList_.at(static_cast<std::size_t>(tag - 1)).second);
        });
        miBackgroundImage->insertAction(miClearBackgroundImage, action);
        skinActions_.push_back(action);
        ++tag;
    }
    miClearBackgroundImage->setChecked(image.isEmpty());
}

void TAppearanceMenu::ChangeImage(const QString& path) {
    // The path is stored before the picture is read, so a picture that cannot be read
    // still shows as chosen in the menu when its error is reported.
    TScopeExit redisplay([this] {
        BuildImageMenu();
        window_.update();
    });
    Appearance().SetImage(path.toStdString());
}

void TAppearanceMenu::ChooseBackgroundColor() {
    QColorDialog dialog(ColorFromSetting(Appearance().GetColor()), &window_);
    dialog.setObjectName(QStringLiteral("dlgBackgroundColor"));
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    Appearance().SetColor(SettingFromColor(dialog.selectedColor()));
    window_.SetWindowColor(dialog.selectedColor());
    ChangeImage(QString()); // a plain colour replaces the picture
    window_.update();
}

void TAppearanceMenu::ChooseBackgroundImage() {
    QFileDialog dialog(&window_, QObject::tr("Background Picture"), skinsFolder_,
                       QObject::tr("Pictures (*.png *.jpg *.jpeg *.bmp *.gif *.ico)"));
    dialog.setObjectName(QStringLiteral("dlgBackgroundImage"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    ChangeImage(dialog.selectedFiles().first());
}

void TAppearanceMenu::ChooseTextColor() {
    QColorDialog dialog(ColorFromSetting(Appearance().GetTextColor()), &window_);
    dialog.setObjectName(QStringLiteral("dlgTextColor"));
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    Appearance().SetTextColor(SettingFromColor(dialog.selectedColor()));
    TfrmBase::ApplyTextColor(&window_, dialog.selectedColor());
    chart_->update(); // it paints in the look's text colour
}

void TAppearanceMenu::ChooseTransparency() {
    if (ExecuteTransparencySettings(options_, &window_)) {
        window_.SetTransparency(Appearance().GetTransparency());
    }
}

void TAppearanceMenu::Apply() {
    window_.SetTransparency(Appearance().GetTransparency());
    window_.SetWindowColor(ColorFromSetting(Appearance().GetColor()));
    TfrmBase::ApplyTextColor(&window_, ColorFromSetting(Appearance().GetTextColor()));
    window_.update();
}

} // namespace tw
