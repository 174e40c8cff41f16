#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "base/AppState.h"
#include "base/FilePlaces.h"
#include "platform/PosixRecordFile.h"
#include "rules/student/ResultsAccess.h"
#include "server/Classroom.h"
#include "server/ClassroomCode.h"
#include "server/RequestHandler.h"
#include "server/WebFiles.h"
#include "stores/installation/Configuration.h"
#include "stores/results/AnswersFile.h"
#include "support/DemoSuite.h"
#include "support/FakeClock.h"
#include "support/RecordFiles.h"
#include "support/ScriptedRandom.h"
#include "support/TempFolder.h"

namespace gaisan::testing {

/// The browser server's request handling over a copy of the demo installation, without sockets:
/// a fixed clock whose tick moves on by itself, random numbers that are all 0.5 (so every level-1
/// problem is 460 + 460, answered 500, 500, 1000), the classroom code 123456, and pages of two
/// files, with a file beside their folder that no address may reach.
struct ServedDemoClassroom {
    static constexpr const char* kCode = "123456";
    static constexpr const char* kRight = "500 500 1000 ";
    static constexpr const char* kWrong = "500 500 1100 ";

    TempFolder suite;
    FakeClock clock{{2026, 12, 10}, 10 * 3600.0};
    ScriptedRandom random{std::vector<double>(5000, 0.5)};
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    PosixRecordFile recordFile;
    std::unique_ptr<ResultsAccess> results;
    std::unique_ptr<Classroom> classroom;
    std::unique_ptr<RequestHandler> handler;

    ServedDemoClassroom() {
        copyDemoSuite(suite);
        clock.setTickStep(5);
        const auto loaded = LoadConfiguration(*state, suite / "gaisan");
        EXPECT_TRUE(loaded) << (loaded ? "" : loaded.error().text());
        ApplyProfileLevels(state->profile);
        results = std::make_unique<ResultsAccess>(
            *state, recordFile, clock, [](int) {}, [](const std::string&) {});
        EXPECT_TRUE(results->checkWritable());
        classroom = std::make_unique<Classroom>(*state, *results, clock, random);
        suite.writeBytes("web/index.html", "<!doctype html><title>page</title>");
        suite.writeBytes("web/screens/drill.js", "export {};");
        suite.writeBytes("secret.txt", "not for the pages");
        auto pages = WebFiles::read(suite / "web");
        EXPECT_TRUE(pages);
        auto code =
            ClassroomCode::parse("code", std::string(kCode) + "\n" + std::string(64, 'a') + "\n");
        EXPECT_TRUE(code);
        handler = std::make_unique<RequestHandler>(*classroom, std::move(*code), std::move(*pages),
                                                   state->profile, clock);
    }

    HttpResponse request(const std::string& method, const std::string& path,
                         const std::string& body = {}, const std::string& cookie = {},
                         const std::string& address = "10.0.0.5") {
        return handler->handle({method, path, cookie, body, address});
    }

    /// Enters the code from `address`; the "Cookie" header the device then sends.
    std::string enterCode(const std::string& address = "10.0.0.5") {
        const HttpResponse response =
            request("POST", "/api/code", std::string(R"({"code":")") + kCode + "\"}", {}, address);
        EXPECT_EQ(response.status, 200) << response.body;
        for (const auto& [name, value] : response.headers) {
            if (name == "Set-Cookie") return value.substr(0, value.find(';'));
        }
        ADD_FAILURE() << "no cookie set";
        return {};
    }

    /// A call of the interface by the device with `cookie`; its status and JSON answer.
    std::pair<int, nlohmann::json> call(const std::string& cookie, const std::string& path,
                                        const nlohmann::json& body = nullptr) {
        const HttpResponse response = body.is_null()
                                          ? request("GET", "/api/" + path, {}, cookie)
                                          : request("POST", "/api/" + path, body.dump(), cookie);
        return {response.status, nlohmann::json::parse(response.body)};
    }

    /// A device that has entered the code, chosen student 1 and started a run of level 1.
    std::string deviceInRun() {
        const std::string cookie = enterCode();
        EXPECT_EQ(call(cookie, "login", {{"student", 1}}).first, 200);
        EXPECT_EQ(call(cookie, "level", {{"level", 1}}).first, 200);
        return cookie;
    }

    /// Types `text` ("500 500 1000 "): digits as they are, a space as the next key.
    nlohmann::json type(const std::string& cookie, const std::string& text) {
        nlohmann::json keys = nlohmann::json::array();
        for (const char c : text)
            keys.push_back(c == ' ' ? std::string("next") : std::string(1, c));
        clock.advanceSeconds(2);
        return call(cookie, "keys", {{"keys", keys}}).second;
    }

    std::vector<ResultRecord> records() const {
        return recordsIn(suite / "data/gaisan/成績累積データ.dat");
    }

    /// The judged answers of every run of `student` in this school year's answers file.
    std::vector<RunAnswers> answersOf(int student) {
        std::vector<RunAnswers> runs;
        const auto read = readAnswersFile(
            recordFile, answersFileOf(suite / "data/gaisan/成績累積データ.dat", 2026, student),
            [&](const RunBlock& block) { runs.push_back(block.decoded()); });
        EXPECT_TRUE(read);
        return runs;
    }
};

}  // namespace gaisan::testing
