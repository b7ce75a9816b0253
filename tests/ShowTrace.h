#pragma once

// Helpers that read the recording fake's events back as the show's steps.

#include "frontends/recording/RecordingRuntime.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace vantrel::testing {

struct Seg {
    int x1, y1, x2, y2;
    Colour colour;
    bool operator==(const Seg&) const = default;
};

inline std::vector<Seg> LinesOf(const std::vector<Event>& events)
{
    std::vector<Seg> lines;
    for (const Event& e : events) {
        if (e.type == Event::Type::Line) {
            lines.push_back({static_cast<int>(e.x1), static_cast<int>(e.y1), static_cast<int>(e.x2),
                             static_cast<int>(e.y2), e.colour});
        }
    }
    return lines;
}

template <typename Pred>
std::size_t CountIf(const std::vector<Event>& events, Pred pred)
{
    std::size_t n = 0;
    for (const Event& e : events) {
        n += pred(e) ? 1U : 0U;
    }
    return n;
}

inline std::size_t CountOf(const std::vector<Event>& events, Event::Type type)
{
    return CountIf(events, [type](const Event& e) { return e.type == type; });
}

}  // namespace vantrel::testing

namespace vantrel::testing {

// One step of a flight: the star erased where it stood, then drawn one move on.
struct Move {
    Seg erased[12];
    Seg drawn[12];
    std::uint32_t pause = 0;  // caption writes after the draw
};

struct Flight {
    float r[3]{};
    std::vector<Move> moves;
    [[nodiscard]] Colour colour() const { return moves.front().drawn[0].colour; }
    [[nodiscard]] int restX() const { return moves.back().drawn[0].x1; }
    [[nodiscard]] int restY() const { return moves.back().drawn[0].y1; }
};

// Splits the fly-in of one press (everything before the clear) into flights.
// Fails the test when the events do not have the fly-in's shape.
inline std::vector<Flight> FlightsOf(const std::vector<Event>& events, std::size_t* end = nullptr)
{
    std::vector<Flight> flights;
    std::size_t i = 0;
    const auto at = [&](Event::Type type) { return i < events.size() && events[i].type == type; };
    const auto seg = [&](const Event& e) {
        return Seg{static_cast<int>(e.x1), static_cast<int>(e.y1), static_cast<int>(e.x2), static_cast<int>(e.y2),
                   e.colour};
    };
    while (at(Event::Type::Rnd)) {
        Flight flight;
        for (float& r : flight.r) {
            EXPECT_TRUE(at(Event::Type::Rnd));
            r = events[i++].value;
        }
        while (at(Event::Type::BackColor)) {
            ++i;
            Move move;
            for (Seg& s : move.erased) {
                EXPECT_TRUE(at(Event::Type::Line)) << "event " << i;
                s = seg(events[i++]);
            }
            for (Seg& s : move.drawn) {
                EXPECT_TRUE(at(Event::Type::Line)) << "event " << i;
                s = seg(events[i++]);
            }
            EXPECT_TRUE(at(Event::Type::Caption)) << "event " << i;
            move.pause = events[i++].count;
            flight.moves.push_back(move);
        }
        flights.push_back(std::move(flight));
    }
    if (end != nullptr) {
        *end = i;
    }
    return flights;
}

}  // namespace vantrel::testing
