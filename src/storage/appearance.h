#pragma once

#include <functional>
#include <string>

namespace tw {

class TSettingsFile;

// Appearance values of the windows, kept in the settings file and cached in memory for all
// windows. Except for Autohide, a value is read from the file once; a change another
// program makes to the file afterwards is not seen. Setters write at once; a failed write is
// reported by the settings file and the cached value still holds.
class TAppearance {
  public:
    explicit TAppearance(TSettingsFile& file) : file_(file) {}
    TAppearance(const TAppearance&) = delete;
    TAppearance& operator=(const TAppearance&) = delete;

    // [Position] Autohide: the main window hides at its screen edge. Read on every call.
    bool GetAutohide();
    void SetAutohide(bool value);

    // [Position] Align: docking edge, 1 right, 2 left (default 1).
    int GetAlign();
    void SetAlign(int value);

    // [Position] AlignVertical: compact-view placement, 0 none, 1 bottom, 2 top (default 0).
    int GetAlignVertical();
    void SetAlignVertical(int value);

    // What a value is while the file holds none: also what a window drawn without an
    // appearance shows.
    static constexpr int DefaultColor = 0;            // black
    static constexpr int DefaultTextColor = 16777215; // white
    static constexpr int DefaultTransparency = 10;

    // [Background] Color and TextColor: red in the lowest byte, then green, then blue
    // (defaults DefaultColor and DefaultTextColor).
    int GetColor();
    void SetColor(int value);
    int GetTextColor();
    void SetTextColor(int value);

    // [Background] Transparency in percent (default DefaultTransparency).
    int GetTransparency();
    void SetTransparency(int value);

    // [Background] Image: path of the background picture, empty for none.
    std::string GetImage();
    // Stores the path and then calls the image-changed handler so the picture is reloaded.
    void SetImage(const std::string& path);

    // Called with the new path after every SetImage; empty removes the handler.
    void SetImageChangedHandler(std::function<void(const std::string&)> handler);

  private:
    TSettingsFile& file_;
    // The "not read yet" marks: 0 for the alignments, -1 for the colours and the
    // transparency, empty for the image (so an empty image is asked for again each time).
    bool autohide_ = false;
    int align_ = 0;
    int alignVertical_ = 0;
    int color_ = -1;
    int textColor_ = -1;
    int transparency_ = -1;
    std::string image_;
    std::function<void(const std::string&)> imageChanged_;
};

} // namespace tw
