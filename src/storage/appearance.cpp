#include "storage/appearance.h"

#include "storage/settings_file.h"

#include <utility>

namespace tw {
namespace {

const char PositionSection[] = "Position";
const char BackgroundSection[] = "Background";

} // namespace

bool TAppearance::GetAutohide() {
    autohide_ = file_.ReadBool(PositionSection, "Autohide", false);
    return autohide_;
}

void TAppearance::SetAutohide(bool value) {
    autohide_ = value;
    file_.WriteBool(PositionSection, "Autohide", value);
}

int TAppearance::GetAlign() {
    if (align_ == 0) {
        align_ = file_.ReadInteger(PositionSection, "Align", 1);
    }
    return align_;
}

void TAppearance::SetAlign(int value) {
    if (value == align_) {
        return;
    }
    align_ = value;
    file_.WriteInteger(PositionSection, "Align", value);
}

int TAppearance::GetAlignVertical() {
    if (alignVertical_ == 0) {
        alignVertical_ = file_.ReadInteger(PositionSection, "AlignVertical", 0);
    }
    return alignVertical_;
}

void TAppearance::SetAlignVertical(int value) {
    // 0 is both "none" and "not read yet": without asking the file first, setting 0
    // before any read would be skipped while the file still holds another placement.
    if (value == GetAlignVertical()) {
        return;
    }
    alignVertical_ = value;
    file_.WriteInteger(PositionSection, "AlignVertical", value);
}

int TAppearance::GetColor() {
    if (color_ == -1) {
        color_ = file_.ReadInteger(BackgroundSection, "Color", DefaultColor);
    }
    return color_;
}

void TAppearance::SetColor(int value) {
    color_ = value;
    file_.WriteInteger(BackgroundSection, "Color", value);
}

int TAppearance::GetTextColor() {
    if (textColor_ == -1) {
        textColor_ = file_.ReadInteger(BackgroundSection, "TextColor", DefaultTextColor);
    }
    return textColor_;
}

void TAppearance::SetTextColor(int value) {
    textColor_ = value;
    file_.WriteInteger(BackgroundSection, "TextColor", value);
}

int TAppearance::GetTransparency() {
    if (transparency_ == -1) {
        transparency_ = file_.ReadInteger(BackgroundSection, "Transparency", DefaultTransparency);
    }
    return transparency_;
}

void TAppearance::SetTransparency(int value) {
    transparency_ = value;
    file_.WriteInteger(BackgroundSection, "Transparency", value);
}

std::string TAppearance::GetImage() {
    if (image_.empty()) {
        image_ = file_.ReadString(BackgroundSection, "Image", "");
    }
    return image_;
}

void TAppearance::SetImage(const std::string& path) {
    image_ = path;
    file_.WriteString(BackgroundSection, "Image", path);
    if (imageChanged_) {
        imageChanged_(path);
    }
}

void TAppearance::SetImageChangedHandler(std::function<void(const std::string&)> handler) {
    imageChanged_ = std::move(handler);
}

} // namespace tw
