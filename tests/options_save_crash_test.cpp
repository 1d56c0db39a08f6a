// Saving the options is killed at random moments; every time, the databases must hold
// either the previous or the new settings, list and reminders, complete, and the same list.
#include "base/text.h"
#include "storage/date_format.h"
#include "storage/options.h"
#include "storage/sqlite_database.h"
#include "storage/sqlite_table.h"
#include "support/test_data_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <random>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct SavedState {
    int limit;
    std::string prefix;
    int items;
    std::string memo;
};

const SavedState StateA{1000, "alpha", 22, "memo A"};
const SavedState StateB{2000, "beta", 17, "memo B"};

void Apply(tw::TOptions& options, const SavedState& state) {
    options.Edit().TimeLimitSeconds = state.limit;
    options.Edit().MonitoredList.Clear();
    for (int i = 0; i < state.items; ++i) {
        auto item = std::make_unique<tw::TMonitoredItem>();
        item->Name = state.prefix + "/" + std::to_string(i);
        item->Caption = state.prefix + " item " + std::to_string(i);
        item->ItemType = i % 2 ? tw::TMonitoredItemType::mitWeb : tw::TMonitoredItemType::mitApp;
        std::string key = item->Caption;
        options.Edit().MonitoredList.Add(key, std::move(item));
    }
    for (int i = 0; i < 3; ++i) {
        options.SetReminder(i, state.memo + " " + std::to_string(i));
    }
}

std::multiset<std::string> Column(tw::TSQLiteDatabase& db, const std::string& sql) {
    std::multiset<std::string> values;
    auto table = db.GetTable(sql);
    for (table->First(); !table->Eof(); table->Next()) {
        values.insert(table->ValueAsText(0));
    }
    return values;
}

std::multiset<std::string> ListNames(const SavedState& state) {
    std::multiset<std::string> names;
    for (int i = 0; i < state.items; ++i) {
        names.insert(state.prefix + "/" + std::to_string(i));
    }
    return names;
}

std::multiset<std::string> StoredList(const std::string& file) {
    tw::TSQLiteDatabase db(file);
    return Column(db,
                  "SELECT name FROM applications_list UNION ALL SELECT name FROM websites_list");
}

// Which state the settings database holds; fails the test when it is neither, complete.
const SavedState* CheckSettings(const std::string& file) {
    tw::TSQLiteDatabase db(file);
    auto limits = Column(db, "SELECT value FROM settings WHERE name = 'TimeLimitSeconds'");
    EXPECT_EQ(limits.size(), 1u);
    if (limits.size() != 1) {
        return nullptr;
    }
    const SavedState* state = *limits.begin() == std::to_string(StateA.limit)   ? &StateA
                              : *limits.begin() == std::to_string(StateB.limit) ? &StateB
                                                                                : nullptr;
    EXPECT_NE(state, nullptr) << *limits.begin();
    if (!state) {
        return nullptr;
    }
    EXPECT_EQ(Column(db, "SELECT name FROM settings").size(), 11u);
    EXPECT_EQ(StoredList(file), ListNames(*state));
    EXPECT_EQ(
        Column(db, "SELECT text FROM reminders"),
        (std::multiset<std::string>{state->memo + " 0", state->memo + " 1", state->memo + " 2"}));
    return state;
}

TEST(OptionsSaveCrashTest, KilledSavesLeaveThePreviousOrTheNewStateWhole) {
    twtest::TestDataFolder folder(tw::EncodeDate(2026, 12, 7) + 10 * tw::OneHour);
    const std::string settings = folder.File("settings.sqlite");
    const std::string activity = folder.File("actmondb.sqlite");

    // How long one save takes here decides how long to wait before killing.
    double saveSeconds = 0;
    {
        tw::TOptions options(folder.Data());
        for (const SavedState* state : {&StateB, &StateA}) {
            Apply(options, *state);
            auto start = std::chrono::steady_clock::now();
            ASSERT_TRUE(options.Save());
            saveSeconds = std::max(
                saveSeconds,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
        options.Edit().MonitoredList.Clear(); // keep the destructor's save from changing anything
        Apply(options, StateA);
    }
    ASSERT_EQ(CheckSettings(settings), &StateA);

    std::mt19937 random(20261207);
    std::uniform_real_distribution<double> delay(0.0, saveSeconds * 3);
    int interrupted = 0;
    int completed = 0;
    for (int round = 0; round < 200 && !HasFailure(); ++round) {
        const SavedState* before = CheckSettings(settings);
        ASSERT_NE(before, nullptr) << "round " << round;
        const SavedState& next = before == &StateA ? StateB : StateA;

        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            auto* options =
                new tw::TOptions(folder.Data()); // never destroyed: the kill is the only end
            Apply(*options, next);
            char go = options->LoadFailed() ? 'f' : 'g';
            if (write(ready[1], &go, 1) != 1) {
                _exit(2);
            }
            options->Save();
            _exit(0);
        }
        close(ready[1]);
        char go = 0;
        ASSERT_EQ(read(ready[0], &go, 1), 1);
        close(ready[0]);
        ASSERT_EQ(go, 'g');
        // Spin rather than sleep: a sleep overshoots by more than a whole save takes.
        auto until =
            std::chrono::steady_clock::now() + std::chrono::duration<double>(delay(random));
        while (std::chrono::steady_clock::now() < until) {
        }
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);

        const SavedState* after = CheckSettings(settings);
        ASSERT_NE(after, nullptr) << "round " << round;
        (after == before ? interrupted : completed)++;
        // The list copy in the activity database is the same list, never the other one.
        EXPECT_EQ(StoredList(activity), ListNames(*after)) << "round " << round;
    }
    // Both outcomes must have happened, or the kills did not land inside saves.
    EXPECT_GT(interrupted, 0);
    EXPECT_GT(completed, 0);
    std::printf("%d saves interrupted, %d completed\n", interrupted, completed);
    RecordProperty("interrupted", interrupted);
    RecordProperty("completed", completed);
}

} // namespace
