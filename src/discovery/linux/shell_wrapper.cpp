#include "discovery/linux/shell_wrapper.h"

#include <vector>

namespace tw {

namespace {

bool IsNameStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsNameChar(char c) {
    return IsNameStart(c) || (c >= '0' && c <= '9');
}
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsOperatorChar(char c) {
    return c == ';' || c == '&' || c == '|' || c == '(' || c == ')' || c == '<' || c == '>';
}

// One word of a command after expansion; "known" is false when its text would only be
// known by running the script.
struct TWord {
    std::string Text;
    bool Known = true;
};

// A simple command: its words, with redirections left out.
using TCommand = std::vector<TWord>;

// Splits a script into simple commands, expanding variables with the assignments met so
// far; the commands are handed on as they are met, so that a command sees exactly the
// assignments above it.
class TScriptReader {
  public:
    TScriptReader(const std::string& text, std::map<std::string, std::string> known)
        : text_(text), variables_(std::move(known)) {}

    template <class Visit> void ForEachCommand(Visit visit) {
        TCommand command;
        bool redirectTarget = false;
        bool hereDocumentTarget = false;
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (IsBlank(c) || (c == '\\' && Peek(1) == '\n')) {
                pos_ += IsBlank(c) ? 1 : 2;
            } else if (c == '#') {
                SkipToLineEnd();
            } else if (c == '\n' || c == ';' || c == '&' || c == '|' || c == '(' || c == ')') {
                ++pos_;
                Finish(command, visit);
                if (c == '\n') {
                    SkipHereDocuments();
                }
            } else if (c == '<' || c == '>') {
                redirectTarget = ReadRedirection(hereDocumentTarget);
            } else {
                TWord word = ReadWord();
                // A descriptor number written right before a redirection belongs to it.
                const bool descriptor =
                    word.Text.find_first_not_of("0123456789") == std::string::npos &&
                    (Peek(0) == '<' || Peek(0) == '>');
                if (redirectTarget) {
                    if (hereDocumentTarget) {
                        hereDocuments_.push_back(word.Text);
                    }
                    redirectTarget = false;
                } else if (!descriptor) {
                    command.push_back(std::move(word));
                }
            }
        }
        Finish(command, visit);
    }

  private:
    char Peek(size_t ahead) const {
        return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0';
    }

    void SkipToLineEnd() {
        while (pos_ < text_.size() && text_[pos_] != '\n') {
            ++pos_;
        }
    }

    template <class Visit> void Finish(TCommand& command, Visit& visit) {
        if (!command.empty()) {
            Apply(command, visit);
            command.clear();
        }
    }

    template <class Visit> void Apply(TCommand& command, Visit& visit) {
        // Keywords that may start a command in front of the real one.
        size_t first = 0;
        while (first < command.size() &&
               (command[first].Text == "then" || command[first].Text == "else" ||
                command[first].Text == "do" || command[first].Text == "{" ||
                command[first].Text == "!" || command[first].Text == "elif" ||
                command[first].Text == "if" || command[first].Text == "while")) {
            ++first;
        }
        command.erase(command.begin(), command.begin() + static_cast<std::ptrdiff_t>(first));
        if (command.empty()) {
            return;
        }
        const std::string& head = command.front().Text;
        const bool declaration = head == "export" || head == "readonly" || head == "local" ||
                                 head == "declare" || head == "typeset";
        size_t assignments = declaration ? 1 : 0;
        while (assignments < command.size() && IsAssignment(command[assignments].Text)) {
            ++assignments;
        }
        // Assignments alone (or declared) last; in front of a command they are for that
        // command only.
        if (declaration || assignments == command.size()) {
            for (size_t i = declaration ? 1 : 0; i < command.size(); ++i) {
                Assign(command[i]);
            }
            return;
        }
        visit(command);
    }

