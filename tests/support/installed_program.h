#pragma once

#include "support/child_process.h"
#include "support/file_text.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace twtest {

// The built program as an installation holds it (the executable with its two template
// databases, in a folder of its own) and a home of its own where it keeps its data folder:
// started as a person starts it, its files and its log read back.
class TInstalledProgram {
  public:
    TInstalledProgram() {
        std::filesystem::create_directories(folder_);
        for (const char* name : {"tallywick", "settings.sqlite", "actmondb.sqlite"}) {
            std::filesystem::copy_file(std::filesystem::path(TALLYWICK_TEMPLATE_DIR) / name,
                                       folder_ / name);
        }
        environment_.environment = {{"XDG_DATA_HOME", home_.Path().string()}};
        environment_.stderrFile = home_.File("errors.txt");
    }

    const std::filesystem::path& Folder() const { return folder_; }
    std::string Executable() const { return (folder_ / "tallywick").string(); }
    std::filesystem::path DataFolder() const { return home_.Path() / "Tallywick.V3"; }
    std::string DataFile(const std::string& name) const { return (DataFolder() / name).string(); }
    // A file of the test's own beside the data folder.
    std::string HomeFile(const std::string& name) const { return home_.File(name); }
    // What every start gets: the home, and where its standard error goes.
    TChildOptions& Environment() { return environment_; }
    // The program's own log, then what it wrote to standard error.
    std::string Log() const {
        return ReadAll(DataFile("tallywick.log")) + "\nstandard error:\n" +
               ReadAll(home_.File("errors.txt"));
    }
    std::unique_ptr<TClient> Start(const std::vector<std::string>& arguments = {
                                       "--diagnostic-log"}) const {
        return std::make_unique<TClient>(arguments, false, Executable(), environment_);
    }

  private:
    TempDir home_;
    TempDir programs_;
    std::filesystem::path folder_ = programs_.Path() / "bin";
    TChildOptions environment_;
};

} // namespace twtest
