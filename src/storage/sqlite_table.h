#pragma once

#include "storage/sql_value.h"

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace tw {

class TSQLiteDatabase;

// A query result read completely into memory; it stays valid after its connection closes.
// Column types are fixed by the declared type, or by the first row for expressions.
class TSQLiteTable {
  public:
    // Unscoped: the values are SQLite's own type codes, which a column's type is read as.
    enum TColumnType : int { ctInteger = 1, ctFloat = 2, ctText = 3, ctBlob = 4, ctNull = 5 };

    TSQLiteTable(TSQLiteDatabase& db, const std::string& sql, const TSQLValues& values = {});

    int RowCount() const { return rowCount_; }
    int ColumnCount() const { return columnCount_; }
    // True at or past the last row (the C library owns the name "EOF").
    bool Eof() const { return row_ >= rowCount_; }
    bool First();
    bool Next();

    int ColumnIndex(const std::string& name) const;
    TColumnType TypeOfColumn(int index) const { return types_.at(index); }
    const std::string& ColumnName(int index) const { return names_.at(index); }

    std::string ValueByName(const std::string& name) const {
        return ValueAsText(ColumnIndex(name));
    }
    std::string ValueAsText(int index) const;
    std::int64_t ValueAsInteger(int index) const;
    double ValueAsFloat(int index) const;
    // The blob's bytes, or null for an absent (or empty) blob.
    const std::string* ValueAsBlob(int index) const;

  private:
    // Absent, integer, float, text, or blob bytes.
    using Cell = std::variant<std::monostate, std::int64_t, double, std::string>;
    const Cell& CurrentCell(int index) const;

    std::vector<Cell> results_;
    int rowCount_ = 0;
    int columnCount_ = 0;
    std::vector<std::string> names_;
    std::vector<TColumnType> types_;
    int row_ = 0;
};

} // namespace tw
