#include "terrain/progress.h"

#include <algorithm>

namespace {

ProgressListener gListener = nullptr;
const char* gOperation = nullptr;
int gDepth = 0;
float gSpanFrom = 0.0f, gSpanTo = 1.0f;
float gShown = 0.0f; // the fraction last reported: the bar never runs backwards
// Only the thread that opened the operation reports; helper threads of a
// parallel loop leave it to that one.
thread_local bool tOwnsOperation = false;

void notify(ProgressPhase phase)
{
    if (gListener != nullptr) gListener(ProgressReport{gOperation, gShown, phase});
}

} // namespace

void setProgressListener(ProgressListener listener) { gListener = listener; }

ProgressScope::ProgressScope(const char* operation)
{
    if (gDepth++ > 0) return;
    tOwnsOperation = true;
    gOperation = operation;
    gSpanFrom = 0.0f;
    gSpanTo = 1.0f;
    gShown = 0.0f;
    notify(ProgressPhase::kBegin);
}

ProgressScope::~ProgressScope()
{
    if (--gDepth > 0) return;
    gShown = 1.0f;
    notify(ProgressPhase::kEnd);
    tOwnsOperation = false;
    gOperation = nullptr;
}

ProgressSpan::ProgressSpan(float from, float to) : outerFrom_(gSpanFrom), outerTo_(gSpanTo)
{
    if (!tOwnsOperation) return;
    const float width = outerTo_ - outerFrom_;
    gSpanFrom = outerFrom_ + from * width;
    gSpanTo = outerFrom_ + to * width;
}

ProgressSpan::~ProgressSpan()
{
    if (!tOwnsOperation) return;
    gSpanFrom = outerFrom_;
    gSpanTo = outerTo_;
}

void reportProgress(float done)
{
    if (gListener == nullptr || !tOwnsOperation) return;
    const float fraction = gSpanFrom + std::clamp(done, 0.0f, 1.0f) * (gSpanTo - gSpanFrom);
    gShown = std::max(gShown, fraction);
    notify(ProgressPhase::kUpdate);
}
