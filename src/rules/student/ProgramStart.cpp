#include "rules/student/ProgramStart.h"

#include "platform/EraDate.h"

namespace gaisan {

ProgramStart startProgram(AppState& state, const Clock& clock, RandomSource& random) {
    const LocalDateTime now = clock.now();
    random.seedFromTimeOfDay(now.secondsSinceMidnight);
    state.SeasonColour = seasonColourOfMonth(now.date.month);
    return {japaneseEraDate(now.date), state.SeasonColour};
}

}  // namespace gaisan
