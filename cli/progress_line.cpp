#include "progress_line.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kWidestBar = 24;
constexpr int kNarrowestBar = 8;

std::string wholeText(double value) {
    return std::to_string(std::llround(value));
}

std::string rateText(double rate, const std::string& unit) {
    return (rate >= 100 ? wholeText(rate) : OneDecimal(rate)) + " " + unit + "/s";
}

}  // namespace

void TimeLeftEstimate::add(double seconds, double work) {
    m_samples.emplace_back(seconds, work);
    // Keep one sample at or before the window's start, so the window is whole.
    while (m_samples.size() > 2 && m_samples[1].first <= seconds - kWindowSeconds) {
        m_samples.pop_front();
    }
}

std::optional<double> TimeLeftEstimate::secondsLeft(double allWork) const {
    const auto [now, work] = m_samples.back();
    if (now < 1.0 || work <= 0) {
        return std::nullopt;
    }
    const auto [then, workThen] = m_samples.front();
    double rate = work / now;
    // A window of a few seconds is too short to trust more than the whole run.
    if (now - then >= 2.0 && work > workThen) {
        rate = (work - workThen) / (now - then);
    }
    return std::max(0.0, allWork - work) / rate;
}

std::string BarLine(const BarFacts& facts, int columns, const ConsoleStyle& style) {
    const double fraction =
        facts.allWork > 0 ? std::clamp(facts.work / facts.allWork, 0.0, 1.0) : (facts.last ? 1 : 0);
    const std::string percent = std::to_string(static_cast<int>(fraction * 100)) + "%";
    const std::string count =
        "  " + wholeText(facts.work) + "/" + wholeText(facts.allWork) + " " + facts.unit;
    std::string rate;
    if (facts.seconds >= 0.5 && facts.work > 0) {
        rate = "  " + rateText(facts.work / facts.seconds, facts.unit);
    }
    std::string tail;
    if (facts.last) {
        tail = "  " + ClockText(facts.seconds);
    } else if (facts.secondsLeft) {
        tail = "  " + ClockText(*facts.secondsLeft) + " left";
    }
    if (facts.found) {
        tail += "  " + std::to_string(*facts.found) + " found";
    }

    const auto width = static_cast<std::size_t>(std::max(1, columns - 1));
    const auto compose = [&](int bar, bool withCount, bool withRate) {
        const int filled = static_cast<int>(fraction * bar);
        return facts.label + " [" + std::string(static_cast<std::size_t>(filled), '#') +
               std::string(static_cast<std::size_t>(bar - filled), '.') + "] " + percent +
               (withCount ? count : "") + (withRate ? rate : "") + tail;
    };
    std::string text = compose(kWidestBar, true, true);
    if (text.size() > width) {
        const auto over = static_cast<int>(text.size() - width);
        text = compose(std::max(kNarrowestBar, kWidestBar - over), true, true);
    }
    if (text.size() > width) {
        text = compose(kNarrowestBar, false, true);
    }
    if (text.size() > width) {
        text = compose(kNarrowestBar, false, false);
    }
    text.resize(std::min(text.size(), width));
    // Clear what a longer earlier line left; without escapes, blanks do it.
    if (style.escapes) {
        text += "\x1b[K";
    } else {
        text.append(width - text.size(), ' ');
    }
    return "\r" + text + (facts.last ? "\n" : "");
}

std::string ClockText(double seconds) {
    const long long total = std::llround(std::max(0.0, seconds));
    char text[32];
    if (total >= 3600) {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", total / 3600, total / 60 % 60,
                      total % 60);
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld", total / 60, total % 60);
    }
    return text;
}

std::string OneDecimal(double value) {
    const long long tenths = std::llround(value * 10);
    return std::to_string(tenths / 10) + "." + std::to_string(std::llabs(tenths % 10));
}

std::string DurationAndRate(double seconds, double count, const std::string& unit) {
    const int decimals = seconds < 1 ? 3 : seconds < 10 ? 2 : 1;
    const long long scale = decimals == 3 ? 1000 : decimals == 2 ? 100 : 10;
    const long long scaled = std::llround(seconds * static_cast<double>(scale));
    std::string fraction = std::to_string(scaled % scale);
    fraction.insert(0, static_cast<std::size_t>(decimals) - fraction.size(), '0');
    std::string text = std::to_string(scaled / scale) + "." + fraction + " s";
    if (seconds > 0 && count > 0) {
        text += " (" + rateText(count / seconds, unit) + ")";
    }
    return text;
}
