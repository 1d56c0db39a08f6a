#pragma once

#include <QPointer>

#include <atomic>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class QObject;

namespace tw {

// Told the folders entered and the programs found so far; answers whether to go on (false
// makes the source stop by raising EAbort).
using TFolderProgress = std::function<bool(int folders, int programs)>;

// Where the add wizard finds programs: the system's own sources, or a test's.
struct TProgramSources {
    // The menu's programs, as lines "path=caption".
    std::function<void(std::vector<std::string>&)> fast;
    // The folders the Complete scan walks, counted first for a progress total.
    std::function<int(const TFolderProgress&)> countFolders;
    std::function<void(std::vector<std::string>&, const TFolderProgress&)> complete;
    // The programs running under the person's own account; replaces the lines.
    std::function<void(std::vector<std::string>&)> running;
    // The executables owning a window on the desktop now, asked on the window's thread as a
    // scan starts: of the running programs only these are offered, since the others are
    // background processes, shells and tools nobody means to limit. Unset offers them all.
    std::function<std::vector<std::string>()> windowOwners;
    // The caption of a program file, whether a picked file is a program, and the path the
    // system will run it under (what a listed program must name).
    std::function<std::string(const std::string&)> caption;
    std::function<bool(const std::string&)> isProgram;
    std::function<std::string(const std::string&)> pathOf;
};

class TDesktop;
class TErrorLog;

// This computer's sources; the desktop names the programs that own windows, the log hears
// what fails, and both must outlive the sources.
TProgramSources SystemProgramSources(TDesktop& desktop, TErrorLog& log);

// What a scan found.
struct TScanFinds {
    std::vector<std::string> programs;
    std::vector<std::string> running;
    bool stopped = false;
    std::exception_ptr failure; // a failure other than a stop
};

// One scan at a time, on a thread of its own so that the window stays responsive: the
// window reads the progress whenever it likes, may ask it to stop, and is handed the finds
// on its own thread. Destroying the scan stops it and waits for it.
class TProgramScan {
  public:
    explicit TProgramScan(TProgramSources sources);
    ~TProgramScan();
    TProgramScan(const TProgramScan&) = delete;
    TProgramScan& operator=(const TProgramScan&) = delete;

    // Runs the Fast or the Complete scan, then the running programs; done is called on the
    // context's thread unless the context has gone.
    void Start(bool complete, QObject* context, std::function<void(TScanFinds)> done);
    // The scan ends at its next folder, keeping what it found; the running programs are
    // still added.
    void Stop() { stop_ = true; }
    bool Running() const { return running_; }

    // Progress: while counting, FolderTotal is 0 and FolderCount counts up; then the walk
    // counts FolderCount up again towards FolderTotal.
    int FolderTotal() const { return total_; }
    int FolderCount() const { return count_; }
    int ProgramCount() const { return programs_; }

    const TProgramSources& Sources() const { return sources_; }

  private:
    void Run(bool complete, std::optional<std::vector<std::string>> windowOwners,
             QPointer<QObject> context, std::function<void(TScanFinds)> done);
    void Join();

    TProgramSources sources_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> running_{false};
    std::atomic<int> total_{0};
    std::atomic<int> count_{0};
    std::atomic<int> programs_{0};
};

} // namespace tw
