#include "server/Classroom.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>

#include "rules/student/StudentScreenTexts.h"
#include "server/ScreenJson.h"
#include "stores/roster/Roster.h"

namespace gaisan {
namespace {

enum class Screen { Names, Menu, Drill, Finish };

constexpr std::array<std::string_view, 7> kKeyNames = {"next",  "back", "plus", "left",
                                                       "right", "up",   "down"};

}  // namespace

std::optional<DrillKey> drillKeyOf(std::string_view name) {
    if (name.size() == 1 && name[0] >= '0' && name[0] <= '9') {
        return static_cast<DrillKey>(name[0] - '0');
    }
    for (std::size_t i = 0; i < kKeyNames.size(); ++i) {
        if (name == kKeyNames[i]) {
            return static_cast<DrillKey>(static_cast<int>(DrillKey::Next) + static_cast<int>(i));
        }
    }
    return std::nullopt;
}

/// One device's visit and where it stands.
struct Classroom::Device {
    StudentVisit visit;
    Screen screen = Screen::Names;
    FigureMode figures = FigureMode::TodayAndTotalPoints;
    std::vector<int> listedStudents;  ///< the students the device's name list showed
    /// The run has reached its end: its last answer was right, or its time is up.
    bool runEnded = false;
    /// The run's end is shown once, to the call that ended it, before the finish screen.
    bool endingToShow = false;
    bool recordPending = false;
    bool finishPending = false;
    std::optional<Failure> recordFailure;
    FinishScreen finish;
    RetryChoice retry;
    std::vector<int> sounds;        ///< to be played by the device's next answer
    std::vector<int> finishSounds;  ///< to be played as the finish screen shows
    std::int64_t lastCall = 0;
};

/// A device's visit made the session's for the length of one call.
class Classroom::Turn {
public:
    Turn(StudentSession& session, Device& device) : m_session(session), m_device(device) {
        m_session.exchangeVisit(m_device.visit);
    }
    ~Turn() { m_session.exchangeVisit(m_device.visit); }
    Turn(const Turn&) = delete;
    Turn& operator=(const Turn&) = delete;

private:
    StudentSession& m_session;
    Device& m_device;
};

Classroom::Classroom(AppState& state, StudentResults& results, const Clock& clock,
                     RandomSource& random)
    : m_state(state),
      m_results(results),
      // The pages play the sounds; the served player never fails, so the sound is never lost.
      m_cues(state, m_sounds, random, [](const std::string&) {}),
      m_session(state, results, clock, random, m_cues),
      m_menu(state, clock) {}

Classroom::~Classroom() = default;

Classroom::Device& Classroom::deviceFor(const std::string& name) {
    auto found = m_devices.find(name);
    if (found == m_devices.end()) {
        if (m_devices.size() >= kDeviceLimit) forgetOneDevice();
        found = m_devices.emplace(name, std::make_unique<Device>()).first;
    }
    found->second->lastCall = ++m_calls;
    return *found->second;
}

void Classroom::forgetOneDevice() {
    // A run in progress is never dropped: it is to be recorded, at the latest at its time-up.
    auto oldest = m_devices.end();
    for (auto it = m_devices.begin(); it != m_devices.end(); ++it) {
        if (it->second->screen == Screen::Drill) continue;
        if (oldest == m_devices.end() || it->second->lastCall < oldest->second->lastCall) {
            oldest = it;
        }
    }
    if (oldest != m_devices.end()) m_devices.erase(oldest);
}

std::size_t Classroom::deviceCount() const {
    const std::lock_guard lock(m_mutex);
    return m_devices.size();
}

std::optional<std::filesystem::path> Classroom::soundFile(int number) const {
    const std::lock_guard lock(m_mutex);
    return m_sounds.file(number);
}

// The calls. Each takes the device's turn, acts, and answers with the device's whole state.

template <typename Step>
ApiAnswer Classroom::inTurn(const std::string& name, Step step) {
    const std::lock_guard lock(m_mutex);
    Device& device = deviceFor(name);
    const Turn turn(m_session, device);
    return step(device);
}

ApiAnswer Classroom::state(const std::string& name) {
    return inTurn(name, [&](Device& device) {
        checkClock(device);
        if (device.recordPending || device.finishPending) recordAndFinish(device);
        return answer(device);
    });
}

ApiAnswer Classroom::names(const std::string& name, std::optional<std::string> band,
                           std::optional<int> figures) {
    return inTurn(name, [&](Device& device) {
        if (device.screen != Screen::Names) return refused(device, 409, "名前の一覧ではありません");
        if (band) {
            const auto& bands = gradeBands();
            if (std::find(bands.begin(), bands.end(), *band) == bands.end()) {
                return refused(device, 400, "その学年はありません");
            }
            m_session.chooseGradeBand(std::move(*band));
        }
        if (figures) {
            if (*figures < 0 || *figures >= static_cast<int>(kFigureModeCaptions.size())) {
                return refused(device, 400, "その表示はありません");
            }
            device.figures = static_cast<FigureMode>(*figures);
        }
        return answer(device);
    });
}

ApiAnswer Classroom::logIn(const std::string& name, int student) {
    return inTurn(name, [&](Device& device) {
        if (device.screen != Screen::Names) return refused(device, 409, "名前の一覧ではありません");
        const auto& listed = device.listedStudents;
        if (std::find(listed.begin(), listed.end(), student) == listed.end()) {
            return refused(device, 400, "その名前は一覧にありません");
        }
        m_session.logIn(student);
        device.screen = Screen::Menu;
        return answer(device);
    });
}

ApiAnswer Classroom::leaveMenu(const std::string& name) {
    return inTurn(name, [&](Device& device) {
        if (device.screen != Screen::Menu)
            return refused(device, 409, "レベルの一覧ではありません");
        m_session.beginVisit();
        m_session.chooseGradeBand(gradeBands().front());
        device.screen = Screen::Names;
        return answer(device);
    });
}

ApiAnswer Classroom::startLevel(const std::string& name, int level) {
    return inTurn(name, [&](Device& device) {
        if (device.screen != Screen::Menu)
            return refused(device, 409, "レベルの一覧ではありません");
        // The menu shows the counts of its last recount; the choice is judged on the newest ones.
        if (auto counted = m_results.recount(); !counted) {
            return refused(device, 503, counted.error().text());
        }
        if (!m_session.chooseLevel(level))
            return refused(device, 409, "そのレベルは今はできません");
        startRun(device);
        return answer(device);
    });
}

ApiAnswer Classroom::keys(const std::string& name, const std::vector<DrillKey>& keys) {
    return inTurn(name, [&](Device& device) {
        checkClock(device);
        if (device.screen != Screen::Drill || device.runEnded) return answer(device);
        AnswerEntry& entry = m_session.entry();
        for (const DrillKey key : keys) {
            if (device.runEnded) break;
            switch (key) {
                case DrillKey::Next:
                    entry.Form_KeyPress(kSpaceCode);
                    break;
                case DrillKey::Back:
                    entry.Form_KeyPress(kBackspaceCode);
                    break;
                case DrillKey::Plus:
                    entry.Form_KeyPress(kPlusCode);
                    break;
                case DrillKey::Left:
                    entry.Form_KeyDown(ArrowKey::Left);
                    break;
                case DrillKey::Right:
                    entry.Form_KeyDown(ArrowKey::Right);
                    break;
                case DrillKey::Up:
                    entry.Form_KeyDown(ArrowKey::Up);
                    break;
                case DrillKey::Down:
                    entry.Form_KeyDown(ArrowKey::Down);
                    break;
                default:
                    entry.Form_KeyPress('0' + static_cast<int>(key));
                    break;
            }
        }
        if (device.runEnded) endRun(device);
        return answer(device);
    });
}

ApiAnswer Classroom::runAgain(const std::string& name) {
    return inTurn(name, [&](Device& device) {
        if (device.screen != Screen::Finish)
            return refused(device, 409, "終わりの画面ではありません");
        if (!device.retry.offerRetry) return refused(device, 409, "もう一度はできません");
        startRun(device);
        return answer(device);
    });
}

ApiAnswer Classroom::toMenu(const std::string& name) {
    return inTurn(name, [&](Device& device) {
        if (device.screen != Screen::Finish)
            return refused(device, 409, "終わりの画面ではありません");
        device.screen = Screen::Menu;
        return answer(device);
    });
}

void Classroom::tickRuns() {
    const std::lock_guard lock(m_mutex);
    for (auto& [name, device] : m_devices) {
        if (device->screen != Screen::Drill) continue;
        const Turn turn(m_session, *device);
        checkClock(*device);
        if (device->recordPending || device->finishPending) recordAndFinish(*device);
    }
}

// The run.

void Classroom::startRun(Device& device) {
    device.runEnded = false;
    device.endingToShow = false;
    device.recordPending = false;
    device.finishPending = false;
    device.recordFailure.reset();
    device.finishSounds.clear();
    // The device's own flag, whichever visit's turn it is when the last answer is judged.
    Device* ending = &device;
    // The page shows each answer's state as the call ends: nothing to show or run meanwhile,
    // and the run's clock is the session's, read at each call.
    static_cast<void>(m_session.startRun(
        AnswerEntry::Hooks{[] {}, [] {}, [ending] { ending->runEnded = true; }, {}}));
    m_session.beginWorking();
    device.screen = Screen::Drill;
}

void Classroom::checkClock(Device& device) {
    if (device.screen != Screen::Drill || device.runEnded || !m_session.hasRun()) return;
    const RunClockTick tick = m_session.tick();
    if (tick.limitReached && m_session.timeUpNow()) {
        device.runEnded = true;
        endRun(device);
    }
}

void Classroom::endRun(Device& device) {
    if (!m_session.beginEndOfRun()) return;
    device.endingToShow = true;
    device.recordPending = true;
    // The sounds of the last answer belong to the drill; the finish screen's come with it.
    const std::vector<int> played = m_sounds.takePlayed();
    device.sounds.insert(device.sounds.end(), played.begin(), played.end());
    // The judged answer goes back at once, as the desktop shows it before it records: the run
    // is recorded at the device's next call, which the page makes a second later for the
    // finish screen, or at the next tick of the run clocks, whichever comes first.
}

void Classroom::recordAndFinish(Device& device) {
    if (device.recordPending) {
        if (auto recorded = m_session.recordRun(); !recorded) {
            // Tried again at the device's next call: the run is not lost while the server runs.
            device.recordFailure = recorded.error();
            std::fprintf(stderr, "%s\n", recorded.error().text().c_str());
            return;
        }
        device.recordPending = false;
        device.finishPending = true;
        device.recordFailure.reset();
    }
    auto finished = m_session.finish();
    if (!finished) {
        device.recordFailure = finished.error();
        std::fprintf(stderr, "%s\n", finished.error().text().c_str());
        return;
    }
    device.finishPending = false;
    device.recordFailure.reset();
    device.finish = std::move(*finished);
    static_cast<void>(m_session.playMessageSound(device.finish.plan));
    m_session.playGoalFanfare(device.finish.plan);
    device.finishSounds = m_sounds.takePlayed();
    device.retry = m_session.retryChoice();
    device.screen = Screen::Finish;
}

// The answers.

ApiAnswer Classroom::refused(Device& device, int status, std::string_view message) {
    const std::vector<int> played = m_sounds.takePlayed();
    device.sounds.insert(device.sounds.end(), played.begin(), played.end());
    return {status, nlohmann::json{{"error", std::string(message)}}};
}

ApiAnswer Classroom::answer(Device& device) {
    ApiAnswer answer;
    nlohmann::json& body = answer.body;
    std::optional<Failure> failure = device.recordFailure;
    const bool showEnding = device.endingToShow && device.screen != Screen::Drill;
    switch (showEnding ? Screen::Drill : device.screen) {
        case Screen::Names:
            body["screen"] = "names";
            body["texts"] = namesTexts();
            body["names"] = namesJson(device, failure);
            break;
        case Screen::Menu:
            body["screen"] = "menu";
            body["texts"] = menuTexts();
            body["menu"] = menuJson(failure);
            break;
        case Screen::Drill:
            body["screen"] = "drill";
            body["texts"] = drillTexts();
            body["drill"] = drillJson(device);
            break;
        case Screen::Finish:
            body["screen"] = "finish";
            body["texts"] = finishTexts();
            body["finish"] = finishScreenJson(device.finish, device.retry);
            device.sounds.insert(device.sounds.end(), device.finishSounds.begin(),
                                 device.finishSounds.end());
            device.finishSounds.clear();
            break;
    }
    device.endingToShow = false;
    const std::vector<int> played = m_sounds.takePlayed();
    device.sounds.insert(device.sounds.end(), played.begin(), played.end());
    body["sounds"] = soundAddresses(std::exchange(device.sounds, {}));
    if (failure) {
        // The results file or the roster failed: the page tells it, and the state stays.
        answer.status = 503;
        body["error"] = failure->text();
    }
    return answer;
}

nlohmann::json Classroom::namesJson(Device& device, std::optional<Failure>& failure) {
    auto read = m_session.readNameList(device.figures, m_state.roster.SelectedGradeBand);
    if (!read) {
        failure = read.error();
        device.listedStudents.clear();
        return namesScreenJson(m_state.profile.SubjectTitle, m_state.roster.SelectedGradeBand,
                               device.figures, {});
    }
    if (read->unusableRoster) failure = read->unusableRoster;
    device.listedStudents = read->list.students;
    return namesScreenJson(m_state.profile.SubjectTitle, m_state.roster.SelectedGradeBand,
                           device.figures, read->list);
}

nlohmann::json Classroom::menuJson(std::optional<Failure>& failure) {
    if (auto counted = m_results.recount(); !counted) failure = counted.error();
    const LevelAvailability availability = m_session.levels();
    return menuScreenJson(m_menu, availability);
}

nlohmann::json Classroom::drillJson(const Device& device) {
    return drillScreenJson(m_session, m_state, device.runEnded);
}

}  // namespace gaisan