    static bool IsAssignment(const std::string& word) {
        const auto equals = word.find('=');
        if (equals == std::string::npos || equals == 0 || !IsNameStart(word[0])) {
            return false;
        }
        for (size_t i = 1; i < equals; ++i) {
            if (!IsNameChar(word[i])) {
                return false;
            }
        }
        return true;
    }

    void Assign(const TWord& word) {
        const auto equals = word.Text.find('=');
        if (equals == std::string::npos) {
            return;
        }
        const std::string name = word.Text.substr(0, equals);
        if (word.Known) {
            variables_[name] = word.Text.substr(equals + 1);
        } else {
            variables_.erase(name);
        }
    }

    // Reads a redirection operator; returns whether a target word follows it, and tells
    // whether that word is a here-document's delimiter.
    bool ReadRedirection(bool& hereDocument) {
        hereDocument = text_[pos_] == '<' && Peek(1) == '<' && Peek(2) != '<';
        bool duplicate = false;
        while (pos_ < text_.size() && (text_[pos_] == '<' || text_[pos_] == '>' ||
                                       text_[pos_] == '&' || text_[pos_] == '-')) {
            duplicate = duplicate || text_[pos_] == '&';
            ++pos_;
        }
        // ">&2", "2>&1": the target is a descriptor number, not a word.
        if (duplicate && Peek(0) >= '0' && Peek(0) <= '9') {
            while (Peek(0) >= '0' && Peek(0) <= '9') {
                ++pos_;
            }
            return false;
        }
        return true;
    }

    void SkipHereDocuments() {
        for (const std::string& delimiter : hereDocuments_) {
            while (pos_ < text_.size()) {
                const auto end = text_.find('\n', pos_);
                std::string line = text_.substr(pos_, end == std::string::npos ? end : end - pos_);
                pos_ = end == std::string::npos ? text_.size() : end + 1;
                line.erase(0, line.find_first_not_of('\t'));
                if (line == delimiter) {
                    break;
                }
            }
        }
        hereDocuments_.clear();
    }

    // Skips a command substitution or arithmetic up to its closing parenthesis.
    void SkipParenthesised() {
        int depth = 0;
        while (pos_ < text_.size()) {
            const char c = text_[pos_++];
            if (c == '(') {
                ++depth;
            } else if (c == ')' && --depth == 0) {
                return;
            } else if (c == '\\') {
                ++pos_;
            }
        }
    }

    // A command's output in backquotes: only running tells it.
    void SkipBackquoted(TWord& word) {
        const auto close = text_.find('`', pos_ + 1);
        pos_ = close == std::string::npos ? text_.size() : close + 1;
        word.Known = false;
    }

    void Expand(TWord& word) {
        // At '$'.
        ++pos_;
        if (Peek(0) == '(') {
            SkipParenthesised();
            word.Known = false;
            return;
        }
        std::string name;
        if (Peek(0) == '{') {
            const auto close = text_.find('}', pos_);
            if (close == std::string::npos) {
                pos_ = text_.size();
                word.Known = false;
                return;
            }
            name = text_.substr(pos_ + 1, close - pos_ - 1);
            pos_ = close + 1;
        } else if (IsNameStart(Peek(0))) {
            while (IsNameChar(Peek(0))) {
                name += text_[pos_++];
            }
        } else if (Peek(0) != '\0' &&
                   std::string("@*#?$!-0123456789").find(Peek(0)) != std::string::npos) {
            ++pos_; // the script's arguments and state: only known when it runs
            word.Known = false;
            return;
        } else {
            word.Text += '$';
            return;
        }
        const auto value = variables_.find(name);
        if (value == variables_.end()) {
            word.Known = false;
        } else {
            word.Text += value->second;
        }
    }

