#include "storage/sqlite_database.h"
#include "storage/sqlite_table.h"

#include "base/text.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using tw::ESQLiteException;
using tw::TSQLiteDatabase;
using tw::TSQLiteTable;

// The message of the exception the call raises; a failure when it raises nothing.
template <class E = ESQLiteException, class F> std::string MessageOf(F&& call) {
    try {
        call();
    } catch (const E& e) {
        return e.what();
    }
    ADD_FAILURE() << "expected an exception";
    return {};
}

// Like the settings store and the activity log, every operation opens its own connection
// and closes it again, so each table read here outlives the connection that produced it.
class SQLiteLayerTest : public ::testing::Test {
  protected:
    void Exec(const std::string& sql) {
        TSQLiteDatabase(path_, tw::TOpenMode::CreateIfMissing).ExecSQL(sql);
    }
    std::unique_ptr<TSQLiteTable> Query(const std::string& sql) {
        return TSQLiteDatabase(path_, tw::TOpenMode::CreateIfMissing).GetTable(sql);
    }

    twtest::TempDir dir_;
    std::string path_ = dir_.File("test.db");
};

TEST(SQLiteErrorCodeTextTest, NamesKnownCodesAndSpellsOutUnknownOnes) {
    const std::vector<std::pair<int, std::string>> cases = {
        {0, "Successful result"},
        {1, "SQL error or missing database"},
        {5, "The database file is locked"},
        {14, "Unable to open the database file"},
        {19, "Abort due to contraint violation"},
        {26, "File opened that is not a database file"},
        {27, "Unknown SQLite Error Code \"27\""},
        {99, "Unknown SQLite Error Code \"99\""},
        {100, "sqlite3_step() has another row ready"},
        {101, "sqlite3_step() has finished executing"},
        {102, "Unknown SQLite Error Code \"102\""},
        {-1, "Unknown SQLite Error Code \"-1\""},
    };
    for (const auto& [code, text] : cases) {
        EXPECT_EQ(tw::SQLiteErrorCodeText(code), text) << "code " << code;
    }
}

TEST_F(SQLiteLayerTest, OpeningInAMissingFolderNamesThePathAndSQLitesReason) {
    std::string path = dir_.File("missing/test.db");
    EXPECT_EQ(MessageOf([&] { TSQLiteDatabase db(path); }),
              "Failed to open database \"" + path + "\" : unable to open database file");
}

