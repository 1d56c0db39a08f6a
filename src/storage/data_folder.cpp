#include "storage/data_folder.h"

#include "platform/file_privacy.h"
#include "storage/error_log.h"

#include <utility>

namespace tw {

TDataFolder::TDataFolder(TPlaces places, TClock& clock, TErrorLog& log)
    : places_(std::move(places)), clock_(clock), log_(log),
      settings_(places_.SettingsFilePath(), log), appearance_(settings_),
      activity_(places_, clock, log, &sliceTurns_) {
    // The history, the memos and the password's digest are the person's alone; a folder made
    // by an earlier version, or under a wide umask, was readable by every account.
    const std::vector<std::string> opened = MakeFolderPrivate(places_.dataFolder);
    if (!opened.empty()) {
        log_.Report("The data folder \"" + places_.dataFolder + "\" was open to other accounts (" +
                    std::to_string(opened.size()) + " of its entries, \"" + opened.front() +
                    "\" first); it is now private to this one");
        // The log itself may have been made just now.
        MakePrivate(log_.FilePath());
    }
}

} // namespace tw
