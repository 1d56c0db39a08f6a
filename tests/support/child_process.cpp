#include "support/child_process.h"

#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <linux/capability.h>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace twtest {

std::string OwnFolder() {
    char path[PATH_MAX] = {};
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    std::string self(path, length > 0 ? static_cast<std::size_t>(length) : 0);
    return self.substr(0, self.rfind('/'));
}

std::string ClientPath() {
    return OwnFolder() + "/x11_test_client";
}

bool WaitUntil(const std::function<bool()>& condition, int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

namespace {
// A bound for a client that never maps its window, not a time the map is expected in: the
// first X client on a machine may spend seconds building the font cache.
constexpr int AnnouncementTimeoutMs = 60000;

void RedirectTo(const std::string& file, int descriptor) {
    if (file.empty()) {
        return;
    }
    int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
        dup2(fd, descriptor);
        close(fd);
    }
}
} // namespace

TClient::TClient(const std::vector<std::string>& arguments, bool announce,
                 const std::string& program, const TChildOptions& options) {
    int output[2];
    if (pipe(output) != 0) {
        throw std::runtime_error("pipe failed");
    }
    pid_ = fork();
    if (pid_ == 0) {
        if (options.ownProcessGroup) {
            setpgid(0, 0);
        }
        if (announce) {
            dup2(output[1], STDOUT_FILENO);
        } else {
            RedirectTo(options.stdoutFile, STDOUT_FILENO);
        }
        RedirectTo(options.stderrFile, STDERR_FILENO);
        close(output[0]);
        close(output[1]);
        for (const auto& [name, value] : options.environment) {
            setenv(name.c_str(), value.c_str(), 1);
        }
        if (options.obeyFilePermissions && geteuid() == 0 &&
            (prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0) != 0 ||
             prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0) != 0)) {
            _exit(126); // the test would prove nothing: it fails on the exit code instead
        }
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    if (options.ownProcessGroup && pid_ > 0) {
        setpgid(pid_, pid_); // also here, so that the group exists before any kill
        group_ = pid_;
    }
    close(output[1]);
    if (announce) {
        ReadAnnouncement(output[0]);
    }
    close(output[0]);
}

TClient::~TClient() {
    Kill();
}

bool TClient::ExitsCleanlyWithin(int milliseconds) {
    const std::optional<int> code = ExitCodeWithin(milliseconds);
    return code && *code == 0;
}

std::optional<int> TClient::ExitCodeWithin(int milliseconds) {
    WaitUntil([&] { return !Running(); }, milliseconds);
    return exitCode_;
}

bool TClient::Running() {
    int status = 0;
    if (pid_ > 0 && waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    return pid_ > 0;
}

void TClient::Kill() {
    if (group_ > 0) {
        kill(-group_, SIGKILL); // its helpers too, even when it ended before them
        group_ = -1;
    }
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
        exitCode_ = 128 + SIGKILL;
    }
}

void TClient::ReadAnnouncement(int fd) {
    std::string line;
    pollfd waiting{fd, POLLIN, 0};
    char c = 0;
    while (line.find('\n') == std::string::npos && poll(&waiting, 1, AnnouncementTimeoutMs) > 0 &&
           read(fd, &c, 1) == 1) {
        line += c;
    }
    std::istringstream words(line);
    std::string word;
    words >> word;
    if (word != "window") {
        throw std::runtime_error("the test client did not announce its window: " + line);
    }
    for (tw::TWindowHandle id = 0; words >> id;) {
        ids_.push_back(id);
    }
    children_.assign(ids_.begin() + 1, ids_.end());
}

} // namespace twtest
