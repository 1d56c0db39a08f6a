#pragma once

#include <QString>

#include <functional>
#include <utility>

namespace tw {

class TErrorLog;
class TWindowLook;

// What every window of the program shares: the look it is drawn with, the log it reports
// to, the message window its notices go to, and whether an error window is open. The entry
// (or a test) owns one and hands it to each window it makes; a window passes it on to the
// dialogs it opens.
class TWindowKit {
  public:
    using TWarningPresenter = std::function<void(const QString&, const QString&)>;

    explicit TWindowKit(TErrorLog& log) : log_(log) {}
    TWindowKit(const TWindowKit&) = delete;
    TWindowKit& operator=(const TWindowKit&) = delete;

    TErrorLog& Log() const { return log_; }
    // Null until the appearance is known: the defaults (black, white text, 10 % clear, no
    // picture) then.
    TWindowLook* Look() const { return look_; }
    void SetLook(TWindowLook* look) { look_ = look; }

    // The message window lives a layer above the windows' base; it installs itself here.
    void SetWarningPresenter(TWarningPresenter presenter) { presenter_ = std::move(presenter); }
    // Shows one of the program's notices and waits for OK; without a message window the
    // notice goes to the log.
    void ShowWarning(const QString& text, const QString& caption);

    // Set while an error window is open, so that a failure repeating on every timer tick
    // adds reports but never piles up windows.
    bool ErrorWindowShowing() const { return errorWindowShowing_; }
    void SetErrorWindowShowing(bool showing) { errorWindowShowing_ = showing; }

  private:
    TErrorLog& log_;
    TWindowLook* look_ = nullptr;
    TWarningPresenter presenter_;
    bool errorWindowShowing_ = false;
};

} // namespace tw
