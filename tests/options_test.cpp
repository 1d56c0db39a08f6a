#include "base/text.h"
#include "storage/access.h"
#include "storage/date_format.h"
#include "storage/error_log.h"
#include "storage/options.h"
#include "storage/password_digest.h"
#include "support/test_data_folder.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <vector>

namespace {

using tw::TMonitoredItemType;
using tw::TOptions;

const tw::TDateTime Today = tw::EncodeDate(2026, 12, 7);

class OptionsTest : public testing::Test {
  protected:
    OptionsTest() : folder_(Today + 10 * tw::OneHour) {}

    void StoreSetting(const std::string& name, const std::string& value) {
        folder_.Exec("settings.sqlite", "INSERT INTO settings(name, value) VALUES(" +
                                            tw::QuotedStr(name) + ", " + tw::QuotedStr(value) +
                                            ")");
    }
    std::string Stored(const std::string& name) {
        return folder_.Scalar("settings.sqlite",
                              "SELECT value FROM settings WHERE name = '" + name + "'");
    }
    int Rows(const std::string& file, const std::string& table) {
        return std::stoi(folder_.Scalar(file, "SELECT COUNT(*) FROM " + table));
    }
    static void AddItem(TOptions& options, const std::string& name, const std::string& caption,
                        TMonitoredItemType type, bool active = true) {
        auto item = std::make_unique<tw::TMonitoredItem>();
        item->Name = name;
        item->Caption = caption;
        item->ItemType = type;
        item->Active = active;
        options.Edit().MonitoredList.Add(caption, std::move(item));
    }

