#pragma once

#include <map>
#include <optional>
#include <string>

namespace tw {

// Whether a script's first line names a Bourne-style shell ("#!/bin/sh", "#!/usr/bin/env
// bash"): only such a script's exec line can be read without running it.
bool IsShellScript(const std::string& text);

// The program a shell wrapper hands its process over to: the program word of its last
// exec line, with the variables the script assigns above that line expanded (the values
// given are known beforehand). Read, never run. Nothing when there is no such line or
// the word depends on what only running would tell (arguments, command output, a
// variable the script does not assign).
std::optional<std::string> WrapperExecProgram(const std::string& script,
                                              const std::map<std::string, std::string>& known = {});

} // namespace tw
