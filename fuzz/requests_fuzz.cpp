// The browser server's request handling: any sequence of requests, from a device that has entered
// the classroom code or from one that has not, is answered with a status the interface names
// and, for a call, a JSON body; it never throws, never crashes and records no run that was not
// started, nor one twice.
//
// An input is a sequence of requests, each "M PATH\nBODY" ended by a zero byte, where M picks
// the method (G, P, H, anything else: another) and a leading "!" on the path sends the device's
// cookie.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string_view>

#include "FuzzFile.h"
#include "base/AppState.h"
#include "base/ResultRecord.h"
#include "platform/PosixRecordFile.h"
#include "rules/student/ResultsAccess.h"
#include "server/Classroom.h"
#include "server/RequestHandler.h"
#include "server/WebFiles.h"
#include "stores/installation/Configuration.h"

namespace {

using namespace gaisan;

/// A clock that moves on a second at every reading of its tick, so that runs can time out.
class SteppingClock final : public Clock {
public:
    LocalDateTime now() const override { return {{2026, 12, 10}, 36000.0 + m_tick / 1000.0}; }
    std::int64_t tickMilliseconds() const override { return m_tick += 1000; }

private:
    mutable std::int64_t m_tick = 0;
};

class HalfRandom final : public RandomSource {
public:
    double uniform() override { return 0.5; }
    void seedFromTimeOfDay(double) override {}
};

struct Installation {
    std::filesystem::path suite = fuzzing::scratchFolder() / "suite";
    std::unique_ptr<AppState> state = std::make_unique<AppState>();

    Installation() {
        std::filesystem::copy(GAISAN_DEMO_DIR, suite, std::filesystem::copy_options::recursive);
        // The data root, then the nine further items every suite's file has.
        std::string pathData = (suite / "data").string() + "/\r\n";
        for (int item = 0; item < 9; ++item) pathData += "0\r\n";
        fuzzing::inputAsFile("suite/パスデータ.txt",
                             reinterpret_cast<const std::uint8_t*>(pathData.data()),
                             pathData.size());
        if (!LoadConfiguration(*state, suite / "gaisan")) std::abort();
        ApplyProfileLevels(state->profile);
        std::filesystem::create_directories(suite / "web");
        fuzzing::inputAsFile("suite/web/index.html", reinterpret_cast<const std::uint8_t*>("<p>"),
                             3);
    }
    std::filesystem::path resultsFile() const { return suite / "data/gaisan/成績累積データ.dat"; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Installation installation;
    // Each input starts on an empty results file.
    std::filesystem::remove_all(installation.suite / "data/gaisan/成績解答データ2026");
    std::ofstream(installation.resultsFile(), std::ios::trunc);
    SteppingClock clock;
    HalfRandom random;
    PosixRecordFile recordFile;
    ResultsAccess results(
        *installation.state, recordFile, clock, [](int) {}, [](const std::string&) {});
    Classroom classroom(*installation.state, results, clock, random);
    auto code = ClassroomCode::parse("code", "123456\n" + std::string(64, 'd') + "\n");
    auto pages = WebFiles::read(installation.suite / "web");
    if (!code || !pages) std::abort();
    const std::string cookie = "gaisan_device=" + code->newDeviceCookie();
    RequestHandler handler(classroom, std::move(*code), std::move(*pages),
                           installation.state->profile, clock);

    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::uintmax_t runsStarted = 0;
    while (!input.empty()) {
        const std::size_t end = std::min(input.find('\0'), input.size());
        std::string_view request = input.substr(0, end);
        input.remove_prefix(std::min(end + 1, input.size()));
        if (request.size() < 2) continue;
        const char method = request[0];
        request.remove_prefix(2);
        const std::size_t lineEnd = std::min(request.find('\n'), request.size());
        std::string path(request.substr(0, lineEnd));
        const std::string body(request.substr(std::min(lineEnd + 1, request.size())));
        const bool withCookie = path.starts_with("!");
        if (withCookie) path.erase(0, 1);
        const HttpResponse response =
            handler.handle({method == 'G'   ? "GET"
                            : method == 'P' ? "POST"
                            : method == 'H' ? "HEAD"
                                            : "PUT",
                            path, withCookie ? cookie : std::string(), body, "10.0.0.1"});
        if (response.status < 200 || response.status >= 600 || response.status == 500) {
            __builtin_trap();
        }
        if (!path.starts_with("/api/")) continue;
        const auto answer = nlohmann::json::parse(response.body, nullptr, false);
        if (answer.is_discarded()) __builtin_trap();
        if ((path == "/api/level" || path == "/api/again") && response.status == 200 &&
            answer.value("screen", "") == "drill") {
            ++runsStarted;
        }
    }
    classroom.tickRuns();
    // A run is recorded once at most, and only a run that was started.
    if (std::filesystem::file_size(installation.resultsFile()) / ResultRecord::kSize >
        runsStarted) {
        __builtin_trap();
    }
    return 0;
}
