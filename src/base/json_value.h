#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tw {

// A JSON document read into memory, for the few programs that answer in JSON (a
// compositor's IPC). Numbers are doubles: the ids and process numbers read this way stay
// far below 2^53.
struct TJsonValue {
    enum class TKind { Null, Bool, Number, String, Array, Object };

    TKind kind = TKind::Null;
    bool boolean = false;
    double number = 0;
    std::string text;
    std::vector<TJsonValue> items;
    std::vector<std::pair<std::string, TJsonValue>> members;

    // The member of an object by its name; null when absent or not an object.
    const TJsonValue* Find(const std::string& name) const;
    // The member's text, number or truth, or the fallback where it is absent or of
    // another kind.
    std::string TextOf(const std::string& name) const;
    double NumberOf(const std::string& name, double fallback = 0) const;
    bool BoolOf(const std::string& name) const;
};

// Throws tw::Exception naming the offset of the first byte that is not JSON.
TJsonValue ParseJson(const std::string& text);

} // namespace tw
