#include "storage/sqlite_table.h"

#include "base/text.h"
#include "storage/date_format.h"
#include "storage/sqlite_database.h"

#include <sqlite3.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace tw {
namespace {

TSQLiteTable::TColumnType DeclaredColumnType(sqlite3_stmt* statement, int column) {
    const char* declared = sqlite3_column_decltype(statement, column);
    if (!declared) {
        return static_cast<TSQLiteTable::TColumnType>(sqlite3_column_type(statement, column));
    }
    // Exact, case-sensitive comparisons on purpose: only these spellings are numeric.
    auto is = [declared](const char* name) { return std::strcmp(declared, name) == 0; };
    if (is("INTEGER") || is("BOOLEAN")) {
        return TSQLiteTable::ctInteger;
    }
    if (is("NUMERIC") || is("FLOAT") || is("DOUBLE") || is("REAL")) {
        return TSQLiteTable::ctFloat;
    }
    if (is("BLOB")) {
        return TSQLiteTable::ctBlob;
    }
    return TSQLiteTable::ctText;
}

char LocaleDecimalSeparator() {
    const char* point = std::localeconv()->decimal_point;
    return point && *point ? *point : '.';
}

// The text as a number in the current locale's form; EConvertError when it is none.
double TextToFloat(const std::string& text) {
    std::string number = Trim(text);
    char* end = nullptr;
    double value = std::strtod(number.c_str(), &end);
    if (number.empty() || end != number.c_str() + number.size() || !std::isfinite(value)) {
        throw EConvertError("'" + text + "' is not a valid floating point value");
    }
    return value;
}

} // namespace

TSQLiteTable::TSQLiteTable(TSQLiteDatabase& db, const std::string& sql, const TSQLValues& values) {
    sqlite3_stmt* statement = PrepareStatement(db, sql, true, values);
    try {
        for (;;) {
            int step = sqlite3_step(statement);
            if (step == SQLITE_DONE) {
                break;
            }
            if (step == SQLITE_BUSY) {
                RaiseBusy(sql);
            }
            if (step != SQLITE_ROW) {
                sqlite3_reset(statement);
                db.RaiseError("Could not retrieve data", sql);
            }
            ++rowCount_;
            if (rowCount_ == 1) {
                columnCount_ = sqlite3_column_count(statement);
                for (int c = 0; c < columnCount_; ++c) {
                    const char* name = sqlite3_column_name(statement, c);
                    names_.push_back(UpperAscii(name ? name : ""));
                    types_.push_back(DeclaredColumnType(statement, c));
                }
            }
            for (int c = 0; c < columnCount_; ++c) {
                if (sqlite3_column_type(statement, c) == SQLITE_NULL) {
                    results_.emplace_back();
                    continue;
                }
                switch (types_[c]) {
                case ctInteger:
                    results_.emplace_back(std::int64_t{sqlite3_column_int64(statement, c)});
                    break;
                case ctFloat:
                    results_.emplace_back(sqlite3_column_double(statement, c));
                    break;
                case ctBlob: {
                    const void* bytes = sqlite3_column_blob(statement, c);
                    int length = sqlite3_column_bytes(statement, c);
                    if (length > 0) {
                        results_.emplace_back(std::string(static_cast<const char*>(bytes), length));
                    } else {
                        results_.emplace_back();
                    }
                    break;
                }
                default: {
                    const unsigned char* text = sqlite3_column_text(statement, c);
                    // By its length: a NUL inside the text is part of it.
                    results_.emplace_back(text
                                              ? std::string(reinterpret_cast<const char*>(text),
                                                            static_cast<std::size_t>(
                                                                sqlite3_column_bytes(statement, c)))
                                              : std::string());
                    break;
                }
                }
            }
        }
    } catch (...) {
        sqlite3_finalize(statement);
        throw;
    }
    row_ = 0;
    sqlite3_finalize(statement);
}

bool TSQLiteTable::First() {
    if (rowCount_ == 0) {
        return false;
    }
    row_ = 0;
    return true;
}

bool TSQLiteTable::Next() {
    if (Eof()) {
        return false;
    }
    ++row_;
    return true;
}

int TSQLiteTable::ColumnIndex(const std::string& name) const {
    if (names_.empty()) {
        throw ESQLiteException("Field " + name + " Not found. Empty dataset");
    }
    std::string wanted = UpperAscii(name);
    for (std::size_t i = 0; i < names_.size(); ++i) {
        if (names_[i] == wanted) {
            return static_cast<int>(i);
        }
    }
    throw ESQLiteException("Field not found in dataset: " + name);
}

const TSQLiteTable::Cell& TSQLiteTable::CurrentCell(int index) const {
    if (Eof()) {
        throw ESQLiteException("Table is at End of File");
    }
    if (index < 0 || index >= columnCount_) {
        throw ESQLiteException("Field index out of range: " + std::to_string(index));
    }
    return results_[static_cast<std::size_t>(row_) * columnCount_ + index];
}

std::string TSQLiteTable::ValueAsText(int index) const {
    const Cell& cell = CurrentCell(index);
    switch (types_[index]) {
    case ctInteger:
        return std::to_string(ValueAsInteger(index));
    case ctFloat:
        return FloatToText(ValueAsFloat(index), LocaleDecimalSeparator());
    case ctNull:
        return std::string();
    default:
        return std::holds_alternative<std::string>(cell) ? std::get<std::string>(cell)
                                                         : std::string();
    }
}

std::int64_t TSQLiteTable::ValueAsInteger(int index) const {
    const Cell& cell = CurrentCell(index);
    if (std::holds_alternative<std::monostate>(cell)) {
        return 0;
    }
    switch (types_[index]) {
    case ctInteger:
        return std::get<std::int64_t>(cell);
    case ctFloat:
        return static_cast<std::int64_t>(std::trunc(std::get<double>(cell)));
    case ctNull: {
        const std::string& text = std::get<std::string>(cell);
        return text.empty() ? 0 : static_cast<std::int64_t>(std::trunc(TextToFloat(text)));
    }
    default:
        throw ESQLiteException("Not an integer or numeric field");
    }
}

double TSQLiteTable::ValueAsFloat(int index) const {
    const Cell& cell = CurrentCell(index);
    if (std::holds_alternative<std::monostate>(cell)) {
        return 0;
    }
    switch (types_[index]) {
    case ctInteger:
        return static_cast<double>(std::get<std::int64_t>(cell));
    case ctFloat:
        return std::get<double>(cell);
    default:
        throw ESQLiteException("Not an integer or numeric field");
    }
}

const std::string* TSQLiteTable::ValueAsBlob(int index) const {
    const Cell& cell = CurrentCell(index);
    if (std::holds_alternative<std::monostate>(cell)) {
        return nullptr;
    }
    if (types_[index] != ctBlob) {
        throw ESQLiteException("Not a Blob field");
    }
    return &std::get<std::string>(cell);
}

} // namespace tw
