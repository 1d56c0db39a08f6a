#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace twtest {

// What the simulated person's time should come to, kept apart from the program: every rule
// the simulation holds the program to is here, in the simulation's true time (UTC days) and
// the local time of the zone in force.
class TSimModel {
  public:
    explicit TSimModel(int scanPeriodSeconds) : period_(scanPeriodSeconds) {}

    // --- the rules ---
    // What one scan may credit for a gap since counting last (re)started.
    int CreditFor(double gapSeconds) const;
    // Whether a listed name covers an executable: its full path, or its file name alone.
    static bool Covers(const std::string& name, const std::string& exe);
    // The program began a day at a scan at this moment (the world judges whether it may).
    void BeginDay(double utc);
    // The moment of the scan at which the current day began.
    double DayBegunAt() const { return dayBegunAt_; }

    // --- what happened ---
    void SetList(const std::set<std::string>& names, double utc);
    const std::set<std::string>& List() const { return list_; }
    bool Listed(const std::string& exe) const;
    // A scan credited the executable in front (0 seconds is allowed).
    void Credit(const std::string& exe, double utc, int seconds);
    // The activity file was lost: the days before today are gone from it, and today's time
    // too unless the program had read it. Without a known day (a clock far ahead put right
    // since) the new file may hold anything from none of it to all it ever had.
    void HistoryLost(double utc, bool todayKnown, bool dayKnown = true);
    // A small move of the system clock the program follows: a scan may credit that much more
    // or less once.
    void ClockMoved(double utc, double seconds) { clockMoves_.push_back({utc, seconds}); }

    // --- what it comes to ---
    int Today() const;
    // Seconds the clock moves of the last day may add to or take from one scan's credit.
    int ClockSlack(double utc) const;
    // Seconds the program may be off today: a scan, list changes, clock moves.
    int TodaySlack(double utc) const;
    int DayIndex() const { return dayIndex_; }
    // Seconds of an executable's rows the activity file must still hold (the last 89 days
    // while it was listed), and may at most hold (all it was ever credited).
    int MustKeep(const std::string& exe, double utc) const;
    int EverCredited() const;
    const std::vector<std::string>& Executables() const { return executables_; }
    void Know(const std::string& exe) { executables_.push_back(exe); }

  private:
    struct TCredit {
        double utc;
        int seconds;
    };
    int period_;
    std::set<std::string> list_;
    std::vector<std::string> executables_;
    std::map<std::string, std::vector<TCredit>> keep_; // while listed
    std::map<std::string, std::vector<TCredit>> ever_;
    std::map<std::string, std::vector<TCredit>> today_;
    int unlistedToday_ = 0; // credited today to what has left the list since
    std::vector<std::pair<double, double>> clockMoves_;
    int dayIndex_ = 0;
    double dayBegunAt_ = -1e9;
};

// The local time of a UTC moment by the process's zone (TZ), as day counts.
double LocalOf(double utc);

} // namespace twtest
