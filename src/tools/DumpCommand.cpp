#include "tools/Commands.h"

#include <iostream>

#include "stores/results/RecordStream.h"
#include "tools/CommandSupport.h"
#include "tools/DumpLine.h"

namespace gaisan {

int dumpCommand(const CommandLine& line) {
    const Expected<RecordReadEnd> end =
        forEachRecord(onlyOperand(line, "FILE"), [&](std::uint64_t number, const ResultRecord& r) {
            std::cout << dumpLine(number, r) << '\n';
        });
    if (!end) throw Unusable(end.error().text());
    reportPartial(*end);
    return 0;
}

}  // namespace gaisan
