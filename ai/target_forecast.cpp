// The forecast: the fighter's course stepped frame by frame on copies.
#include "ai/target_forecast.h"

#include "ai/world_sight.h"
#include "rules/fighter.h"

bool IsFlying(int32_t state) {
    return state >= StateMoveUp && state <= StateBackDive;
}

void ForecastFighter(const Sight& sight, const SeenFighter& f, Step velocity, int32_t age,
                     FighterForecast* forecast) {
    int32_t x = f.x;
    int32_t y = f.y;
    const bool thrown = f.state == StateKnockedBack;
    Step v = (IsFlying(f.state) || thrown) ? velocity : Step{};
    forecast->still = v.x == 0 && v.y == 0 && !thrown;
    for (int32_t k = -age; k <= forecastFrames; ++k) {
        if (k >= 0) {
            forecast->centre[k] = Step{x + fighterSize / 2, y + fighterSize / 2};
        }
        if (v.x == 0 && v.y == 0 && !thrown) {
            continue;
        }
        // The rules test the step before a thrown fighter's fall speeds it up.
        if (!FighterFits(sight, x + v.x, y + v.y, true)) {
            v = Step{};
            if (thrown) {
                // It crashes and lies still.
                forecast->still = k < 0;
                for (int32_t rest = k + 1; rest <= forecastFrames; ++rest) {
                    if (rest >= 0) {
                        forecast->centre[rest] = Step{x + fighterSize / 2, y + fighterSize / 2};
                    }
                }
                return;
            }
            continue;
        }
        if (thrown) {
            ++v.y;
        }
        x += v.x;
        y += v.y;
    }
}