    twtest::TestDataFolder folder_;
    const std::vector<std::string>& errors_ = folder_.Log().Lines();
};

TEST_F(OptionsTest, EmptyDatabaseGivesDefaults) {
    TOptions options(folder_.Data());
    EXPECT_FALSE(options.LoadFailed());
    EXPECT_EQ(options.Edit().TimeLimitSeconds, 28800);
    EXPECT_EQ(options.ExpirationActionText(), "Reminder Only");
    EXPECT_EQ(options.Edit().ScanPeriodSeconds, 3);
    EXPECT_DOUBLE_EQ(options.Edit().ResetDateTime, Today + 1 + 4 * tw::OneHour);
    EXPECT_TRUE(options.Edit().AllowUserToChangeSettings); // the self-managed edition
    EXPECT_EQ(options.Policy().AccessLevel(), tw::TAccessLevel::User);
    EXPECT_EQ(options.Edit().MonitoredList.Count(), 0);
    EXPECT_TRUE(errors_.empty());
}

TEST_F(OptionsTest, ResetDefaultsToTodaysFourOClockBeforeIt) {
    twtest::TManualClockSource twoAm(Today + 2 * tw::OneHour);
    tw::TClock clock(twoAm);
    tw::TDataFolder data(folder_.Places(), clock, folder_.Log());
    TOptions options(data);
    EXPECT_DOUBLE_EQ(options.Edit().ResetDateTime, Today + 4 * tw::OneHour);
}

TEST_F(OptionsTest, StoredValuesAreReadByTheirRules) {
    StoreSetting("scanperiodseconds", "0");
    StoreSetting("TimeLimitSeconds", " 3600");
    StoreSetting("ExpirationAction", "shutdown COMPUTER");
    StoreSetting("ResetDateTime", "2011-04-21");
    StoreSetting("AllowUserToChangeSettings", "0");
    StoreSetting("ReminderChangePeriod", "Weekly");
    StoreSetting("ReminderChangedDateTime", "40654,75");
    StoreSetting("IsNotFirstRun", "1");
    StoreSetting("Password", "abc");
    StoreSetting("SomethingElse", "ignored");
    TOptions options(folder_.Data());
    EXPECT_FALSE(options.LoadFailed());
    EXPECT_EQ(options.Edit().ScanPeriodSeconds, 3);
    EXPECT_EQ(options.Edit().TimeLimitSeconds, 3600);
    EXPECT_EQ(options.Edit().ExpirationAction, tw::TExpirationAction::ShutdownComputer);
    EXPECT_DOUBLE_EQ(options.Edit().ResetDateTime, tw::EncodeDate(2011, 4, 21) + 4 * tw::OneHour);
    EXPECT_TRUE(options.Edit().AllowUserToChangeSettings);
    EXPECT_EQ(options.Edit().ReminderChangePeriod, tw::TReminderChangePeriod::Weekly);
    EXPECT_DOUBLE_EQ(options.Edit().ReminderChangedDateTime, 40654.75);
    EXPECT_TRUE(options.Edit().IsNotFirstRun);
    EXPECT_EQ(options.Edit().Password, "abc");
}

// A number out of its range, or no number at all, reads as the default: the load stands, so
// the program keeps saving. Day counts are held to what a date can be.
TEST_F(OptionsTest, StoredNumbersAreHeldToTheirRanges) {
    using TCases = std::vector<std::pair<std::string, double>>;
    const std::string huge = "99999999999999";
    const double now = Today + 10 * tw::OneHour;
    const std::vector<std::pair<std::string, TCases>> settings = {
        {"ScanPeriodSeconds",
         {{"-3", 3}, {"0", 3}, {"2147483647", 3}, {huge, 3}, {"x", 3}, {"5", 5}}},
        {"TimeLimitSeconds",
         {{"-60", 28800},
          {"0", 0},
          {"86400", 28800},
          {huge, 28800},
          {"8h", 28800},
          {"86340", 86340}}},
        {"ReminderChangedDateTime",
         {{"-5", now}, {huge, now}, {"40654.75", now}, {"40654,75", 40654.75}}},
    };
    for (const auto& [name, cases] : settings) {
        for (const auto& [value, expected] : cases) {
            SCOPED_TRACE(name + "=" + value);
            folder_.Exec("settings.sqlite", "DELETE FROM settings");
            StoreSetting(name, value);
            TOptions options(folder_.Data());
            EXPECT_FALSE(options.LoadFailed());
            const double read = name[0] == 'S'   ? options.Edit().ScanPeriodSeconds
                                : name[0] == 'T' ? options.Edit().TimeLimitSeconds
                                                 : options.Edit().ReminderChangedDateTime;
            EXPECT_DOUBLE_EQ(read, expected);
            options.MakeReadOnly();
        }
    }
    // A pending limit from the settings file is held to the same range.
    folder_.Exec("settings.sqlite", "DELETE FROM settings");
    TOptions options(folder_.Data());
    for (int pending : {-60, 0, 86400, 2147483647}) {
        folder_.Data().Settings().WriteInteger("Common", "TimeLimitSeconds", pending);
        options.Policy().ResetChangeFlags();
        EXPECT_EQ(options.Edit().TimeLimitSeconds, 28800) << pending;
    }
}

TEST_F(OptionsTest, UnknownNamesReadAsTheFirstEntry) {
    StoreSetting("ExpirationAction", "Explode");
    StoreSetting("ReminderChangePeriod", "hourly");
    StoreSetting("IsNotFirstRun", "yes");
    TOptions options(folder_.Data());
    EXPECT_EQ(options.Edit().ExpirationAction, tw::TExpirationAction::ReminderOnly);
    EXPECT_EQ(options.Edit().ReminderChangePeriod, tw::TReminderChangePeriod::Never);
    EXPECT_FALSE(options.Edit().IsNotFirstRun);
}

TEST_F(OptionsTest, SaveWritesEveryKeyInItsStoredForm) {
    {
        TOptions options(folder_.Data());
        options.Edit().TimeLimitSeconds = 5400;
        options.Edit().ExpirationAction = tw::TExpirationAction::CloseListed;
        options.Edit().ReminderChangePeriod = tw::TReminderChangePeriod::Monthly;
        options.Edit().ReminderChangedDateTime = 40654.75;
        options.Edit().IsNotFirstRun = true;
        options.Policy().SetPassword("secret");
        EXPECT_TRUE(options.Save());
    }
    EXPECT_EQ(Stored("TimeLimitSeconds"), "5400");
    EXPECT_EQ(Stored("ScanPeriodSeconds"), "3");
    EXPECT_EQ(Stored("ExpirationAction"), "Close Browser/App.");
    EXPECT_EQ(Stored("ReminderChangePeriod"), "monthly");
    EXPECT_EQ(Stored("ReminderChangedDateTime"), "40654,75");
    EXPECT_EQ(Stored("ResetDateTime"), "2026-12-08");
    EXPECT_EQ(Stored("AllowUserToChangeSettings"), "1");
    EXPECT_EQ(Stored("IsNotFirstRun"), "1");
    EXPECT_EQ(tw::MatchPassword("secret", Stored("Password")), tw::TPasswordMatch::Right);
    EXPECT_EQ(Stored("DayStartUtc"), "0");
    EXPECT_EQ(Rows("settings.sqlite", "settings"), 11);
    EXPECT_EQ(Rows("settings.sqlite", "reminders"), 3);
}

// Every text reaches SQL as a bound value; none may be altered or cut on the way.
TEST_F(OptionsTest, TextsSurviveSaveAndLoadExactly) {
    using namespace std::string_literals;
    const std::vector<std::string> texts = {
        "before\0after \"memo\" 'x' 100% a_b Grüße"s,
        "it's \"quoted\"",
        "C:\\Program Files\\O'Brien\\app.exe",
        "100% of_all",
        "Grüße, 日本語, ✓",
        "line one\r\nSELECT 'two'\nthree",
        "'); DROP TABLE settings; --",
        std::string(200000, 'x') + "'end",
    };
    {
        TOptions options(folder_.Data());
        for (std::size_t i = 0; i < texts.size(); ++i) {
            AddItem(options, texts[i], "caption " + texts[i] + std::to_string(i),
                    i % 2 ? TMonitoredItemType::mitWeb : TMonitoredItemType::mitApp);
        }
        options.SetReminder(0, texts[5]);
        options.SetReminder(1, texts[0]);
        options.SetReminder(2, texts[7]);
        ASSERT_TRUE(options.Save());
    }
    EXPECT_TRUE(errors_.empty()) << errors_.front();
    TOptions loaded(folder_.Data());
    ASSERT_FALSE(loaded.LoadFailed());
    ASSERT_EQ(loaded.Values().MonitoredList.Count(), static_cast<int>(texts.size()));
    for (std::size_t i = 0; i < texts.size(); ++i) {
        int index = loaded.Values().MonitoredList.IndexOfName(texts[i]);
        ASSERT_GE(index, 0) << i;
        EXPECT_EQ(loaded.Values().MonitoredList.Items(index).Name, texts[i]);
        EXPECT_EQ(loaded.Values().MonitoredList.Items(index).Caption,
                  "caption " + texts[i] + std::to_string(i));
    }
    EXPECT_EQ(loaded.GetReminder(0), texts[5]);
    EXPECT_EQ(loaded.GetReminder(1), texts[0]);
    EXPECT_EQ(loaded.GetReminder(2), texts[7]);
    // The list copy the usage queries join holds the same texts, every byte.
    EXPECT_EQ(folder_.Scalar("actmondb.sqlite",
                             "SELECT COUNT(*) FROM applications_list a JOIN websites_list w"),
              std::to_string(4 * 4));
    EXPECT_EQ(folder_.Scalar("actmondb.sqlite",
                             "SELECT length(CAST(name AS BLOB)) FROM applications_list "
                             "WHERE name LIKE 'before%'"),
              std::to_string(texts[0].size()));
}

TEST_F(OptionsTest, ListsAreWrittenToBothDatabases) {
    TOptions options(folder_.Data());
    for (int i = 0; i < 31; ++i) {
        AddItem(options, "/opt/app" + std::to_string(i), "App " + std::to_string(i),
                TMonitoredItemType::mitApp, i != 7);
    }
    AddItem(options, "example.com", "Example", TMonitoredItemType::mitWeb);
    ASSERT_TRUE(options.Save());
    for (const char* file : {"settings.sqlite", "actmondb.sqlite"}) {
        EXPECT_EQ(Rows(file, "applications_list"), 31) << file;
        EXPECT_EQ(Rows(file, "websites_list"), 1) << file;
        EXPECT_EQ(
            folder_.Scalar(file, "SELECT active FROM applications_list WHERE name = '/opt/app7'"),
            "0");
    }
}

TEST_F(OptionsTest, ReminderChangeTimeMovesOnlyWhenTheTextChanges) {
    TOptions options(folder_.Data());
    options.SetReminder(1, "call mum");
    tw::TDateTime changed = options.Edit().ReminderChangedDateTime;
    folder_.Clock().Advance(60);
    options.SetReminder(1, "call mum");
    EXPECT_DOUBLE_EQ(options.Edit().ReminderChangedDateTime, changed);
    options.SetReminder(1, "Call mum");
    EXPECT_GT(options.Edit().ReminderChangedDateTime, changed);
}

// The unsalted digest an earlier version stored still opens, and the right password stores
// it anew, salted, with the next save; a new password is stored salted from the start.
TEST_F(OptionsTest, AnOldPasswordDigestOpensAndIsStoredAnewSalted) {
    const std::string old = "5ebe2294ecd0e0f08eab7690d2a6ee69"; // "secret", in lower case
    {
        TOptions options(folder_.Data());
        EXPECT_FALSE(options.Policy().CheckPassword("")); // no password set: every check fails
        EXPECT_FALSE(options.Policy().AdminSessionOpen());
        options.Edit().Password = old;
        ASSERT_TRUE(options.Save());
    }
    TOptions options(folder_.Data());
    EXPECT_FALSE(options.Policy().CheckPassword("Secret"));
    EXPECT_EQ(options.Edit().Password, old) << "a wrong password changes nothing";
    EXPECT_TRUE(options.Policy().CheckPassword("secret"));
    EXPECT_EQ(options.Policy().AccessLevel(), tw::TAccessLevel::Admin);
    ASSERT_TRUE(options.Save());
    const std::string stored =
        folder_.Scalar("settings.sqlite", "SELECT value FROM settings WHERE name = 'Password'");
    EXPECT_EQ(stored.rfind("pbkdf2-sha256$", 0), 0u) << stored;
    EXPECT_FALSE(options.Policy().CheckPassword("secret "));
    EXPECT_FALSE(options.Policy().AdminSessionOpen()); // a failed check withdraws the rights

    TOptions reloaded(folder_.Data());
    EXPECT_EQ(reloaded.Edit().Password, stored);
    EXPECT_TRUE(reloaded.Policy().CheckPassword("secret"));
    EXPECT_EQ(reloaded.Edit().Password, stored) << "a salted digest stays as it is";
    reloaded.Policy().SetPassword("other");
    EXPECT_EQ(reloaded.Edit().Password.rfind("pbkdf2-sha256$", 0), 0u);
    EXPECT_TRUE(reloaded.Policy().CheckPassword("other"));
    EXPECT_FALSE(reloaded.Policy().CheckPassword("secret"));
}

// A malformed stored date fails the load; what is stored must then survive every save.
TEST_F(OptionsTest, FailedLoadNeverOverwritesStoredSettings) {
    for (const auto& [name, value] : std::vector<std::pair<std::string, std::string>>{
             {"ResetDateTime", "2011-04"}, {"ResetDateTime", "tomorrow"}}) {
        SCOPED_TRACE(name);
        folder_.Exec("settings.sqlite", "DELETE FROM settings");
        StoreSetting(name, value);
        StoreSetting("ExpirationAction", "Shutdown Computer");
        folder_.Exec("settings.sqlite",
                     "INSERT INTO applications_list VALUES('/usr/bin/game', 'Game', 1)");
        folder_.Log().Clear();
        {
            TOptions options(folder_.Data());
            EXPECT_TRUE(options.LoadFailed());
            EXPECT_FALSE(options.LoadError().empty());
            ASSERT_FALSE(errors_.empty());
            EXPECT_EQ(errors_.front().rfind("ErrorClassName: E", 0), 0u) << errors_.front();
            EXPECT_NE(errors_.front().find("; TOptions.Load: "), std::string::npos);
            EXPECT_FALSE(options.Save());
            EXPECT_FALSE(options.MonitoredItemsSave());
        } // the destructor saves too
        EXPECT_EQ(Stored(name), value);
        EXPECT_EQ(Stored("ExpirationAction"), "Shutdown Computer");
        EXPECT_EQ(Rows("settings.sqlite", "applications_list"), 1);
        folder_.Exec("settings.sqlite", "DELETE FROM applications_list");
    }
}

TEST_F(OptionsTest, LockedDatabaseIsReportedAndLosesNothing) {
    StoreSetting("TimeLimitSeconds", "1800");
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(folder_.File("settings.sqlite").c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    {
        TOptions options(folder_.Data());
        EXPECT_TRUE(options.LoadFailed());
        EXPECT_EQ(options.Edit().TimeLimitSeconds, 28800); // usable, with defaults
        ASSERT_FALSE(errors_.empty());
        EXPECT_EQ(errors_.front().rfind("ErrorClassName: ESQLiteException; "
                                        "TOptions.SettingsDBGetTable:",
                                        0),
                  0u)
            << errors_.front();
    }
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(Stored("TimeLimitSeconds"), "1800");
}

// A write lock taken by someone else after a good load: the save fails as a whole and
// says so; the stored rows stay as they were.
TEST_F(OptionsTest, SaveAgainstALockedDatabaseKeepsThePreviousRows) {
    StoreSetting("TimeLimitSeconds", "1800");
    TOptions options(folder_.Data());
    ASSERT_FALSE(options.LoadFailed());
    options.Edit().TimeLimitSeconds = 60;
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(folder_.File("settings.sqlite").c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_FALSE(options.Save());
    ASSERT_FALSE(errors_.empty());
    EXPECT_NE(errors_.front().find("The database file is locked"), std::string::npos)
        << errors_.front();
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(Stored("TimeLimitSeconds"), "1800");
    EXPECT_TRUE(options.Save());
    EXPECT_EQ(Stored("TimeLimitSeconds"), "60");
}

// A statement failing half-way through a save undoes that database's whole share.
TEST_F(OptionsTest, FailingStatementRollsBackTheWholeSave) {
    StoreSetting("TimeLimitSeconds", "1800");
    folder_.Exec("settings.sqlite",
                 "INSERT INTO applications_list VALUES('/usr/bin/game', 'Game', 1)");
    TOptions options(folder_.Data());
    ASSERT_FALSE(options.LoadFailed());
    options.Edit().TimeLimitSeconds = 60;
    options.Edit().MonitoredList.Clear();
    // The reminders INSERT comes last; make it fail.
    folder_.Exec("settings.sqlite", "DROP TABLE reminders");
    EXPECT_FALSE(options.Save());
    EXPECT_EQ(Stored("TimeLimitSeconds"), "1800");
    EXPECT_EQ(Rows("settings.sqlite", "applications_list"), 1);
    ASSERT_FALSE(errors_.empty());
    EXPECT_EQ(
        errors_.back().rfind("ErrorClassName: ESQLiteException; TOptions.SettingsDBExecSQL:", 0),
        0u)
        << errors_.back();
}

TEST_F(OptionsTest, CorruptDatabaseIsReportedAndKeptAsItIs) {
    {
        std::FILE* file = std::fopen(folder_.File("settings.sqlite").c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fputs("this is not a database, but someone's file nonetheless", file);
        std::fclose(file);
    }
    {
        TOptions options(folder_.Data());
        EXPECT_TRUE(options.LoadFailed());
        EXPECT_FALSE(options.Save());
    }
    ASSERT_FALSE(errors_.empty());
    EXPECT_NE(errors_.front().find("File opened that is not a database file"), std::string::npos)
        << errors_.front();
    std::FILE* file = std::fopen(folder_.File("settings.sqlite").c_str(), "rb");
    char buffer[64] = {};
    ASSERT_NE(std::fgets(buffer, sizeof buffer, file), nullptr);
    std::fclose(file);
    EXPECT_STREQ(buffer, "this is not a database, but someone's file nonetheless");
}

} // namespace
