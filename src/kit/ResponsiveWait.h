#pragma once

namespace gaisan {

class Clock;

/// Waits `seconds` on the clock's monotonic tick while the windows go on handling events, so
/// that the screens stay drawn and a key or click is taken meanwhile. The one wait of the
/// screens: the results file's retries and the pause between a run's end and the finish screen.
void waitResponsively(const Clock& clock, int seconds);

}  // namespace gaisan