// The program's files come from templates; an open never makes an empty one in their place.
TEST_F(SQLiteLayerTest, AMissingFileIsNotCreatedByOpening) {
    const std::string missing = dir_.File("missing.db");
    EXPECT_THROW(TSQLiteDatabase db(missing), tw::ESQLiteException);
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(SQLiteLayerTest, ErrorsCarryCodeCodeTextStatementAndSQLitesText) {
    Exec("CREATE TABLE t (id INTEGER PRIMARY KEY)");
    Exec("INSERT INTO t VALUES (1)");

    EXPECT_EQ(MessageOf([&] { Exec("SELEC 1"); }),
              "Error executing SQL.\rError [1]: SQL error or missing database.\r"
              "\"SELEC 1\": near \"SELEC\": syntax error");
    EXPECT_EQ(MessageOf([&] { Query("SELECT nope FROM t"); }),
              "Error executing SQL.\rError [1]: SQL error or missing database.\r"
              "\"SELECT nope FROM t\": no such column: nope");
    // Fails while stepping, not while preparing.
    EXPECT_EQ(MessageOf([&] { Exec("INSERT INTO t VALUES (1)"); }),
              "Error executing SQL statement.\rError [19]: Abort due to contraint violation.\r"
              "\"INSERT INTO t VALUES (1)\": UNIQUE constraint failed: t.id");

    // No SQLite error to add: the message stands alone.
    EXPECT_EQ(MessageOf([&] { Exec("SELECT 1"); }), "Error executing SQL statement");
    for (std::string sql : {"", "   ", "-- only a comment"}) {
        EXPECT_EQ(MessageOf([&] { Exec(sql); }), "Could not prepare SQL statement") << sql;
        EXPECT_EQ(MessageOf([&] { Query(sql); }), "Could not prepare SQL statement") << sql;
    }
}

TEST_F(SQLiteLayerTest, AFileThatIsNoDatabaseIsReportedAsSuch) {
    std::ofstream(path_, std::ios::binary) << std::string(4096, '\x5a');
    const std::string tail = "Error [26]: File opened that is not a database file.\r";
    EXPECT_EQ(MessageOf([&] { Exec("CREATE TABLE t (a)"); }),
              "Error executing SQL.\r" + tail + "\"CREATE TABLE t (a)\": file is not a database");
    EXPECT_EQ(MessageOf([&] { Query("SELECT * FROM t"); }),
              "Error executing SQL.\r" + tail + "\"SELECT * FROM t\": file is not a database");
}

// A fresh connection meets the lock while preparing (it reads the schema then); one that
// knows the schema already meets it at the first step. Both must report it the same way.
TEST_F(SQLiteLayerTest, ALockedDatabaseFailsAtOnceAndLeavesNoLockBehind) {
    Exec("CREATE TABLE t (a INTEGER)");
    const std::string insert = "INSERT INTO t VALUES (1)";
    const std::string select = "SELECT a FROM t";
    TSQLiteDatabase warm(path_);
    warm.GetTable(select);

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path_.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

    const std::string locked = "Error executing SQL statement.\rError [5]: The database file is "
                               "locked.\r\"" +
                               insert + "\": database is locked";
    EXPECT_EQ(MessageOf([&] { Exec(insert); }), locked);
    EXPECT_EQ(MessageOf([&] { warm.ExecSQL(insert); }), locked);
    for (std::string busy :
         {MessageOf([&] { Query(select); }), MessageOf([&] { warm.GetTable(select); })}) {
        EXPECT_NE(busy.find("Could not prepare SQL statement"), std::string::npos) << busy;
        EXPECT_NE(busy.find(select), std::string::npos) << busy;
        EXPECT_NE(busy.find("SQLite is Busy"), std::string::npos) << busy;
    }

    ASSERT_EQ(sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);
    warm.ExecSQL(insert);
    Exec(insert);
    EXPECT_EQ(Query(select)->RowCount(), 2);
}

TEST_F(SQLiteLayerTest, ExecSQLRunsOnlyTheFirstStatement) {
    Exec("CREATE TABLE t (id INTEGER)");
    Exec("INSERT INTO t VALUES (1), (2), (3);");
    Exec("DELETE FROM t WHERE id = 1; DELETE FROM t WHERE id = 2");
    auto table = Query("SELECT id FROM t ORDER BY id");
    ASSERT_EQ(table->RowCount(), 2);
    EXPECT_EQ(table->ValueAsInteger(0), 2);
}

TEST_F(SQLiteLayerTest, AnEmptyResultHasNoRowsAndNoColumns) {
    Exec("CREATE TABLE t (caption TEXT)");
    auto table = Query("SELECT caption FROM t");
    EXPECT_EQ(table->RowCount(), 0);
    EXPECT_TRUE(table->Eof());
    EXPECT_FALSE(table->First());
    EXPECT_FALSE(table->Next());
    EXPECT_EQ(MessageOf([&] { table->ColumnIndex("caption"); }),
              "Field caption Not found. Empty dataset");
    EXPECT_EQ(MessageOf([&] { table->ValueAsText(0); }), "Table is at End of File");
}

TEST_F(SQLiteLayerTest, TheCursorWalksForwardAndFirstRewinds) {
    auto table = Query("SELECT column1 AS n FROM (VALUES (10), (20), (30))");
    ASSERT_EQ(table->RowCount(), 3);
    std::vector<std::string> seen;
    for (bool more = table->First(); more && !table->Eof(); more = table->Next()) {
        seen.push_back(table->ValueByName("n"));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"10", "20", "30"}));
    EXPECT_TRUE(table->Eof());
    EXPECT_FALSE(table->Next());
    EXPECT_EQ(MessageOf([&] { table->ValueAsInteger(0); }), "Table is at End of File");
    EXPECT_EQ(MessageOf([&] { table->ValueAsBlob(0); }), "Table is at End of File");
    EXPECT_TRUE(table->First());
    EXPECT_EQ(table->ValueAsInteger(0), 10);
}

TEST_F(SQLiteLayerTest, ColumnNamesAreFoundWhateverTheirCase) {
    auto table = Query("SELECT 1 AS item, 7 AS total_duration, 9 AS Total_Duration");
    EXPECT_EQ(table->ColumnName(1), "TOTAL_DURATION");
    EXPECT_EQ(table->ColumnIndex("ToTaL_DuRaTiOn"), 1); // the first match wins
    EXPECT_EQ(table->ValueByName("TOTAL_duration"), "7");
    EXPECT_EQ(MessageOf([&] { table->ColumnIndex("x"); }), "Field not found in dataset: x");
}

