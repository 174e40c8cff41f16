// A classroom of devices working runs at once through gaisan-server's HTTP interface on
// loopback: every device enters the code, logs in a student of the demo roster and works its
// runs (of level 1, and then of the levels the menu offers), answering each box as a page sends it
// (the digits and the next key) after a short pause. Reports the time from a sum box's last key to
// the judged answer, beside the time of a page file fetched the same way (the baseline: the
// server's own round trip), the server's peak memory and CPU, and checks that every run was
// recorded exactly once. Run: build/bench/server_load_bench [DEVICES [RUNS]]

#include <httplib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

namespace {

using nlohmann::json;
using Clock = std::chrono::steady_clock;

/// Between a device's requests: a child quicker than any, typing a box every tenth of a second,
/// so that 40 devices send 400 requests a second, well within each device's budget.
constexpr auto kPause = std::chrono::milliseconds(100);

struct Server {
    pid_t pid = -1;
    int port = 0;
    std::string code;
};

/// A copy of the demo installation whose パスデータ.txt names the copy's data root.
std::filesystem::path layOutDemo() {
    char pattern[] = "/tmp/gaisan-load-XXXXXX";
    const std::filesystem::path suite = mkdtemp(pattern);
    std::filesystem::copy(GAISAN_DEMO_DIR, suite, std::filesystem::copy_options::recursive);
    std::ofstream pathData(suite / "パスデータ.txt", std::ios::binary | std::ios::trunc);
    pathData << (suite / "data").string() << "/\r\n";
    for (int item = 0; item < 9; ++item) pathData << "0\r\n";
    return suite;
}

Server startServer(const std::filesystem::path& suite) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) std::exit(1);
    Server server;
    server.pid = fork();
    if (server.pid == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        execl(GAISAN_SERVER, GAISAN_SERVER, "--listen", "127.0.0.1:0", suite.c_str(), nullptr);
        _exit(127);
    }
    close(pipeEnds[1]);
    FILE* output = fdopen(pipeEnds[0], "r");
    char line[256];
    std::string address = fgets(line, sizeof line, output) ? line : "";
    server.code = fgets(line, sizeof line, output) ? line : "";
    server.code.erase(server.code.find_last_not_of('\n') + 1);
    server.port = std::stoi(address.substr(address.rfind(':') + 1));
    // The QR code and any later output are read on, so that the server never waits on the pipe.
    std::thread([output] {
        char rest[4096];
        while (fgets(rest, sizeof rest, output)) {
        }
    }).detach();
    return server;
}

/// Resident set size at its peak, in MB, and CPU seconds so far, of process `pid`.
std::pair<double, double> usageOf(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    double peakMb = 0;
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmHWM:")) peakMb = std::stod(line.substr(6)) / 1024;
    }
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::vector<std::string> values((std::istream_iterator<std::string>(fields)), {});
    const double ticks = std::stod(values.at(11)) + std::stod(values.at(12));
    return {peakMb, ticks / static_cast<double>(sysconf(_SC_CLK_TCK))};
}

long rounded(long value, int place) {
    const long unit = place == 3 ? 1000 : 100;
    return (value + unit / 2) / unit * unit;
}

struct DeviceFigures {
    std::vector<double> judgedMs;
    std::vector<double> endingMs;  ///< the judged answers that ended a run
    std::vector<double> pageMs;
    int runs = 0;
    int student = 0;
    std::string problem;
};

DeviceFigures workDevice(const Server& server, int device, int runs) {
    DeviceFigures figures;
    httplib::Client client("127.0.0.1", server.port);
    client.set_keep_alive(true);
    // As a browser does: each request goes out at once.
    client.set_tcp_nodelay(true);
    httplib::Headers headers;
    const auto post = [&](const std::string& path, const json& body) {
        std::this_thread::sleep_for(kPause);
        auto response = client.Post(path, headers, body.dump(), "application/json");
        if (!response) throw std::runtime_error(path + ": no answer");
        if (response->status == 429) throw std::runtime_error(path + ": held back");
        return std::make_pair(response->status, json::parse(response->body));
    };
    auto response =
        client.Post("/api/code", json{{"code", server.code}}.dump(), "application/json");
    if (!response) throw std::runtime_error("the code: " + httplib::to_string(response.error()));
    if (response->status != 200) {
        throw std::runtime_error("the code was refused: " + std::to_string(response->status));
    }
    const std::string cookie = response->get_header_value("Set-Cookie");
    headers.emplace("Cookie", cookie.substr(0, cookie.find(';')));
    const json rows = json::parse(response->body)["names"]["rows"];
    figures.student = rows.at(device % rows.size())["student"];
    post("/api/login", {{"student", figures.student}});
    json state = post("/api/level", {{"level", 1}}).second;
    while (figures.runs < runs) {
        if (state["screen"] == "drill" && state["drill"]["ending"] == "") {
            const json& drill = state["drill"];
            const int place = drill["instruction"].get<std::string>().find("千") == 0 ? 3 : 2;
            const long first =
                rounded(std::stol(drill["boxes"][0]["text"].get<std::string>()), place);
            const long second =
                rounded(std::stol(drill["boxes"][1]["text"].get<std::string>()), place);
            for (const long value : {first, second, first + second}) {
                json keys = json::array();
                for (const char digit : std::to_string(value))
                    keys.push_back(std::string(1, digit));
                keys.push_back("next");
                std::this_thread::sleep_for(kPause);
                const auto sent = Clock::now();
                auto answer = client.Post("/api/keys", headers, json{{"keys", keys}}.dump(),
                                          "application/json");
                if (!answer || answer->status != 200) throw std::runtime_error("keys refused");
                state = json::parse(answer->body);
                if (value == first + second) {
                    const double ms =
                        std::chrono::duration<double, std::milli>(Clock::now() - sent).count();
                    figures.judgedMs.push_back(ms);
                    if (state["drill"]["ending"] != "") figures.endingMs.push_back(ms);
                }
            }
            const auto sent = Clock::now();
            if (client.Get("/index.html", headers)) {
                figures.pageMs.push_back(
                    std::chrono::duration<double, std::milli>(Clock::now() - sent).count());
            }
            continue;
        }
        if (!state.contains("screen")) throw std::runtime_error("refused: " + state.dump());
        std::this_thread::sleep_for(kPause);
        auto answer = client.Get("/api/state", headers);
        if (!answer || answer->status != 200) throw std::runtime_error("state refused");
        state = json::parse(answer->body);
        if (state["screen"] != "finish") continue;
        ++figures.runs;
        if (figures.runs == runs) break;
        if (state["finish"]["offerRetry"]) {
            state = post("/api/again", json::object()).second;
            continue;
        }
        // Sent on, or the level used enough for today: the first level the menu offers.
        const json menu = post("/api/menu", json::object()).second;
        int level = 0;
        for (const json& column : menu["menu"]["levels"]) {
            if (column["enabled"]) {
                level = column["level"];
                break;
            }
        }
        if (level == 0) throw std::runtime_error("no level is open");
        state = post("/api/level", {{"level", level}}).second;
    }
    return figures;
}

