#pragma once

#include <QString>

#include <vector>

#include "kit/MessageBoxes.h"

namespace gaisan::testing {

/// Answers every message box at once and remembers what it said; questions get the answers
/// queued in `answers`, then Yes or OK.
class RecordingMessageBoxes final : public MessageBoxes {
public:
    struct Shown {
        QString title;
        QString text;
    };

    void inform(QWidget*, const QString& title, const QString& text) override {
        shown.push_back({title, text});
    }

    bool ask(QWidget*, const QString& title, const QString& text, Answers) override {
        shown.push_back({title, text});
        if (answers.empty()) return true;
        const bool answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }

    std::vector<Shown> shown;
    std::vector<bool> answers;
};

}  // namespace gaisan::testing
