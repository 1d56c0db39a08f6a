#include "platform/file_names.h"

namespace tw {

bool FileNamesIgnoreCase() {
#ifdef _WIN32
    return true;
#else
    return false;
#endif
}

const char* FolderSeparators() {
#ifdef _WIN32
    return "\\/:";
#else
    return "/";
#endif
}

const char* ProgramFileExtension() {
#ifdef _WIN32
    return "exe";
#else
    return "";
#endif
}

const char* ExampleProgramFile() {
#ifdef _WIN32
    return "Excel.exe";
#else
    return "mygame";
#endif
}

const char* ExampleProgramPath() {
#ifdef _WIN32
    return "C:/Excel.exe";
#else
    return "/usr/games/mygame";
#endif
}

} // namespace tw
