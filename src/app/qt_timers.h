#pragma once

#include "app/program_timers.h"

#include <exception>
#include <functional>
#include <vector>

class QObject;
class QSocketNotifier;
class QTimer;

namespace tw {

// The program's timers on the window toolkit's loop, so that they also fire while a modal
// window runs its own. Each is a QTimer under the given parent, named as the timer.
class TQtTimers : public TProgramTimers {
  public:
    using TErrorHandler = std::function<void(const std::exception&)>;

    // onError is told what a handler threw; the timer goes on.
    TQtTimers(QObject& parent, TErrorHandler onError);
    ~TQtTimers() override;
    TQtTimers(const TQtTimers&) = delete;
    TQtTimers& operator=(const TQtTimers&) = delete;

    int Add(std::string name, int intervalMs, bool enabled, THandler handler) override;
    void SetEnabled(int id, bool enabled) override;
    bool IsEnabled(int id) const override;
    void SetInterval(int id, int intervalMs) override;
    void WatchDescriptor(int descriptor, THandler onReadable) override;

  private:
    QObject& parent_;
    TErrorHandler onError_;
    std::vector<QTimer*> timers_;           // owned by the parent until this goes
    std::vector<QSocketNotifier*> watches_; // as well
};

} // namespace tw
