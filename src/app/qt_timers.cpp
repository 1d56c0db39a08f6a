#include "app/qt_timers.h"

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

namespace tw {

namespace {
// The odd intervals keep timers from lining up; below a minute they must not be rounded.
constexpr int CoarseFromMs = 60000;
} // namespace

TQtTimers::TQtTimers(QObject& parent, TErrorHandler onError)
    : parent_(parent), onError_(std::move(onError)) {}

TQtTimers::~TQtTimers() {
    // The handlers refer to objects that go with the program; none may fire after it.
    for (QTimer* timer : timers_) {
        delete timer;
    }
    for (QSocketNotifier* watch : watches_) {
        delete watch;
    }
}

int TQtTimers::Add(std::string name, int intervalMs, bool enabled, THandler handler) {
    auto* timer = new QTimer(&parent_);
    timer->setObjectName(QString::fromStdString(name));
    timer->setInterval(intervalMs);
    timer->setTimerType(intervalMs < CoarseFromMs ? Qt::PreciseTimer : Qt::CoarseTimer);
    QObject::connect(timer, &QTimer::timeout, timer, [this, handler = std::move(handler)] {
        try {
            handler();
        } catch (const std::exception& e) {
            onError_(e);
        }
    });
    if (enabled) {
        timer->start();
    }
    timers_.push_back(timer);
    return static_cast<int>(timers_.size() - 1);
}

void TQtTimers::SetEnabled(int id, bool enabled) {
    QTimer* timer = timers_.at(id);
    if (!enabled) {
        timer->stop();
    } else if (!timer->isActive()) {
        timer->start();
    }
}

void TQtTimers::WatchDescriptor(int descriptor, THandler onReadable) {
    auto* watch = new QSocketNotifier(descriptor, QSocketNotifier::Read, &parent_);
    QObject::connect(watch, &QSocketNotifier::activated, watch,
                     [this, handler = std::move(onReadable)] {
                         try {
                             handler();
                         } catch (const std::exception& e) {
                             onError_(e);
                         }
                     });
    watches_.push_back(watch);
}

bool TQtTimers::IsEnabled(int id) const {
    return timers_.at(id)->isActive();
}

void TQtTimers::SetInterval(int id, int intervalMs) {
    QTimer* timer = timers_.at(id);
    // A running QTimer starts over with a new interval: an unchanged one must not hold it off.
    if (timer->interval() != intervalMs) {
        timer->setInterval(intervalMs);
    }
}

} // namespace tw
