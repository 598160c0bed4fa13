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

int StepPace::RowsAhead() const {
    if (taken_ < 2)
        return 1;
    const int64_t mean = std::max<int64_t>(1, (recent_[0] - recent_[taken_ - 1]) / (taken_ - 1));
    return static_cast<int>(std::clamp<int64_t>(1000 / mean, 1, kMostRowsAhead));
}

int64_t StepPace::DecodesFrom() const {
    if (taken_ == 0)
        return 0;
    const bool repeating = taken_ > 1 && recent_[0] - recent_[1] < kRestMs;
    return repeating ? recent_[0] + kRestMs : recent_[0];
}
