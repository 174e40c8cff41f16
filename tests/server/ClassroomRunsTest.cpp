#include <gtest/gtest.h>

#include "support/ServedDemoClassroom.h"

namespace gaisan {
namespace {

using nlohmann::json;

class ClassroomRunsTest : public ::testing::Test {
protected:
    /// Works the rest of the run with right answers; the answer to the last one.
    json finishRun(const std::string& cookie) {
        json state;
        for (int i = 0; i < 20; ++i) {
            state = served.type(cookie, testing::ServedDemoClassroom::kRight);
            if (state["drill"]["ending"] != "") break;
        }
        return state;
    }

    testing::ServedDemoClassroom served;
};

TEST_F(ClassroomRunsTest, AWholeRunWithTwoWrongAnswersIsRecordedOnceWithItsAnswers) {
    const std::string cookie = served.deviceInRun();
    json state = served.type(cookie, "500 500 1100 ");
    EXPECT_TRUE(state["drill"]["ackPrompt"]);
    EXPECT_EQ(state["drill"]["boxes"][4]["correctValue"], "1000");
    EXPECT_EQ(state["drill"]["boxes"][4]["correctShown"], true);
    EXPECT_EQ(state["sounds"].size(), 1u) << "the wrong cue";
    // Keys other than "+" do nothing while a wrong answer is shown; "+" twice brings the next.
    state = served.call(cookie, "keys", {{"keys", {"5", "plus", "plus"}}}).second;
    EXPECT_FALSE(state["drill"]["ackPrompt"]);
    EXPECT_EQ(state["drill"]["boxes"][2]["text"], "");
    state = served.type(cookie, testing::ServedDemoClassroom::kRight);
    EXPECT_EQ(state["drill"]["remaining"], 9);
    state = served.type(cookie, "500 500 1100 ");
    EXPECT_EQ(state["drill"]["remaining"], 10) << "a wrong answer counts one down";
    served.call(cookie, "keys", {{"keys", {"plus", "plus"}}});

    state = finishRun(cookie);
    EXPECT_EQ(state["screen"], "drill") << "the end of the run is shown once, before the finish";
    EXPECT_EQ(state["drill"]["ending"], "recording");
    state = served.call(cookie, "state").second;
    ASSERT_EQ(state["screen"], "finish");
    EXPECT_EQ(state["finish"]["result"], "今の成績：26秒") << "13 answers, two seconds each";
    EXPECT_EQ(state["finish"]["points"].get<std::string>().rfind("獲得ポイント：", 0), 0u);

    const auto records = served.records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].StudentIndex, 1);
    EXPECT_EQ(records[0].LevelIndex, 1);
    EXPECT_EQ(records[0].ResultSeconds, 26);
    const auto runs = served.answersOf(1);
    ASSERT_EQ(runs.size(), 1u);
    ASSERT_EQ(runs[0].answers.size(), 13u) << "the first wrong answer had nothing to count down";
    EXPECT_EQ(runs[0].answers[0].boxes[2], "1100");
    EXPECT_EQ(runs[0].answers[0].wrongBoxes, 4);
    EXPECT_TRUE(runs[0].answers[1].isRight());

    // Neither keys nor states after the finish record anything more.
    served.type(cookie, testing::ServedDemoClassroom::kRight);
    served.call(cookie, "state");
    served.classroom->tickRuns();
    EXPECT_EQ(served.records().size(), 1u);
}

TEST_F(ClassroomRunsTest, AReloadResumesTheRunAndASecondTabSharesIt) {
    const std::string cookie = served.deviceInRun();
    served.type(cookie, testing::ServedDemoClassroom::kRight);
    served.type(cookie, "500 5");
    // A reload, or a second tab of the same browser: the same run, boxes as they were typed.
    json state = served.call(cookie, "state").second;
    ASSERT_EQ(state["screen"], "drill");
    EXPECT_EQ(state["drill"]["remaining"], 9);
    EXPECT_EQ(state["drill"]["boxes"][2]["text"], "500");
    EXPECT_EQ(state["drill"]["boxes"][3]["text"], "5");
    EXPECT_EQ(state["drill"]["elapsed"], 4);
    // Both tabs type on; the run ends once, with one record.
    served.type(cookie, "00 1000 ");
    for (int i = 0; i < 8; ++i) served.type(cookie, testing::ServedDemoClassroom::kRight);
    EXPECT_EQ(served.call(cookie, "state").second["screen"], "finish");
    EXPECT_EQ(served.call(cookie, "state").second["screen"], "finish");
    EXPECT_EQ(served.records().size(), 1u);
}

