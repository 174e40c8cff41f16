#include "rules/admin/PasscodeQuestion.h"

namespace gaisan {

PasscodeOutcome tryPasscode(const StoredPasscode& stored, PasscodeTries& tries,
                            std::string_view typed) {
    using Kind = PasscodeOutcome::Kind;
    switch (stored.state) {
        case StoredPasscode::State::None:
            return {Kind::Opened};
        case StoredPasscode::State::Damaged:
            return {Kind::Damaged};
        case StoredPasscode::State::Set:
            break;
    }
    const std::string refreshProblem = tries.refresh();
    if (const int seconds = tries.secondsToWait(); seconds > 0) {
        return {Kind::MustWait, 0, seconds, refreshProblem};
    }
    if (passcodeMatches(stored.hash, typed)) {
        const std::string countProblem = tries.right();
        return {Kind::Opened, 0, 0, countProblem};
    }
    const std::string countProblem = tries.wrong();
    if (const int seconds = tries.secondsToWait(); seconds > 0) {
        return {Kind::MustWait, 0, seconds, countProblem};
    }
    return {Kind::Wrong, tries.triesLeft(), 0, countProblem};
}

std::string passcodeOutcomeText(const PasscodeOutcome& outcome, const std::string& problem) {
    const std::string countProblem =
        outcome.countProblem.empty() ? std::string() : "\n" + outcome.countProblem;
    switch (outcome.kind) {
        case PasscodeOutcome::Kind::Opened:
            return {};
        case PasscodeOutcome::Kind::Wrong:
            return "パスコードがちがいます（あと" + std::to_string(outcome.triesLeft) + "回）" +
                   countProblem;
        case PasscodeOutcome::Kind::MustWait:
            // With a count that cannot be read, the wait may not come from three wrong tries.
            if (outcome.secondsToWait * 1000 >= PasscodeTries::kWaitMilliseconds &&
                countProblem.empty()) {
                return std::to_string(PasscodeTries::kTries) + "回まちがえたので、" +
                       std::to_string(PasscodeTries::kWaitMilliseconds / 60'000) +
                       "分待ってから入れてください";
            }
            return "まだ入れられません。あと" + std::to_string(outcome.secondsToWait) +
                   "秒待ってください" + countProblem;
        case PasscodeOutcome::Kind::Damaged:
            return "パスコードのファイルがこわれているので、データ処理を開けません。"
                   "gaisan-records passcode でパスコードを付け直してください。" +
                   problem;
    }
    return {};
}

}  // namespace gaisan