// Only these exact spellings are numeric or blob; everything else, even SQLite's own
// integer affinity spelling INT, reads as text. (SQLite itself reports its standard type
// names such as "integer" or "Real" upper-cased, so case shows only on the other names.)
TEST_F(SQLiteLayerTest, TheDeclaredTypeDecidesHowAColumnIsRead) {
    const std::vector<std::pair<std::string, TSQLiteTable::TColumnType>> columns = {
        {"INTEGER", TSQLiteTable::ctInteger}, {"BOOLEAN", TSQLiteTable::ctInteger},
        {"NUMERIC", TSQLiteTable::ctFloat},   {"FLOAT", TSQLiteTable::ctFloat},
        {"DOUBLE", TSQLiteTable::ctFloat},    {"REAL", TSQLiteTable::ctFloat},
        {"BLOB", TSQLiteTable::ctBlob},       {"TEXT", TSQLiteTable::ctText},
        {"boolean", TSQLiteTable::ctText},    {"INT", TSQLiteTable::ctText},
        {"numeric", TSQLiteTable::ctText},    {"Float", TSQLiteTable::ctText},
        {"double", TSQLiteTable::ctText},     {"VARCHAR(10)", TSQLiteTable::ctText},
    };
    std::string create = "CREATE TABLE t (", values;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        create += (i ? ", c" : "c") + std::to_string(i) + " " + columns[i].first;
        values += i ? ", 42" : "42";
    }
    Exec(create + ")");
    Exec("INSERT INTO t VALUES (" + values + ")");
    auto table = Query("SELECT * FROM t");
    ASSERT_EQ(table->ColumnCount(), static_cast<int>(columns.size()));
    for (std::size_t i = 0; i < columns.size(); ++i) {
        EXPECT_EQ(table->TypeOfColumn(static_cast<int>(i)), columns[i].second) << columns[i].first;
    }

    int lowerCaseFlag = table->ColumnIndex("c8");
    EXPECT_EQ(table->ValueAsText(lowerCaseFlag), "42");
    EXPECT_EQ(MessageOf([&] { table->ValueAsInteger(lowerCaseFlag); }),
              "Not an integer or numeric field");
    EXPECT_EQ(MessageOf([&] { table->ValueAsFloat(lowerCaseFlag); }),
              "Not an integer or numeric field");
    EXPECT_EQ(MessageOf([&] { table->ValueAsBlob(lowerCaseFlag); }), "Not a Blob field");
    EXPECT_EQ(table->ValueAsFloat(table->ColumnIndex("c0")), 42.0);
}

TEST_F(SQLiteLayerTest, AnAggregateTakesTheStorageClassOfItsFirstRow) {
    Exec("CREATE TABLE log (item TEXT, duration NUMERIC)");
    Exec("INSERT INTO log VALUES ('a', 5), ('a', 6), ('b', 1.5), ('b', 1.25)");
    auto table = Query("SELECT item, SUM(duration) AS total FROM log GROUP BY item ORDER BY "
                       "CASE item WHEN 'a' THEN 0 ELSE 1 END");
    int total = table->ColumnIndex("total");
    ASSERT_EQ(table->TypeOfColumn(total), TSQLiteTable::ctInteger);
    EXPECT_EQ(table->ValueAsInteger(total), 11);
    table->Next();
    EXPECT_EQ(table->ValueAsInteger(total), 2); // 2.75 read as an integer
    EXPECT_EQ(table->ValueAsText(total), "2");

    auto floats = Query("SELECT column1 * 1 AS v FROM (VALUES (2.5), (7))");
    ASSERT_EQ(floats->TypeOfColumn(0), TSQLiteTable::ctFloat);
    floats->Next();
    EXPECT_EQ(floats->ValueAsFloat(0), 7.0);
}

TEST_F(SQLiteLayerTest, AColumnThatStartsWithNullIsReadAsText) {
    auto table = Query("SELECT column1 AS v FROM (VALUES (NULL), ('-12.7'), ('abc'), (''))");
    ASSERT_EQ(table->TypeOfColumn(0), TSQLiteTable::ctNull);
    EXPECT_EQ(table->ValueAsInteger(0), 0);
    table->Next();
    EXPECT_EQ(table->ValueAsText(0), "");
    EXPECT_EQ(table->ValueAsInteger(0), -12);
    EXPECT_EQ(MessageOf([&] { table->ValueAsFloat(0); }), "Not an integer or numeric field");
    table->Next();
    MessageOf<tw::EConvertError>([&] { table->ValueAsInteger(0); });
    table->Next();
    EXPECT_EQ(table->ValueAsInteger(0), 0);
}

