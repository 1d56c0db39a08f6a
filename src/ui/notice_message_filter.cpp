#include "ui/notice_message_filter.h"

#include <QCoreApplication>

namespace tw {

TNoticeMessageFilter::TNoticeMessageFilter(TDesktop& desktop, std::function<void()> onNotices)
    : desktop_(desktop), onNotices_(std::move(onNotices)) {
    QCoreApplication::instance()->installNativeEventFilter(this);
}

TNoticeMessageFilter::~TNoticeMessageFilter() {
    if (auto* application = QCoreApplication::instance()) {
        application->removeNativeEventFilter(this);
    }
}

bool TNoticeMessageFilter::nativeEventFilter(const QByteArray& eventType, void* message,
                                             qintptr* result) {
    // The announcement is posted to a window that is not Qt's, so it passes only the loop
    // of the thread's queue, never a Qt window's procedure. Qt 6's loop hands such messages
    // to the filters as "windows_generic_MSG"; "windows_dispatcher_MSG" is what its own
    // internal window receives, which Qt 5's loop used for them too.
    if ((eventType != "windows_generic_MSG" && eventType != "windows_dispatcher_MSG") ||
        !desktop_.NoticesAnnouncedBy(message)) {
        return false;
    }
    if (result) {
        *result = 0;
    }
    onNotices_();
    return true;
}

} // namespace tw
