#include "dialogs/program_scan.h"

#include "discovery/program_lines.h"
#include "monitor/offered_programs.h"

#include <QMetaObject>
#include <QObject>

namespace tw {

TProgramScan::TProgramScan(TProgramSources sources) : sources_(std::move(sources)) {}

TProgramScan::~TProgramScan() {
    stop_ = true;
    Join();
}

void TProgramScan::Join() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

void TProgramScan::Start(bool complete, QObject* context, std::function<void(TScanFinds)> done) {
    Join(); // the previous scan has handed its finds on already
    stop_ = false;
    total_ = 0;
    count_ = 0;
    programs_ = 0;
    // The desktop answers on its own thread only.
    std::optional<std::vector<std::string>> windowOwners;
    if (sources_.windowOwners) {
        windowOwners = sources_.windowOwners();
    }
    running_ = true;
    thread_ = std::thread(&TProgramScan::Run, this, complete, std::move(windowOwners),
                          QPointer<QObject>(context), std::move(done));
}

void TProgramScan::Run(bool complete, std::optional<std::vector<std::string>> windowOwners,
                       QPointer<QObject> context, std::function<void(TScanFinds)> done) {
    TScanFinds finds;
    try {
        try {
            if (complete) {
                const int total = sources_.countFolders([this](int folders, int) {
                    count_ = folders;
                    return !stop_;
                });
                count_ = 0;
                total_ = total;
                sources_.complete(finds.programs, [this](int folders, int programs) {
                    count_ = folders;
                    programs_ = programs;
                    return !stop_;
                });
            } else {
                sources_.fast(finds.programs);
            }
        } catch (const EAbort&) {
            // Stopped: what was found so far stays.
        }
        finds.stopped = stop_;
        OfferedRunningPrograms(sources_.running, windowOwners ? &*windowOwners : nullptr,
                               finds.running);
    } catch (...) {
        finds.failure = std::current_exception();
    }
    running_ = false;
    // Handed over on the window's thread; a window that has gone takes nothing.
    QObject* target = context.data();
    if (target != nullptr) {
        QMetaObject::invokeMethod(
            target,
            [done = std::move(done), finds = std::move(finds)]() mutable {
                done(std::move(finds));
            },
            Qt::QueuedConnection);
    }
}

} // namespace tw
