#pragma once

#include "platform/desktop.h"

#include <QAbstractNativeEventFilter>

#include <functional>

namespace tw {

// Where the desktop's notices come with the thread's window messages (Windows), Qt's loop
// takes those messages off the queue itself: this filter shows each to the desktop and
// calls onNotices when one announces waiting notices. Installed while it lives.
class TNoticeMessageFilter : public QAbstractNativeEventFilter {
  public:
    TNoticeMessageFilter(TDesktop& desktop, std::function<void()> onNotices);
    ~TNoticeMessageFilter() override;
    TNoticeMessageFilter(const TNoticeMessageFilter&) = delete;
    TNoticeMessageFilter& operator=(const TNoticeMessageFilter&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  private:
    TDesktop& desktop_;
    std::function<void()> onNotices_;
};

} // namespace tw
