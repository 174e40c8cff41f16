#include "rules/exports/MistakeCommandLines.h"

#include <cstdio>

#include "base/DateTexts.h"
#include "platform/Calendar.h"
#include "rules/analysis/MistakeScreenTexts.h"
#include "rules/exports/AnswersSpreadsheet.h"

namespace gaisan {
namespace {

std::string shareText(std::optional<double> share) {
    if (!share) return "-";
    char text[16];
    std::snprintf(text, sizeof text, "%.1f%%", *share * 100);
    return text;
}

std::string secondsField(std::optional<double> seconds) {
    return seconds ? tenthsText(*seconds) : "-";
}

std::string kindName(MistakeKind kind) { return mistakeName(BoxMistake{kind}); }

std::string exampleLine(MistakeKind kind, const MistakeExample& example) {
    std::string line = "example\t" + kindName(kind) + '\t' + dateText(example.run.date) + '\t' +
                       clockText(example.run.clock);
    for (const std::string& field : answerFields(example.answer, example.mistakes))
        line += '\t' + field;
    return line;
}

}  // namespace

std::vector<std::string> mistakeCommandLines(const MistakeSummary& summary) {
    const MistakeCounts& counts = summary.counts;
    std::vector<std::string> lines = {
        "runs\t" + std::to_string(summary.runs),
        "answers\t" + std::to_string(counts.answers) + "\tright\t" + std::to_string(counts.right) +
            "\twrong\t" + std::to_string(counts.wrong()) + '\t' + shareText(counts.wrongShare()),
    };
    if (const std::vector<MistakeKind> weakest = summary.weakestKinds(); !weakest.empty()) {
        std::string line = "weakest";
        for (const MistakeKind kind : weakest) line += '\t' + kindName(kind);
        lines.push_back(std::move(line));
    }
    for (const MistakeKindName& name : mistakeKindNames()) {
        const std::uint64_t boxes = counts.boxesOfKind.at(static_cast<std::size_t>(name.kind));
        if (name.kind == MistakeKind::Correct || boxes == 0) continue;
        lines.push_back("kind\t" + name.name + '\t' + std::to_string(boxes) + '\t' +
                        shareText(counts.shareOf(name.kind)));
    }
    for (std::size_t type = 1; type < summary.timeByType.size(); ++type) {
        const TypeTime& time = summary.timeByType[type];
        if (time.answers == 0) continue;
        lines.push_back("type\t" + std::to_string(type) + '\t' + std::to_string(time.answers) +
                        '\t' + secondsField(time.secondsPerAnswer()));
    }
    for (const auto& [monday, week] : summary.weeks) {
        lines.push_back("week\t" + dateText(monday) + '\t' + std::to_string(week.answers) + '\t' +
                        std::to_string(week.wrong()) + '\t' + shareText(week.wrongShare()));
    }
    for (const MistakeKindName& name : mistakeKindNames()) {
        for (const MistakeExample& example :
             summary.examples.at(static_cast<std::size_t>(name.kind))) {
            lines.push_back(exampleLine(name.kind, example));
        }
    }
    return lines;
}

}  // namespace gaisan
