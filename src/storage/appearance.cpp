#include "storage/appearance.h"

#include "storage/settings_file.h"

#include <utility>

namespace tw {
namespace {

const char PositionSection[] = "Position";
const char BackgroundSection[] = "Background";

// The "not read yet" marks: 0 for the alignments, -1 for the colours and the
// transparency, empty for the image (so an empty image is asked for again each time).
struct TAppearanceCache {
    bool autohide = false;
    int align = 0;
    int alignVertical = 0;
    int color = -1;
    int textColor = -1;
    int transparency = -1;
    std::string image;
    std::function<void(const std::string&)> imageChanged;
};

TAppearanceCache& Cache() {
    static TAppearanceCache cache;
    return cache;
}

} // namespace

bool GetAutohide() {
    Cache().autohide = SettingsFile().ReadBool(PositionSection, "Autohide", false);
    return Cache().autohide;
}

void SetAutohide(bool value) {
    Cache().autohide = value;
    SettingsFile().WriteBool(PositionSection, "Autohide", value);
}

int GetAlign() {
    if (Cache().align == 0) {
        Cache().align = SettingsFile().ReadInteger(PositionSection, "Align", 1);
    }
    return Cache().align;
}

void SetAlign(int value) {
    if (value == Cache().align) {
        return;
    }
    Cache().align = value;
    SettingsFile().WriteInteger(PositionSection, "Align", value);
}

int GetAlignVertical() {
    if (Cache().alignVertical == 0) {
        Cache().alignVertical = SettingsFile().ReadInteger(PositionSection, "AlignVertical", 0);
    }
    return Cache().alignVertical;
}

void SetAlignVertical(int value) {
    // 0 is both "none" and "not read yet": without asking the file first, setting 0
    // before any read would be skipped while the file still holds another placement.
    if (value == GetAlignVertical()) {
        return;
    }
    Cache().alignVertical = value;
    SettingsFile().WriteInteger(PositionSection, "AlignVertical", value);
}

int GetColor() {
    if (Cache().color == -1) {
        Cache().color = SettingsFile().ReadInteger(BackgroundSection, "Color", 0);
    }
    return Cache().color;
}

void SetColor(int value) {
    Cache().color = value;
    SettingsFile().WriteInteger(BackgroundSection, "Color", value);
}

int GetTextColor() {
    if (Cache().textColor == -1) {
        Cache().textColor = SettingsFile().ReadInteger(BackgroundSection, "TextColor", 16777215);
    }
    return Cache().textColor;
}

void SetTextColor(int value) {
    Cache().textColor = value;
    SettingsFile().WriteInteger(BackgroundSection, "TextColor", value);
}

int GetTransparency() {
    if (Cache().transparency == -1) {
        Cache().transparency = SettingsFile().ReadInteger(BackgroundSection, "Transparency", 10);
    }
    return Cache().transparency;
}

void SetTransparency(int value) {
    Cache().transparency = value;
    SettingsFile().WriteInteger(BackgroundSection, "Transparency", value);
}

std::string GetImage() {
    if (Cache().image.empty()) {
        Cache().image = SettingsFile().ReadString(BackgroundSection, "Image", "");
    }
    return Cache().image;
}

void SetImage(const std::string& path) {
    Cache().image = path;
    SettingsFile().WriteString(BackgroundSection, "Image", path);
    if (Cache().imageChanged) {
        Cache().imageChanged(path);
    }
}

void SetImageChangedHandler(std::function<void(const std::string&)> handler) {
    Cache().imageChanged = std::move(handler);
}

void ResetAppearanceCacheForTest() {
    auto handler = std::move(Cache().imageChanged);
    Cache() = TAppearanceCache{};
    Cache().imageChanged = std::move(handler);
}

} // namespace tw
