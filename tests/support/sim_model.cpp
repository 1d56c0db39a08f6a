#include "support/sim_model.h"

#include <algorithm>
#include <cmath>
#include <ctime>

namespace twtest {
namespace {

constexpr double UnixEpochDay = 25569;

} // namespace

double LocalOf(double utc) {
    const auto seconds = static_cast<std::time_t>(std::floor((utc - UnixEpochDay) * 86400));
    tzset();
    std::tm tm{};
    localtime_r(&seconds, &tm);
    return utc + static_cast<double>(tm.tm_gmtoff) / 86400;
}

int TSimModel::CreditFor(double gapSeconds) const {
    const double bounded = std::min(gapSeconds, 2.0 * period_);
    return static_cast<int>(std::lround(std::max(0.0, bounded)));
}

bool TSimModel::Covers(const std::string& name, const std::string& exe) {
    if (name.find('/') != std::string::npos) {
        return name == exe;
    }
    const auto slash = exe.rfind('/');
    return exe.substr(slash == std::string::npos ? 0 : slash + 1) == name;
}

void TSimModel::BeginDay(double utc) {
    today_.clear();
    unlistedToday_ = 0;
    ++dayIndex_;
    dayBegunAt_ = utc;
}

bool TSimModel::Listed(const std::string& exe) const {
    return std::any_of(list_.begin(), list_.end(),
                       [&](const std::string& name) { return Covers(name, exe); });
}

void TSimModel::SetList(const std::set<std::string>& names, double) {
    std::vector<std::string> before;
    for (const auto& exe : executables_) {
        if (Listed(exe)) {
            before.push_back(exe);
        }
    }
    list_ = names;
    for (const auto& exe : before) {
        if (!Listed(exe)) {
            // Its history may go with it; today's time may still show until a restart.
            keep_.erase(exe);
            for (const auto& c : today_[exe]) {
                unlistedToday_ += c.seconds;
            }
            today_.erase(exe);
        }
    }
}

void TSimModel::Credit(const std::string& exe, double utc, int seconds) {
    keep_[exe].push_back({utc, seconds});
    ever_[exe].push_back({utc, seconds});
    today_[exe].push_back({utc, seconds});
}

void TSimModel::HistoryLost(double utc, bool todayKnown, bool dayKnown) {
    if (!dayKnown) {
        for (auto& [exe, credits] : keep_) {
            std::erase_if(credits, [&](const TCredit& c) { return c.utc < utc; });
        }
        today_.clear();
        unlistedToday_ = 0;
        return;
    }
    // Today's total read is kept in memory and written into the new file.
    double cutoff = dayBegunAt_;
    if (!todayKnown) {
        cutoff = utc;
        today_.clear();
        unlistedToday_ = 0;
    }
    for (auto* ledger : {&keep_, &ever_}) {
        for (auto& [exe, credits] : *ledger) {
            std::erase_if(credits, [&](const TCredit& c) { return c.utc < cutoff; });
        }
    }
}

int TSimModel::Today() const {
    int total = 0;
    for (const auto& [exe, credits] : today_) {
        for (const auto& c : credits) {
            total += c.seconds;
        }
    }
    return total;
}

int TSimModel::ClockSlack(double utc) const {
    double moved = 0;
    for (const auto& [when, seconds] : clockMoves_) {
        if (utc - when < 26.0 / 24) {
            moved += std::fabs(seconds);
        }
    }
    return static_cast<int>(std::ceil(moved));
}

int TSimModel::TodaySlack(double utc) const {
    return 2 * period_ + unlistedToday_ + ClockSlack(utc);
}

int TSimModel::MustKeep(const std::string& exe, double utc) const {
    const auto it = keep_.find(exe);
    int total = 0;
    if (it != keep_.end()) {
        for (const auto& c : it->second) {
            if (c.utc >= utc - 89) {
                total += c.seconds;
            }
        }
    }
    return total;
}

int TSimModel::EverCredited() const {
    int total = 0;
    for (const auto& [exe, credits] : ever_) {
        for (const auto& c : credits) {
            total += c.seconds;
        }
    }
    return total;
}

} // namespace twtest