TEST_F(ClassroomRunsTest, TwoDevicesWorkRunsOfTheirOwn) {
    const std::string first = served.deviceInRun();
    const std::string second = served.enterCode("10.0.0.6");
    served.call(second, "login", {{"student", 2}});
    served.call(second, "level", {{"level", 1}});
    served.type(first, "500 500 1100 ");
    json secondState = served.type(second, testing::ServedDemoClassroom::kRight);
    EXPECT_FALSE(secondState["drill"]["ackPrompt"]) << "one device's wrong answer is its own";
    EXPECT_EQ(secondState["drill"]["remaining"], 9);
    EXPECT_EQ(secondState["drill"]["student"], "鈴木　蓮");
    served.call(first, "keys", {{"keys", {"plus", "plus"}}});
    for (int i = 0; i < 10; ++i) served.type(first, testing::ServedDemoClassroom::kRight);
    for (int i = 0; i < 9; ++i) served.type(second, testing::ServedDemoClassroom::kRight);
    EXPECT_TRUE(served.records().empty()) << "the last answers go back before the records";
    served.classroom->tickRuns();
    const auto records = served.records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].StudentIndex + records[1].StudentIndex, 3) << "one run of each";
    EXPECT_EQ(served.answersOf(1).at(0).answers.size(), 11u);
    EXPECT_EQ(served.answersOf(2).at(0).answers.size(), 10u);
}

TEST_F(ClassroomRunsTest, ARunWhoseDeviceSleepsPastTheLimitEndsAsATimeUp) {
    const std::string cookie = served.deviceInRun();
    served.type(cookie, testing::ServedDemoClassroom::kRight);
    served.clock.advanceSeconds(450);
    // The server's clock ends the run while the device sleeps.
    served.classroom->tickRuns();
    const auto records = served.records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].ResultSeconds, 99999);
    EXPECT_EQ(served.answersOf(1).at(0).answers.size(), 1u);
    // The device wakes: the end of the run, then the finish screen, and keys change nothing.
    json state = served.type(cookie, testing::ServedDemoClassroom::kRight);
    EXPECT_EQ(state["drill"]["ending"], "timeUp");
    state = served.call(cookie, "state").second;
    EXPECT_EQ(state["finish"]["message"], "時間切れ");
    EXPECT_EQ(state["finish"]["result"], "記録なし");
    EXPECT_EQ(served.records().size(), 1u);
}

TEST_F(ClassroomRunsTest, TheFinishScreenOffersAnotherRunAndTheMenu) {
    const std::string cookie = served.deviceInRun();
    for (int i = 0; i < 10; ++i) served.type(cookie, testing::ServedDemoClassroom::kRight);
    json state = served.call(cookie, "state").second;
    ASSERT_EQ(state["screen"], "finish");
    EXPECT_EQ(state["finish"]["message"], "！！！最高新記録！！！");
    EXPECT_EQ(state["sounds"].size(), 1u) << "the level's best sound, played once";
    EXPECT_TRUE(served.call(cookie, "state").second["sounds"].empty());
    ASSERT_TRUE(state["finish"]["offerRetry"]);
    state = served.call(cookie, "again", json::object()).second;
    EXPECT_EQ(state["screen"], "drill");
    EXPECT_EQ(state["drill"]["remaining"], 10);
    EXPECT_EQ(state["drill"]["levelRun"], 2);
    for (int i = 0; i < 10; ++i) served.type(cookie, testing::ServedDemoClassroom::kRight);
    EXPECT_EQ(served.call(cookie, "menu", json::object()).first, 409) << "not before the finish";
    EXPECT_EQ(served.call(cookie, "state").second["screen"], "finish");
    state = served.call(cookie, "menu", json::object()).second;
    ASSERT_EQ(state["screen"], "menu");
    EXPECT_EQ(state["menu"]["levels"][0]["today"], "2回/38点");
    EXPECT_EQ(served.records().size(), 2u);
    state = served.call(cookie, "leave", json::object()).second;
    EXPECT_EQ(state["screen"], "names");
}

TEST_F(ClassroomRunsTest, ASoundIsServedOnlyOnceACueHasChosenIt) {
    const std::string cookie = served.deviceInRun();
    const json state = served.type(cookie, testing::ServedDemoClassroom::kRight);
    ASSERT_EQ(state["sounds"].size(), 1u);
    const std::string address = state["sounds"][0];
    const HttpResponse sound = served.request("GET", address, {}, cookie);
    EXPECT_EQ(sound.status, 200);
    EXPECT_EQ(sound.contentType, "audio/wav");
    EXPECT_EQ(sound.body.substr(0, 4), "RIFF");
    EXPECT_EQ(served.request("GET", "/sound/7", {}, cookie).status, 404);
    EXPECT_EQ(served.request("GET", address).status, 401) << "no sound without the code";
}

}  // namespace
}  // namespace gaisan
