// How the focus travels through the file list: the direction of the last step, how many
// steps came in the last second, and whether the hand is repeating a key. The preview
// decodes ahead in the direction of travel, further the faster the steps come, and starts
// no decode while a held key runs the focus over rows faster than it could show them.
// Pure: times are milliseconds of any steady clock.
#pragma once

#include <array>
#include <cstdint>

class StepPace {
  public:
    // A row the focus leaves sooner than this gets no decode started.
    static constexpr int64_t kRestMs = 150;
    static constexpr int kMostRowsAhead = 4;

    // The focus moved from one position to another; a move to the same position is no step.
    void Step(int32_t from, int32_t to, int64_t nowMs);

    // +1 down the list, -1 up it; down before the first step.
    int Direction() const { return direction_; }
    // 1 at one step a second or slower, up to 4 at four steps a second or faster, from the
    // mean time between the latest steps.
    int RowsAhead() const;
    // The mean time between the latest steps; 0 before the second step.
    int64_t MeanIntervalMs() const;
    // When decodes may start: at once after a step that came at least kRestMs after the one
    // before; while steps come faster (a held key), only once the focus has rested kRestMs.
    int64_t DecodesFrom() const;

  private:
    std::array<int64_t, kMostRowsAhead> recent_{};  // the latest steps' times, newest first
    int taken_ = 0;                                 // how many of them there are
    int direction_ = 1;
};

// How long the focus must rest before a photo decode starts, when steps come every
// `stepIntervalMs` and a decode takes `decodeMs` on each of `workers`: none while the
// workers keep up; else a step and a half (at most half a second), which tells a pause
// from the next step, since a decode started sooner would be of a row already left.
int64_t RestBeforeDecodingMs(int64_t stepIntervalMs, int64_t decodeMs, int workers);
