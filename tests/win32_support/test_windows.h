#pragma once

#include "platform/desktop.h"

#include <oleacc.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace twtest {

// Letters of three scripts for a folder name: what any one code page would garble.
inline constexpr char NonAsciiFolderName[] = "Zoë Ωμέγα Ж";

// Handles this thread's window messages for a while (our own test windows need it).
void PumpMessages(int milliseconds = 0);
// Polls the condition while pumping messages; false when it still fails after the time.
bool WaitUntil(const std::function<bool()>& condition, int milliseconds = 10000);

// A window of any class name, created by the test; destroyed with the object.
class TTestWindow {
  public:
    // A top-level window (parent null) or a child.
    TTestWindow(const std::string& className, const std::string& text, HWND parent = nullptr);
    ~TTestWindow();
    TTestWindow(const TTestWindow&) = delete;
    TTestWindow& operator=(const TTestWindow&) = delete;

    HWND Handle() const { return window_; }
    tw::TWindowHandle Id() const;
    // What WM_GETOBJECT answers for OBJID_WINDOW (null: the system's default).
    void SetAccessible(IAccessible* object) { accessible_ = object; }
    void Destroy();

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
    IAccessible* accessible_ = nullptr;
};

// Brings a window to the front and waits until the system says it is.
bool MakeForeground(HWND window);

// The top-level windows of a process in the system's order, hidden ones included.
std::vector<HWND> WindowsOf(DWORD processId);

// The first visible top-level window of a process, waited for.
HWND WaitForProcessWindow(DWORD processId, int milliseconds = 15000);

// A program started by the test, ended with it. The command line is UTF-8.
class TTestProcess {
  public:
    explicit TTestProcess(const std::string& commandLine);
    ~TTestProcess();
    TTestProcess(const TTestProcess&) = delete;
    TTestProcess& operator=(const TTestProcess&) = delete;

    DWORD Id() const { return info_.dwProcessId; }
    // The first line the program writes, waited for.
    std::string ReadLine(int milliseconds = 15000);
    bool Running() const;
    // Its exit code once it has ended within the time; -1 when it still runs.
    long ExitCodeWithin(int milliseconds);
    void Kill();

  private:
    PROCESS_INFORMATION info_{};
    HANDLE output_ = nullptr;
    std::string pending_;
};

// Folder of the running test binary, with a trailing backslash.
std::string OwnFolder();

// A command line: the program in quotes, then the arguments.
std::string QuotedCommand(const std::string& program, const std::string& arguments);

// A browser stand-in (win32_browser_standin.cpp) copied under the program name given into
// a folder of this test process's own; the folder goes with the object.
class TBrowserStandIns {
  public:
    TBrowserStandIns();
    ~TBrowserStandIns();
    TBrowserStandIns(const TBrowserStandIns&) = delete;
    TBrowserStandIns& operator=(const TBrowserStandIns&) = delete;

    // The copy's full path.
    std::string Copy(const std::string& programName);
    // Starts the copy with the arguments and waits until its window is shown.
    std::unique_ptr<TTestProcess> Start(const std::string& programName,
                                        const std::string& arguments);
    // The path of the copy made last.
    const std::string& LastCopy() const { return lastCopy_; }

  private:
    std::string folder_;
    std::string lastCopy_;
    int copies_ = 0;
};

} // namespace twtest
