#include "base/json_value.h"

#include "base/exception.h"

#include <cstdlib>
#include <string_view>

namespace tw {

namespace {

// Nesting deeper than any compositor's tree; a deeper one is refused, not a stack overflow.
constexpr int MaxDepth = 256;

class TJsonReader {
  public:
    explicit TJsonReader(const std::string& text) : text_(text) {}

    TJsonValue Document() {
        TJsonValue value = Value(0);
        SkipSpace();
        if (at_ != text_.size()) {
            Fail();
        }
        return value;
    }

  private:
    [[noreturn]] void Fail() const { throw Exception("Not JSON at byte " + std::to_string(at_)); }

    void SkipSpace() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' ||
                                      text_[at_] == '\n' || text_[at_] == '\r')) {
            ++at_;
        }
    }

    bool Take(char wanted) {
        SkipSpace();
        if (at_ < text_.size() && text_[at_] == wanted) {
            ++at_;
            return true;
        }
        return false;
    }

    void Expect(char wanted) {
        if (!Take(wanted)) {
            Fail();
        }
    }

    bool TakeWord(const char* word) {
        const std::string_view expected(word);
        if (text_.compare(at_, expected.size(), expected) != 0) {
            return false;
        }
        at_ += expected.size();
        return true;
    }

    TJsonValue Value(int depth) {
        if (depth > MaxDepth) {
            Fail();
        }
        SkipSpace();
        TJsonValue value;
        if (at_ >= text_.size()) {
            Fail();
        }
        const char first = text_[at_];
        if (first == '{') {
            ++at_;
            value.kind = TJsonValue::TKind::Object;
            if (!Take('}')) {
                do {
                    SkipSpace();
                    std::string name = String();
                    Expect(':');
                    value.members.emplace_back(std::move(name), Value(depth + 1));
                } while (Take(','));
                Expect('}');
            }
        } else if (first == '[') {
            ++at_;
            value.kind = TJsonValue::TKind::Array;
            if (!Take(']')) {
                do {
                    value.items.push_back(Value(depth + 1));
                } while (Take(','));
                Expect(']');
            }
        } else if (first == '"') {
            value.kind = TJsonValue::TKind::String;
            value.text = String();
        } else if (TakeWord("true") || TakeWord("false")) {
            value.kind = TJsonValue::TKind::Bool;
            value.boolean = first == 't';
        } else if (TakeWord("null")) {
            value.kind = TJsonValue::TKind::Null;
        } else {
            value.kind = TJsonValue::TKind::Number;
            const char* start = text_.c_str() + at_;
            char* end = nullptr;
            value.number = std::strtod(start, &end);
            if (end == start) {
                Fail();
            }
            at_ += static_cast<std::size_t>(end - start);
        }
        return value;
    }

    unsigned Hex4() {
        if (at_ + 4 > text_.size()) {
            Fail();
        }
        unsigned code = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = text_[at_++];
            code <<= 4;
            if (c >= '0' && c <= '9') {
                code |= static_cast<unsigned>(c - '0');
            } else if (c >= 'a' && c <= 'f') {
                code |= static_cast<unsigned>(c - 'a' + 10);
            } else if (c >= 'A' && c <= 'F') {
                code |= static_cast<unsigned>(c - 'A' + 10);
            } else {
                Fail();
            }
        }
        return code;
    }

    void AppendUtf8(std::string& out, unsigned code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    std::string String() {
        if (at_ >= text_.size() || text_[at_] != '"') {
            Fail();
        }
        ++at_;
        std::string out;
        while (true) {
            if (at_ >= text_.size()) {
                Fail();
            }
            const char c = text_[at_++];
            if (c == '"') {
                return out;
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (at_ >= text_.size()) {
                Fail();
            }
            const char escaped = text_[at_++];
            switch (escaped) {
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                unsigned code = Hex4();
                // A window title may hold any character; those beyond the basic plane come
                // as a pair of escapes.
                if (code >= 0xD800 && code < 0xDC00 && TakeWord("\\u")) {
                    const unsigned low = Hex4();
                    code = low >= 0xDC00 && low < 0xE000
                               ? 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00)
                               : 0xFFFD;
                } else if (code >= 0xD800 && code < 0xE000) {
                    code = 0xFFFD;
                }
                AppendUtf8(out, code);
                break;
            }
            default:
                out += escaped;
                break;
            }
        }
    }

    const std::string& text_;
    std::size_t at_ = 0;
};

} // namespace

const TJsonValue* TJsonValue::Find(const std::string& name) const {
    for (const auto& [key, value] : members) {
        if (key == name) {
            return &value;
        }
    }
    return nullptr;
}

std::string TJsonValue::TextOf(const std::string& name) const {
    const TJsonValue* value = Find(name);
    return value && value->kind == TKind::String ? value->text : std::string();
}

double TJsonValue::NumberOf(const std::string& name, double fallback) const {
    const TJsonValue* value = Find(name);
    return value && value->kind == TKind::Number ? value->number : fallback;
}

bool TJsonValue::BoolOf(const std::string& name) const {
    const TJsonValue* value = Find(name);
    return value && value->kind == TKind::Bool && value->boolean;
}

TJsonValue ParseJson(const std::string& text) {
    return TJsonReader(text).Document();
}

} // namespace tw
