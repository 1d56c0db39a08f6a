#pragma once

namespace tw {

// How this system names files.

// Whether two names that differ only in case name one file (Windows), or two (elsewhere).
bool FileNamesIgnoreCase();
// The characters that end a folder's part of a path: "\\/:" on Windows, "/" elsewhere.
const char* FolderSeparators();
// The extension a program's file has ("exe" on Windows); empty where programs have none.
const char* ProgramFileExtension();
// A program's file name and a full path to one as people here know them, for examples in
// prompts: "Excel.exe" and "C:/Excel.exe" on Windows.
const char* ExampleProgramFile();
const char* ExampleProgramPath();

} // namespace tw
