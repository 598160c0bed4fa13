#include "app/preview/step_pace.h"

#include <algorithm>

void StepPace::Step(int32_t from, int32_t to, int64_t nowMs) {
    if (from == to)
        return;
    direction_ = to > from ? 1 : -1;
    std::copy_backward(recent_.begin(), recent_.end() - 1, recent_.end());
    recent_[0] = nowMs;
    taken_ = std::min(taken_ + 1, kMostRowsAhead);
}

int64_t StepPace::MeanIntervalMs() const {
    return taken_ < 2 ? 0 : std::max<int64_t>(1, (recent_[0] - recent_[taken_ - 1]) / (taken_ - 1));
}

int StepPace::RowsAhead() const {
    const int64_t mean = MeanIntervalMs();
    return mean == 0 ? 1 : static_cast<int>(std::clamp<int64_t>(1000 / mean, 1, kMostRowsAhead));
}

int64_t StepPace::DecodesFrom() const {
    if (taken_ == 0)
        return 0;
    const bool repeating = taken_ > 1 && recent_[0] - recent_[1] < kRestMs;
    return repeating ? recent_[0] + kRestMs : recent_[0];
}

int64_t RestBeforeDecodingMs(int64_t stepIntervalMs, int64_t decodeMs, int workers) {
    if (stepIntervalMs <= 0 || decodeMs <= stepIntervalMs * std::max(1, workers))
        return 0;
    return std::min<int64_t>(stepIntervalMs * 3 / 2, 500);
}
