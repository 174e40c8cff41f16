#include <gtest/gtest.h>

#include "support/ServedDemoClassroom.h"

namespace gaisan {
namespace {

using nlohmann::json;

class ClassroomRequestsTest : public ::testing::Test {
protected:
    testing::ServedDemoClassroom served;
};

TEST_F(ClassroomRequestsTest, NothingButTheCodeScreenBeforeTheCode) {
    auto [status, state] = served.call({}, "state");
    EXPECT_EQ(status, 200);
    EXPECT_EQ(state["screen"], "code");
    EXPECT_FALSE(state.contains("names")) << "no name before the code";
    EXPECT_EQ(served.call({}, "login", {{"student", 1}}).first, 401);
    // A cookie of the right shape but signed with another key is no device of the classroom.
    const std::string forged =
        "gaisan_device=0123456789abcdef0123456789abcdef." + std::string(64, '0');
    EXPECT_EQ(served.call(forged, "state").second["screen"], "code");
    EXPECT_EQ(served.call(forged, "level", {{"level", 1}}).first, 401);
}

TEST_F(ClassroomRequestsTest, TheCodeSetsAPrivateCookieAndWrongCodesAreSlowedDown) {
    auto wrong = served.request("POST", "/api/code", R"({"code":"654321"})");
    EXPECT_EQ(wrong.status, 403);
    EXPECT_EQ(json::parse(wrong.body)["screen"], "code");
    // Even the right code waits out the wait after a wrong one, from the same address.
    auto early = served.request("POST", "/api/code", R"({"code":"123456"})");
    EXPECT_EQ(early.status, 429);
    EXPECT_EQ(json::parse(early.body)["waitSeconds"], 1);
    EXPECT_EQ(served.request("POST", "/api/code", R"({"code":"123456"})", {}, "10.0.0.9").status,
              200)
        << "another address is not held up";
    served.clock.advanceSeconds(1);
    EXPECT_EQ(served.request("POST", "/api/code", R"({"code":"000000"})").status, 403);
    served.clock.advanceSeconds(1);
    EXPECT_EQ(served.request("POST", "/api/code", R"({"code":"000000"})").status, 429)
        << "the second wrong code waits two seconds";
    served.clock.advanceSeconds(1);
    const HttpResponse right = served.request("POST", "/api/code", R"({"code":"123456"})");
    ASSERT_EQ(right.status, 200);
    EXPECT_EQ(json::parse(right.body)["screen"], "names");
    std::string setCookie;
    for (const auto& [name, value] : right.headers) {
        if (name == "Set-Cookie") setCookie = value;
    }
    EXPECT_NE(setCookie.find("HttpOnly"), std::string::npos);
    EXPECT_NE(setCookie.find("SameSite=Strict"), std::string::npos);
}

TEST_F(ClassroomRequestsTest, CodeWaitsGrowToAMinuteAndTheRightCodeForgetsThem) {
    CodeAttempts attempts;
    std::int64_t now = 0;
    for (const std::int64_t expected :
         {1'000, 2'000, 4'000, 8'000, 16'000, 32'000, 60'000, 60'000}) {
        attempts.wrong("a", now);
        EXPECT_EQ(attempts.waitFor("a", now), expected);
        now += expected;
    }
    attempts.right("a");
    EXPECT_EQ(attempts.waitFor("a", now), 0);
    // Many addresses together get no more than kWrongPerMinute tries a minute.
    for (int i = 0; i < CodeAttempts::kWrongPerMinute; ++i) attempts.wrong(std::to_string(i), now);
    EXPECT_GT(attempts.waitFor("fresh", now), 0);
    EXPECT_EQ(attempts.waitFor("fresh", now + 60'000), 0);
}

TEST_F(ClassroomRequestsTest, BadRequestsAreRefusedPlainlyAndChangeNothing) {
    const std::string cookie = served.enterCode();
    ASSERT_EQ(served.call(cookie, "login", {{"student", 1}}).first, 200);
    const struct {
        const char* what;
        const char* method;
        const char* path;
        std::string body;
        int status;
    } cases[] = {
        {"a body beyond the limit", "POST", "/api/level", std::string(5000, ' '), 413},
        {"no JSON", "POST", "/api/level", "{level: 1", 400},
        {"JSON that is no object", "POST", "/api/level", "[1]", 400},
        {"a level that is no number", "POST", "/api/level", R"({"level":"1"})", 400},
        {"a level beyond int", "POST", "/api/level", R"({"level":4294967297})", 400},
        {"a level not open", "POST", "/api/level", R"({"level":5})", 409},
        {"a level beyond the levels", "POST", "/api/level", R"({"level":99})", 409},
        {"keys on the menu", "POST", "/api/keys", R"({"keys":["1"]})", 200},
        {"a log-in from the menu", "POST", "/api/login", R"({"student":2})", 409},
        {"a call that does not exist", "POST", "/api/teacher", "{}", 404},
        {"a state by POST", "POST", "/api/state", "{}", 405},
        {"a level by GET", "GET", "/api/level", "", 405},
        {"a page by POST", "POST", "/index.html", "", 405},
    };
    for (const auto& c : cases) {
        const HttpResponse response = served.request(c.method, c.path, c.body, cookie);
        EXPECT_EQ(response.status, c.status) << c.what << ": " << response.body;
        EXPECT_EQ(served.call(cookie, "state").second["screen"], "menu") << c.what;
    }
    EXPECT_TRUE(served.records().empty());
}

TEST_F(ClassroomRequestsTest, BadKeysAndNamesAreRefused) {
    const std::string cookie = served.enterCode();
    EXPECT_EQ(served.call(cookie, "login", {{"student", 4999}}).first, 400) << "not in the list";
    EXPECT_EQ(served.call(cookie, "names", {{"band", "大学"}}).first, 400);
    EXPECT_EQ(served.call(cookie, "names", {{"figures", 4}}).first, 400);
    json state = served.call(cookie, "names", {{"band", "小３"}, {"figures", 0}}).second;
    EXPECT_EQ(state["names"]["band"], "小３");
    for (const json& row : state["names"]["rows"]) {
        EXPECT_EQ(row["text"].get<std::string>().rfind("小3", 0), 0u) << row["text"];
    }
    served.call(cookie, "login", {{"student", 1}});
    served.call(cookie, "level", {{"level", 1}});
    json tooMany = json::array();
    for (int i = 0; i < 33; ++i) tooMany.push_back("1");
    EXPECT_EQ(served.call(cookie, "keys", {{"keys", tooMany}}).first, 413);
    EXPECT_EQ(served.call(cookie, "keys", {{"keys", {"1", "a"}}}).first, 400);
    EXPECT_EQ(served.call(cookie, "keys", {{"keys", {"1", 2}}}).first, 400);
    EXPECT_EQ(served.call(cookie, "keys", {{"keys", "12"}}).first, 400);
    // None of the refused calls typed anything.
    EXPECT_EQ(served.call(cookie, "state").second["drill"]["boxes"][2]["text"], "");
}

TEST_F(ClassroomRequestsTest, ADeviceThatFloodsIsHeldBack) {
    const std::string cookie = served.enterCode();
    int refused = 0;
    for (int i = 0; i < 200; ++i) {
        if (served.call(cookie, "state").first == 429) ++refused;
    }
    EXPECT_GT(refused, 100);
    served.clock.advanceSeconds(3);
    EXPECT_EQ(served.call(cookie, "state").first, 200) << "the budget comes back with time";
}

TEST_F(ClassroomRequestsTest, OnlyThePagesFilesAreServed) {
    const HttpResponse index = served.request("GET", "/");
    EXPECT_EQ(index.status, 200);
    EXPECT_EQ(index.body, "<!doctype html><title>page</title>");
    EXPECT_EQ(served.request("GET", "/screens/drill.js").contentType,
              "text/javascript; charset=utf-8");
    const std::string cookie = served.enterCode();
    for (const char* outside :
         {"/../secret.txt", "/%2e%2e/secret.txt", "//secret.txt", "/screens/../../secret.txt",
          "/web/index.html", "/secret.txt", "/screens", "/screens/", "/index.html/",
          "/index.html%00.js", "/sound/../secret.txt", "/sound/-1", "/sound/",
          "/sound/99999999999999999999", "/api/../secret.txt"}) {
        for (const std::string& device : {std::string(), cookie}) {
            const HttpResponse response = served.request("GET", outside, {}, device);
            EXPECT_GE(response.status, 400) << outside;
            EXPECT_EQ(response.body.find("not for the pages"), std::string::npos) << outside;
        }
    }
}

TEST_F(ClassroomRequestsTest, ALargeSchoolsMenuSendsEachRankingAroundTheStudentsRow) {
    std::string roster;
    for (int student = 1; student <= 300; ++student) {
        roster += std::to_string(student) + ",2017,0,0,\"生徒" + std::to_string(student) +
                  "\",0,\"\",\"\"\r\n";
    }
    served.suite.writeCp932("data/新名簿.txt", roster);
    const std::string cookie = served.enterCode();
    const json menu = served.call(cookie, "login", {{"student", 150}}).second["menu"];
    for (const json& level : menu["levels"]) {
        const json& ranking = level["ranking"];
        ASSERT_EQ(ranking["rows"].size(), 100u);
        ASSERT_EQ(ranking["scrollRow"], 20) << "the student's row shows just below the top";
        const std::string row = ranking["rows"][21];
        EXPECT_NE(row.find("●"), std::string::npos) << row;
    }
    // A student near either end gets the first or the last hundred rows.
    for (const auto& [student, scrollRow] : {std::pair{2, 0}, std::pair{299, 97}}) {
        served.call(cookie, "leave", json::object());
        const json ranking = served.call(cookie, "login", {{"student", student}})
                                 .second["menu"]["levels"][0]["ranking"];
        ASSERT_EQ(ranking["rows"].size(), 100u);
        EXPECT_EQ(ranking["scrollRow"], scrollRow) << student;
        EXPECT_NE(ranking["rows"][scrollRow + 1].get<std::string>().find("●"), std::string::npos)
            << student;
    }
}

}  // namespace
}  // namespace gaisan
