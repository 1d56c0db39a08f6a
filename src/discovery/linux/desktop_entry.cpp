#include "discovery/linux/desktop_entry.h"

#include <map>
#include <sstream>

namespace tw {

namespace {

std::string TrimBlanks(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The escapes of a string value: \s, \n, \t, \r and \\.
std::string Unescaped(const std::string& value) {
    std::string text;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            text += value[i];
            continue;
        }
        switch (value[++i]) {
        case 's':
            text += ' ';
            break;
        case 'n':
            text += '\n';
            break;
        case 't':
            text += '\t';
            break;
        case 'r':
            text += '\r';
            break;
        case '\\':
            text += '\\';
            break;
        default: // not an escape: both characters stay
            text += '\\';
            text += value[i];
        }
    }
    return text;
}

// The locale suffixes to try for a localised key, best first: lang_COUNTRY@MODIFIER,
// lang_COUNTRY, lang@MODIFIER, lang. The encoding part never takes part in matching.
std::vector<std::string> LocaleCandidates(const std::string& locale) {
    std::string lang = locale;
    std::string modifier;
    if (const auto at = lang.find('@'); at != std::string::npos) {
        modifier = lang.substr(at);
        lang.erase(at);
    }
    if (const auto dot = lang.find('.'); dot != std::string::npos) {
        lang.erase(dot);
    }
    if (lang.empty() || lang == "C" || lang == "POSIX") {
        return {};
    }
    std::string country;
    if (const auto underscore = lang.find('_'); underscore != std::string::npos) {
        country = lang.substr(underscore);
        lang.erase(underscore);
    }
    std::vector<std::string> candidates;
    if (!country.empty() && !modifier.empty()) {
        candidates.push_back(lang + country + modifier);
    }
    if (!country.empty()) {
        candidates.push_back(lang + country);
    }
    if (!modifier.empty()) {
        candidates.push_back(lang + modifier);
    }
    candidates.push_back(lang);
    return candidates;
}

bool IsTrue(const std::string& value) {
    return value == "true";
}

} // namespace

std::optional<TDesktopEntry> ParseDesktopEntry(const std::string& text, const std::string& locale) {
    std::istringstream lines(text);
    std::string line;
    std::string group;
    bool firstGroup = true;
    bool inEntry = false;
    // Keys of the entry group as written, localised ones with their "[locale]"; the first
    // of a repeated key counts.
    std::map<std::string, std::string> keys;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::string trimmed = TrimBlanks(line);
        if (trimmed.empty() || trimmed[0] == '#') {
            continue;
        }
        if (trimmed[0] == '[') {
            if (trimmed.back() != ']' || trimmed.find_first_of("[]", 1) != trimmed.size() - 1) {
                return std::nullopt;
            }
            group = trimmed.substr(1, trimmed.size() - 2);
            if (firstGroup && group != "Desktop Entry") {
                return std::nullopt;
            }
            firstGroup = false;
            inEntry = group == "Desktop Entry";
            continue;
        }
        const auto equals = trimmed.find('=');
        if (equals == std::string::npos || firstGroup) {
            return std::nullopt;
        }
        const std::string key = TrimBlanks(trimmed.substr(0, equals));
        if (key.empty()) {
            return std::nullopt;
        }
        if (inEntry) {
            keys.emplace(key, TrimBlanks(trimmed.substr(equals + 1)));
        }
    }
    if (firstGroup) {
        return std::nullopt;
    }
    const auto value = [&](const std::string& key) {
        const auto found = keys.find(key);
        return found == keys.end() ? std::string() : found->second;
    };
    TDesktopEntry entry;
    entry.Type = value("Type");
    entry.Name = Unescaped(value("Name"));
    for (const std::string& candidate : LocaleCandidates(locale)) {
        if (const auto found = keys.find("Name[" + candidate + "]"); found != keys.end()) {
            entry.Name = Unescaped(found->second);
            break;
        }
    }
    entry.Exec = Unescaped(value("Exec"));
    entry.TryExec = Unescaped(value("TryExec"));
    entry.FlatpakApp = Unescaped(value("X-Flatpak"));
    entry.NoDisplay = IsTrue(value("NoDisplay"));
    entry.Hidden = IsTrue(value("Hidden"));
    return entry;
}

std::optional<std::vector<std::string>> ExecArguments(const std::string& exec) {
    std::vector<std::string> arguments;
    std::string word;
    bool inWord = false;
    bool fieldCodeOnly = true; // a word that is nothing but field codes is dropped
    const auto endWord = [&] {
        if (inWord && !(fieldCodeOnly && word.empty())) {
            arguments.push_back(word);
        }
        word.clear();
        inWord = false;
        fieldCodeOnly = true;
    };
    for (size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (c == ' ' || c == '\t') {
            endWord();
        } else if (c == '"') {
            inWord = true;
            fieldCodeOnly = false;
            for (++i;; ++i) {
                if (i == exec.size()) {
                    return std::nullopt;
                }
                if (exec[i] == '"') {
                    break;
                }
                if (exec[i] == '\\' && i + 1 < exec.size() &&
                    std::string("\"`$\\").find(exec[i + 1]) != std::string::npos) {
                    ++i;
                }
                word += exec[i];
            }
        } else if (c == '%' && i + 1 < exec.size()) {
            inWord = true;
            if (exec[++i] == '%') {
                word += '%';
                fieldCodeOnly = false;
            }
        } else {
            inWord = true;
            fieldCodeOnly = false;
            word += c;
        }
    }
    endWord();
    return arguments;
}

} // namespace tw