TEST_F(SQLiteLayerTest, NullsAndEmptyBlobsReadAsZeroOrNothing) {
    Exec("CREATE TABLE t (i INTEGER, r REAL, s TEXT, b BLOB)");
    Exec("INSERT INTO t VALUES (NULL, NULL, NULL, NULL), (NULL, NULL, '', x'')");
    auto table = Query("SELECT * FROM t");
    for (int row = 0; row < 2; ++row, table->Next()) {
        SCOPED_TRACE(row);
        EXPECT_EQ(table->ValueAsInteger(0), 0);
        EXPECT_EQ(table->ValueAsText(0), "0");
        EXPECT_EQ(table->ValueAsFloat(1), 0.0);
        EXPECT_EQ(table->ValueAsText(1), "0");
        EXPECT_EQ(table->ValueAsText(2), "");
        EXPECT_EQ(table->ValueAsBlob(3), nullptr);
        EXPECT_EQ(table->ValueAsText(3), "");
    }
}

TEST_F(SQLiteLayerTest, NumbersAndBlobsKeepTheirValues) {
    Exec("CREATE TABLE t (i INTEGER, r REAL, b BLOB)");
    Exec("INSERT INTO t VALUES (9007199254740993, -2.7, x'00FF41'), "
         "(-9223372036854775808, 0.1 + 0.2, x'41')");
    auto table = Query("SELECT * FROM t");
    EXPECT_EQ(table->ValueAsInteger(0), 9007199254740993); // beyond a double's precision
    EXPECT_EQ(table->ValueAsInteger(1), -2);               // truncated toward zero
    EXPECT_EQ(table->ValueAsText(1), "-2.7");
    ASSERT_NE(table->ValueAsBlob(2), nullptr);
    EXPECT_EQ(*table->ValueAsBlob(2), std::string("\0\xff"
                                                  "A",
                                                  3));
    EXPECT_EQ(MessageOf([&] { table->ValueAsFloat(2); }), "Not an integer or numeric field");
    table->Next();
    EXPECT_EQ(table->ValueAsText(0), "-9223372036854775808");
    EXPECT_EQ(table->ValueAsText(1), "0.3"); // 15 significant digits
    EXPECT_EQ(table->ValueAsText(2), "A");
}

TEST_F(SQLiteLayerTest, TextSurvivesAQuotedLiteralUnchanged) {
    std::string large(1 << 20, 'x');
    for (std::size_t i = 0; i < large.size(); i += 997) {
        large[i] = '\'';
    }
    const std::vector<std::string> texts = {
        "",
        "it's",
        "''",
        "\"double\" quotes",
        "back\\slash\\",
        "100% of _all_ rows",
        "Gr\xc3\xbc\xc3\x9f"
        "e \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x99\x82",
        "line\r\nbreaks\rand\nmore",
        large,
    };
    Exec("CREATE TABLE t (n INTEGER, s TEXT)");
    for (std::size_t i = 0; i < texts.size(); ++i) {
        Exec("INSERT INTO t VALUES (" + std::to_string(i) + ", " + tw::QuotedStr(texts[i]) + ")");
    }
    auto table = Query("SELECT s FROM t ORDER BY n");
    ASSERT_EQ(table->RowCount(), static_cast<int>(texts.size()));
    for (std::size_t i = 0; i < texts.size(); ++i, table->Next()) {
        EXPECT_TRUE(table->ValueByName("s") == texts[i]) << "text " << i;
    }
}

TEST_F(SQLiteLayerTest, ATableStaysValidAfterItsConnectionCloses) {
    auto db = std::make_unique<TSQLiteDatabase>(path_, tw::TOpenMode::CreateIfMissing);
    db->ExecSQL("CREATE TABLE t (s TEXT)");
    db->ExecSQL("INSERT INTO t VALUES ('kept')");
    auto table = db->GetTable("SELECT s FROM t");
    db.reset();
    std::filesystem::remove(path_);
    EXPECT_EQ(table->ValueByName("s"), "kept");
}

} // namespace
