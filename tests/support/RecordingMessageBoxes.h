#pragma once

#include <QString>

#include <vector>

#include "app/MessageBoxes.h"

namespace gaisan::testing {

/// Answers every message box at once and remembers what it said.
class RecordingMessageBoxes final : public MessageBoxes {
public:
    struct Shown {
        QString title;
        QString text;
    };

    void inform(QWidget*, const QString& title, const QString& text) override {
        shown.push_back({title, text});
    }

    std::vector<Shown> shown;
};

}  // namespace gaisan::testing
