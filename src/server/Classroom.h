#pragma once

#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <nlohmann/json.hpp>

#include "base/AppState.h"
#include "base/SoundCues.h"
#include "platform/Clock.h"
#include "platform/RandomSource.h"
#include "rules/menu/LevelMenu.h"
#include "rules/student/FinishDecisions.h"
#include "rules/student/StudentSession.h"
#include "server/ServedSounds.h"

namespace gaisan {

/// A key of the drill as a page sends it: the digits are Digit0 and the nine after it.
enum class DrillKey { Digit0, Next = 10, Back, Plus, Left, Right, Up, Down };
/// "0"…"9", "next", "back", "plus", "left", "right", "up", "down".
std::optional<DrillKey> drillKeyOf(std::string_view name);

/// What a call of the browser interface answers: a status and the JSON body.
struct ApiAnswer {
    int status = 200;
    nlohmann::json body;
};

/// The classroom as the browser server serves it: one visit for each device, worked through the
/// same student's way through the program as the desktop's, on one set of the school's tables
/// and the shared results file. Every call takes the device's visit in turn, so calls from many
/// devices (and a sweep of the run clocks) never see one another's visit half done.
///
/// A device's visit is a screen (names, menu, drill, finish) and what it holds: a reload, a
/// second tab or a device waking from sleep gets it back as it was. A run is recorded once,
/// once its last answer is right or its time is up, whether or not the device is there to see.
class Classroom {
public:
    /// Devices remembered at once; beyond, the one seen longest ago without a run goes.
    static constexpr std::size_t kDeviceLimit = 2000;
    static constexpr std::size_t kKeysPerCall = 32;

    /// `random` draws the problems of every device's runs (DeviceRandom: see why there).
    Classroom(AppState& state, StudentResults& results, const Clock& clock, RandomSource& random);
    ~Classroom();

    ApiAnswer state(const std::string& device);
    /// The name list of `band` with the figures of `figures` (0..3), each kept when unset.
    ApiAnswer names(const std::string& device, std::optional<std::string> band,
                    std::optional<int> figures);
    ApiAnswer logIn(const std::string& device, int student);
    ApiAnswer leaveMenu(const std::string& device);
    ApiAnswer startLevel(const std::string& device, int level);
    ApiAnswer keys(const std::string& device, const std::vector<DrillKey>& keys);
    ApiAnswer runAgain(const std::string& device);
    ApiAnswer toMenu(const std::string& device);

    /// A tick of every run clock: a run whose time is up ends, as the desktop's clock ends it,
    /// even on a device that sleeps, and every run that has ended is recorded. The server calls
    /// it every second, and once more as it stops.
    void tickRuns();
    /// The wave file of a sound the answers named.
    std::optional<std::filesystem::path> soundFile(int number) const;
    std::size_t deviceCount() const;

private:
    struct Device;
    class Turn;

    /// Runs `step` on device `name`'s visit, made the session's for it, one call at a time.
    template <typename Step>
    ApiAnswer inTurn(const std::string& name, Step step);
    Device& deviceFor(const std::string& name);
    void forgetOneDevice();
    ApiAnswer answer(Device& device);
    ApiAnswer refused(Device& device, int status, std::string_view message);
    void checkClock(Device& device);
    void endRun(Device& device);
    void recordAndFinish(Device& device);
    void startRun(Device& device);
    nlohmann::json namesJson(Device& device, std::optional<Failure>& failure);
    nlohmann::json menuJson(std::optional<Failure>& failure);
    nlohmann::json drillJson(const Device& device);

    AppState& m_state;
    StudentResults& m_results;
    ServedSounds m_sounds;
    SoundCues m_cues;
    StudentSession m_session;
    LevelMenu m_menu;
    mutable std::mutex m_mutex;
    std::unordered_map<std::string, std::unique_ptr<Device>> m_devices;
    std::int64_t m_calls = 0;  ///< a count of calls, to tell which device was seen longest ago
};

}  // namespace gaisan
