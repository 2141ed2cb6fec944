// The history of a watch, one table of stories: each feeds checks, answers, events, a sleep and
// a stop to a CheckHistory, then compares the figures since the start, the picture's columns
// and scale, and the CSV of the span with what the user must see.
#include "history/history_text.h"
#include "history/history_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <random>
#include <string>
#include <vector>

namespace {

// A zone whose offset from UTC changes at changeUtcMs (a daylight-saving change); times of day
// as "HH:MM:SS", or "h:MM:SS AM" on a 12-hour clock.
struct ChangingClock : HistoryClock {
    int64_t changeUtcMs = 0;
    int before = 0, after = 0; // minutes
    bool twelveHour = false;
    int OffsetMinutes(int64_t utcMs) const override { return utcMs < changeUtcMs ? before : after; }
    std::string TimeOfDay(int64_t localMs, bool seconds) const override {
        const std::string text = ClockText(localMs).substr(0, seconds ? 8 : 5);
        const int hour = std::stoi(text); // the digits before the colon
        return twelveHour ? std::to_string((hour + 11) % 12 + 1) + text.substr(2) +
                                (hour < 12 ? " AM" : " PM")
                          : text;
    }
    CivilDate DateOf(int64_t localMs) const override {
        const std::time_t seconds = localMs / 1000 - 11644473600; // the C library counts from 1970
        const std::tm* t = std::gmtime(&seconds);
        return {t->tm_year + 1900, t->tm_mon + 1, t->tm_mday};
    }
};

// The watch counts an answer until this long after its request at a 1 s period.
constexpr uint32_t SILENCE_LIMIT_AT_1_S = 10000;

enum class Op { Check, Answer, Make, Break, Sleep, Stop, Slow, SlowEnd, Resume };

struct Step {
    Op op;
    uint32_t ms;        // since the start
    uint32_t value = 0; // Answer: the round trip; Sleep: the check period
};

// Checks every second from `fromMs` to `toMs`, each answered after `roundTripMs` (or lost).
std::vector<Step> Checks(uint32_t fromMs, uint32_t toMs, std::optional<uint32_t> roundTripMs) {
    std::vector<Step> steps;
    for (uint32_t t = fromMs; t <= toMs; t += 1000) {
        steps.push_back({Op::Check, t});
        if (roundTripMs)
            steps.push_back({Op::Answer, t + *roundTripMs, *roundTripMs});
    }
    return steps;
}

std::vector<Step> operator+(std::vector<Step> a, const std::vector<Step>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct Story {
    const char* name;   // its steps are taken in time order
    uint32_t startTick; // the ticks wrap in one story
    std::vector<Step> steps;
    uint32_t nowMs;
    // Figures since the start.
    uint64_t sent, lost;
    double lossPercent;
    uint32_t minMs, maxMs;
    double averageMs, alivePercent;
    // A picture of the last minute, 60 columns wide: columns with a bar, with a lost mark,
    // white, and the scale that fits the bars.
    int answeredColumns, lostColumns, watchedColumns;
    uint32_t scaleTop, scaleStep;
    std::size_t csvLines;    // header included
    const char* newestEvent; // at local time = history time
};

// clang-format off
const std::vector<Story> STORIES = {
    {"answers every check", 0,
     std::vector<Step>{{Op::Check, 0}, {Op::Answer, 1, 1}, {Op::Make, 1}} + Checks(1000, 19000, 6),
     20000, 20, 0, 0.0, 1, 6, 5.75, 100.0 * 19999 / 20000, 20, 0, 20, 8, 2, 21,
     "00:00:00  host is alive!"},
    {"a silence breaks, the answers come back", 0xFFFFF000u,
     std::vector<Step>{{Op::Check, 0}, {Op::Answer, 2, 2}, {Op::Make, 2}} + Checks(1000, 11000, {}) +
         std::vector<Step>{{Op::Break, 11000}, {Op::Check, 12000}, {Op::Check, 13000},
                           {Op::Answer, 13040, 40}, {Op::Make, 13040}} +
         Checks(14000, 19000, 4),
     // The silence's newest three checks are still pending: neither a bar nor a red mark.
     20000, 20, 9, 100.0 * 9 / 17, 2, 40, 8.25, 100.0 * (11000 - 2 + 20000 - 13040) / 20000, 8, 9,
     20, 50, 10, 18, "00:00:13  host is alive!"},
    {"answers 3 s late at a 1 s period are answered, not lost", 0,
     Checks(0, 18000, 3000) + std::vector<Step>{{Op::Make, 3000}, {Op::Check, 19000}},
     21000, 20, 0, 0.0, 3000, 3000, 3000.0, 100.0 * 18000 / 21000, 19, 0, 21, 4000, 1000, 20,
     "00:00:03  host is alive!"},
    {"an answer after the silence limit is too late", 0,
     {{Op::Check, 0}, {Op::Check, 1000}, {Op::Check, 2000}, {Op::Answer, 2001, 1},
      {Op::Answer, 10200, 10200}},
     12000, 3, 2, 100.0 * 2 / 3, 1, 1, 1.0, 0.0, 10, 2, 12, 2, 1, 4, ""},
    {"a stop loses what is pending and ends the white", 0,
     {{Op::Check, 0}, {Op::Answer, 3, 3}, {Op::Make, 3}, {Op::Check, 1000}, {Op::Stop, 1500},
      {Op::Check, 2000}, {Op::Answer, 2001, 1}},
     30000, 2, 1, 50.0, 3, 3, 3.0, 100.0 * 1497 / 1500, 1, 1, 2, 4, 1, 3,
     "00:00:00  host is alive!"},
    {"a sleep is neither alive nor dead, and grey", 0,
     std::vector<Step>{{Op::Check, 0}, {Op::Answer, 0, 0}, {Op::Make, 0}} + Checks(1000, 9000, 0) +
         std::vector<Step>{{Op::Sleep, 40000, 1000}} + Checks(40000, 59000, 0),
     60000, 30, 0, 0.0, 0, 0, 0.0, 100.0, 30, 0, 30, 1, 1, 31, "00:00:00  host is alive!"},
};
// clang-format on

void Apply(CheckHistory& history, uint32_t startTick, const Step& step) {
    const uint32_t tick = startTick + step.ms;
    switch (step.op) {
    case Op::Check:
        return history.OnCheckSent(tick);
    case Op::Answer:
        return history.OnAnswer(tick, step.value);
    case Op::Make:
        return history.OnEvent(tick, HistoryEventKind::Make);
    case Op::Break:
        return history.OnEvent(tick, HistoryEventKind::Break);
    case Op::Sleep:
        return history.OnNotWatched(tick, step.value);
    case Op::Stop:
        return history.Stop(tick);
    case Op::Slow:
        return history.OnEvent(tick, HistoryEventKind::Slow);
    case Op::SlowEnd:
        return history.OnEvent(tick, HistoryEventKind::SlowEnd);
    case Op::Resume:
        return history.OnChecksResumed(tick);
    }
}

TEST(CheckHistory, FiguresPictureAndCsvOfEachStory) {
    for (const Story& story : STORIES) {
        SCOPED_TRACE(story.name);
        CheckHistory history;
        history.Start(story.startTick, "host", SILENCE_LIMIT_AT_1_S);
        std::vector<Step> steps = story.steps;
        std::stable_sort(steps.begin(), steps.end(),
                         [](const Step& a, const Step& b) { return a.ms < b.ms; });
        for (const Step& step : steps)
            Apply(history, story.startTick, step);
        // A check that goes out now settles the overdue ones (nothing, after a stop).
        const uint32_t now = story.startTick + story.nowMs;
        history.OnCheckSent(now);
        const bool watching = history.IsWatching();

        const CheckFigures f = history.Figures(now);
        EXPECT_EQ(story.sent + (watching ? 1 : 0), f.sent);
        EXPECT_EQ(story.lost, f.lost);
        EXPECT_NEAR(story.lossPercent, f.lossPercent, 0.01);
        EXPECT_EQ(story.minMs, f.minMs);
        EXPECT_EQ(story.maxMs, f.maxMs);
        EXPECT_NEAR(story.averageMs, f.averageMs, 0.01);
        EXPECT_NEAR(story.alivePercent, f.alivePercent, 0.01);

        const HistoryMs nowMs = history.At(now);
        const std::vector<PictureColumn> columns = PictureColumns(history, nowMs, 60000, 60);
        auto count = [&](bool PictureColumn::*flag) {
            return static_cast<int>(std::count_if(columns.begin(), columns.end(),
                                                  [&](const auto& c) { return c.*flag; }));
        };
        EXPECT_EQ(story.answeredColumns, count(&PictureColumn::answered));
        EXPECT_EQ(story.lostColumns, count(&PictureColumn::lost));
        EXPECT_EQ(story.watchedColumns, count(&PictureColumn::watched));
        const RoundTripScale scale = ScaleFor(MaxRoundTrip(columns));
        EXPECT_EQ(story.scaleTop, scale.topMs);
        EXPECT_EQ(story.scaleStep, scale.stepMs);

        const ChangingClock utc;
        const std::string csv = ChecksCsv(history, nowMs, 60000, 0, utc);
        EXPECT_EQ(story.csvLines,
                  static_cast<std::size_t>(std::count(csv.begin(), csv.end(), '\n')));
        const std::vector<std::string> events = EventLines(history, nowMs, nowMs, utc);
        EXPECT_EQ(story.newestEvent, events.empty() ? "" : events.front());
    }

    // More than a day of checks at 1 s: the ring keeps the newest 86,400, 8 bytes each.
    CheckHistory day;
    day.Start(0, "host", SILENCE_LIMIT_AT_1_S);
    for (uint32_t t = 0; t <= 86410000; t += 1000)
        day.OnCheckSent(t);
    EXPECT_EQ(86411u, day.Figures(86410000).sent);
    EXPECT_EQ(11000u, day.Check(0).TimeMs());
    EXPECT_EQ(8u * CheckHistory::CHECK_CAPACITY, day.MemoryBytes());
    // A finding between two checks leaves the history's clock as it was.
    CheckHistory found;
    found.Start(0, "host", SILENCE_LIMIT_AT_1_S);
    found.OnFinding(5000, "the path ends after hop 2", {});
    found.OnCheckSent(8000);
    EXPECT_EQ(5000u, found.Findings()[0].timeMs);
    EXPECT_EQ(8000u, found.Check(0).TimeMs());

    const int64_t day8Dec2026 = 155569LL * 86400000;
    EXPECT_EQ("2026-12-08T07:30:12.3-03:30", IsoDateTimeText({2026, 12, 8}, 27012300, -210));

    // Across the spring change in central Europe (01:00 UTC on 29 March 2026, 02:00 local
    // becomes 03:00): each time takes its own offset, not the one of now.
    CheckHistory spring;
    spring.Start(0, "host", SILENCE_LIMIT_AT_1_S);
    for (uint32_t t : {0u, 1000u}) {
        spring.OnCheckSent(t);
        spring.OnAnswer(t + 5, 5);
        spring.OnEvent(t + 5, t == 0 ? HistoryEventKind::Make : HistoryEventKind::Break);
    }
    spring.OnCheckSent(2000);
    ChangingClock cet;
    cet.changeUtcMs = 155315LL * 86400000 + 3600000;
    cet.before = 60;
    cet.after = 120;
    const int64_t utcNow = cet.changeUtcMs + 1000; // the second check goes out at the change
    EXPECT_EQ((std::vector<std::string>{"03:00:00  host has died!", "01:59:59  host is alive!"}),
              EventLines(spring, spring.At(2000), utcNow, cet));
    // Random checks, answered or lost, round the change: the CSV reads back (RFC 4180; no field
    // needs quotes) to its header and a record per settled check of the span, with its own offset.
    std::mt19937 random(34);
    for (int round = 0; round < 300; ++round) {
        CheckHistory checks;
        const uint32_t start = random(), fromMs = 100 * (random() % 1000);    // ticks wrap in some
        const int64_t utcStartMs = cet.changeUtcMs - 100 * (random() % 3000); // some on it
        checks.Start(start, "host", SILENCE_LIMIT_AT_1_S);
        std::vector<std::vector<std::string>> expected{{"time", "round trip ms"}}, read{{""}};
        uint32_t ms = 0;
        for (uint32_t n = random() % 60; n-- > 0; ms += 1000 + 100 * (random() % 50)) {
            const uint32_t roundTrip = random() % 1000, answered = random() % 4;
            checks.OnCheckSent(start + ms);
            if (answered)
                checks.OnAnswer(start + ms + roundTrip, roundTrip);
            const int offset = cet.OffsetMinutes(utcStartMs + ms);
            const int64_t localMs = utcStartMs + ms + 60000 * offset;
            if (ms >= fromMs)
                expected.push_back({IsoDateTimeText(cet.DateOf(localMs), localMs, offset),
                                    answered ? std::to_string(roundTrip) : ""});
        }
        expected.emplace_back(1);          // after the last record's CR LF
        const uint32_t nowMs = ms + 11000; // all settled but the check that goes out now
        checks.OnCheckSent(start + nowMs);
        const std::string csv =
            ChecksCsv(checks, nowMs, nowMs > fromMs ? nowMs - fromMs : 0, utcStartMs + nowMs, cet);
        for (size_t i = 0; i < csv.size(); ++i) { // records end in CR LF, fields part at commas
            if (csv.compare(i, 2, "\r\n") == 0 && ++i)
                read.emplace_back(1);
            else if (csv[i] == ',')
                read.back().emplace_back();
            else
                read.back().back() += csv[i];
        }
        EXPECT_EQ(expected, read) << csv;
    }
    // Clock marks twice the widest label apart (10 px a letter): "10:00 AM" needs five minutes
    // where "08:30" needs two; across the spring change 02:00 never comes.
    ChangingClock twelve;
    twelve.twelveHour = true;
    const struct {
        const HistoryClock& clock;
        int64_t utcNowMs;
        HistoryMs spanMs;
        int width;
        const char* marks;
    } markRows[] = {
        {ChangingClock(), day8Dec2026 + 30610000, 600000, 600,
         "110 08:22,230 08:24,350 08:26,470 08:28,590 08:30,"},
        {twelve, day8Dec2026 + 36060000, 600000, 780, "312 9:55 AM,702 10:00 AM,"},
        {cet, cet.changeUtcMs + 7200000, 14400000, 400, "0 00:00,100 01:00,200 03:00,300 04:00,"},
    };
    for (const auto& row : markRows) {
        std::string marks;
        for (const TimeMark& mark :
             TimeMarks(row.spanMs, row.utcNowMs, row.width, row.clock,
                       [](const std::string& t) { return 10 * int(t.size()); }))
            marks += std::to_string(mark.x) + " " + mark.label + ",";
        EXPECT_EQ(row.marks, marks);
    }
}

// What the slow rule reads (the newest answers and the last minute's settled checks, since the
// make), and the slow time as a band along the top, 100 ms a column, with its events.
TEST(CheckHistory, RecentChecksAndTheSlowBand) {
    std::vector<Step> steps =
        std::vector<Step>{{Op::Check, 0},    {Op::Answer, 500, 500}, {Op::Make, 500},
                          {Op::Slow, 15500}, {Op::SlowEnd, 18000},   {Op::Slow, 20500},
                          {Op::Check, 21000}} +
        Checks(1000, 10000, {}) + Checks(11000, 20000, 300);
    std::stable_sort(steps.begin(), steps.end(),
                     [](const Step& a, const Step& b) { return a.ms < b.ms; });
    CheckHistory history, resumed; // the second's checks made again at 5.5 s after a failed lookup
    history.Start(0, "host", SILENCE_LIMIT_AT_1_S);
    resumed.Start(0, "host", SILENCE_LIMIT_AT_1_S);
    for (const Step& step : steps) {
        if (step.ms == 6000 && step.op == Op::Check)
            Apply(resumed, 0, {Op::Resume, 5500});
        Apply(history, 0, step);
        Apply(resumed, 0, step);
    }
    const RecentChecks r = history.Recent(21100);
    EXPECT_EQ(
        (std::vector<uint32_t>{5, 300, 300, 300, 20, 10}),
        (std::vector<uint32_t>{r.answered, r.latestMs, r.fastestMs, r.slowestMs, r.known, r.lost}));
    const std::vector<PictureColumn> columns = PictureColumns(history, 21100, 21100, 211);
    EXPECT_EQ(25 + 6,
              std::count_if(columns.begin(), columns.end(), [](auto& c) { return c.slow; }));
    EXPECT_EQ("00:00:18  host is no longer slow.",
              EventLines(history, 21100, 21100, ChangingClock())[1]);
    // With checks made again at 5.5 s, the 5 lost before it count no more.
    const RecentChecks after = resumed.Recent(21100);
    EXPECT_EQ((std::vector<uint32_t>{15, 5}), (std::vector<uint32_t>{after.known, after.lost}));
}

} // namespace