    TWord ReadWord() {
        TWord word;
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (IsBlank(c) || c == '\n' || IsOperatorChar(c)) {
                break;
            }
            if (c == '\\') {
                if (Peek(1) != '\n') {
                    word.Text += Peek(1);
                }
                pos_ += 2;
            } else if (c == '\'') {
                const auto close = text_.find('\'', pos_ + 1);
                const size_t end = close == std::string::npos ? text_.size() : close;
                word.Text += text_.substr(pos_ + 1, end - pos_ - 1);
                pos_ = end + 1;
            } else if (c == '"') {
                ReadDoubleQuoted(word);
            } else if (c == '`') {
                SkipBackquoted(word);
            } else if (c == '$') {
                Expand(word);
            } else {
                if (c == '~' && word.Text.empty()) {
                    word.Known = false; // the running user's home
                }
                word.Text += c;
                ++pos_;
            }
        }
        return word;
    }

    void ReadDoubleQuoted(TWord& word) {
        ++pos_;
        while (pos_ < text_.size() && text_[pos_] != '"') {
            const char c = text_[pos_];
            if (c == '\\' && std::string("$`\"\\\n").find(Peek(1)) != std::string::npos &&
                Peek(1) != '\0') {
                if (Peek(1) != '\n') {
                    word.Text += Peek(1);
                }
                pos_ += 2;
            } else if (c == '$') {
                Expand(word);
            } else if (c == '`') {
                SkipBackquoted(word);
            } else {
                word.Text += c;
                ++pos_;
            }
        }
        ++pos_;
    }

    const std::string& text_;
    std::map<std::string, std::string> variables_;
    size_t pos_ = 0;
    std::vector<std::string> hereDocuments_;
};

std::string FileName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The program word of an exec command; nothing for an exec that only redirects.
std::optional<TWord> ExecProgram(const TCommand& command) {
    size_t i = 1;
    // exec's own options: -c, -l, -a NAME.
    while (i < command.size() && command[i].Known && command[i].Text.size() > 1 &&
           command[i].Text[0] == '-') {
        if (command[i].Text.find('a') != std::string::npos) {
            ++i;
        }
        ++i;
    }
    if (i < command.size() && command[i].Known && FileName(command[i].Text) == "env") {
        ++i;
        while (i < command.size() && command[i].Known &&
               (command[i].Text.find('=') != std::string::npos ||
                (!command[i].Text.empty() && command[i].Text[0] == '-'))) {
            ++i;
        }
    }
    if (i >= command.size()) {
        return std::nullopt;
    }
    return command[i];
}

} // namespace

bool IsShellScript(const std::string& text) {
    if (text.rfind("#!", 0) != 0) {
        return false;
    }
    const std::string line = text.substr(2, text.find('\n') - 2);
    std::vector<std::string> words;
    size_t pos = 0;
    while (pos < line.size()) {
        const auto start = line.find_first_not_of(" \t\r", pos);
        if (start == std::string::npos) {
            break;
        }
        const auto end = line.find_first_of(" \t\r", start);
        words.push_back(line.substr(start, end == std::string::npos ? end : end - start));
        pos = end == std::string::npos ? line.size() : end;
    }
    if (words.empty()) {
        return false;
    }
    std::string shell = FileName(words[0]);
    if (shell == "env" && words.size() > 1) {
        shell = FileName(words[1]);
    }
    for (const char* known : {"sh", "bash", "dash", "ksh", "mksh", "zsh", "posh"}) {
        if (shell == known) {
            return true;
        }
    }
    return false;
}

std::optional<std::string> WrapperExecProgram(const std::string& script,
                                              const std::map<std::string, std::string>& known) {
    std::optional<TWord> last;
    TScriptReader reader(script, known);
    reader.ForEachCommand([&](const TCommand& command) {
        if (command.front().Text != "exec" || !command.front().Known) {
            return;
        }
        if (auto program = ExecProgram(command)) {
            last = std::move(program);
        }
    });
    if (!last || !last->Known || last->Text.empty()) {
        return std::nullopt;
    }
    return last->Text;
}

} // namespace tw