double percentile(std::vector<double> values, double share) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(share * static_cast<double>(values.size() - 1))];
}

}  // namespace

int main(int argc, char* argv[]) {
    const int devices = argc > 1 ? std::stoi(argv[1]) : 40;
    const int runs = argc > 2 ? std::stoi(argv[2]) : 5;
    const std::filesystem::path suite = layOutDemo();
    const Server server = startServer(suite);
    const auto [idleMb, idleCpu] = usageOf(server.pid);

    std::vector<DeviceFigures> figures(static_cast<std::size_t>(devices));
    std::vector<std::thread> threads;
    std::mutex failures;
    int failed = 0;
    const auto started = Clock::now();
    for (int device = 0; device < devices; ++device) {
        threads.emplace_back([&, device] {
            try {
                figures[static_cast<std::size_t>(device)] = workDevice(server, device, runs);
            } catch (const std::exception& error) {
                const std::lock_guard lock(failures);
                ++failed;
                std::cerr << "device " << device << ": " << error.what() << '\n';
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    const auto [peakMb, cpuSeconds] = usageOf(server.pid);
    kill(server.pid, SIGTERM);
    int status = 0;
    waitpid(server.pid, &status, 0);

    std::vector<double> judged;
    std::vector<double> endings;
    std::vector<double> pages;
    std::map<int, int> expectedRuns;
    for (const DeviceFigures& device : figures) {
        judged.insert(judged.end(), device.judgedMs.begin(), device.judgedMs.end());
        endings.insert(endings.end(), device.endingMs.begin(), device.endingMs.end());
        pages.insert(pages.end(), device.pageMs.begin(), device.pageMs.end());
        expectedRuns[device.student] += device.runs;
    }
    // The records, 44 bytes each: student at byte 16, as a little-endian int16.
    std::ifstream results(suite / "data/gaisan/成績累積データ.dat", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(results)), {});
    std::map<int, int> recordedRuns;
    for (std::size_t at = 0; at + 44 <= bytes.size(); at += 44) {
        const int student = static_cast<unsigned char>(bytes[at + 16]) |
                            static_cast<unsigned char>(bytes[at + 17]) << 8;
        ++recordedRuns[student];
    }
    std::filesystem::remove_all(suite);

    std::printf("%d devices x %d runs in %.1f s; %zu judged answers\n", devices, runs, seconds,
                judged.size());
    std::printf("judged answer: median %.2f ms, p99 %.2f ms (goal: p99 < 20 ms)\n",
                percentile(judged, 0.5), percentile(judged, 0.99));
    std::printf("  of which the %zu that ended a run: median %.2f ms, p99 %.2f ms\n",
                endings.size(), percentile(endings, 0.5), percentile(endings, 0.99));
    std::printf("page file (baseline): median %.2f ms, p99 %.2f ms; ratio of p99s %.1f\n",
                percentile(pages, 0.5), percentile(pages, 0.99),
                percentile(judged, 0.99) / std::max(percentile(pages, 0.99), 0.001));
    std::printf(
        "server: peak memory %.1f MB (idle %.1f MB; goal < 60 MB), CPU %.2f s = %.0f%% of "
        "one core\n",
        peakMb, idleMb, cpuSeconds - idleCpu, 100 * (cpuSeconds - idleCpu) / seconds);
    const bool allRecordedOnce = recordedRuns == expectedRuns && failed == 0;
    std::printf("runs recorded: %zu records, %s; server exit status %d\n", bytes.size() / 44,
                allRecordedOnce ? "each worked run exactly once" : "MISMATCH", WEXITSTATUS(status));
    return allRecordedOnce && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}
