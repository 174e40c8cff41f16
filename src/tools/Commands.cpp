#include "tools/Commands.h"

namespace gaisan {

const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        {"dump", {}, "  gaisan-records dump FILE\n", dumpCommand},
        {"append",
         {"student", "level", "seconds", "school", "at"},
         "  gaisan-records append FILE --student N --level N --seconds N [--school CODE]\n"
         "                        [--at \"YYYY-MM-DD HH:MM:SS\"]\n",
         appendCommand},
        {"counts",
         {"now"},
         "  gaisan-records counts DATA_FOLDER [--now \"YYYY-MM-DD HH:MM:SS\"]\n",
         countsCommand},
        {"roster",
         {"now"},
         "  gaisan-records roster DATA_ROOT [--now \"YYYY-MM-DD HH:MM:SS\"]\n",
         rosterCommand},
        {"check",
         {"now"},
         "  gaisan-records check FILE [--now \"YYYY-MM-DD HH:MM:SS\"]\n",
         checkCommand},
        {"export",
         {"from", "to", "encoding", "output"},
         "  gaisan-records export DATA_FOLDER [--from YYYY-MM-DD] [--to YYYY-MM-DD]\n"
         "                        [--encoding utf-8|cp932] [--output FILE]\n",
         exportCommand},
        {"answers",
         {"student", "from", "to", "encoding", "output"},
         "  gaisan-records answers DATA_FOLDER [--student N] [--from YYYY-MM-DD] [--to "
         "YYYY-MM-DD]\n"
         "                         [--encoding utf-8|cp932] [--output FILE]\n",
         answersCommand},
        {"mistakes",
         {"student", "band", "from", "to", "now"},
         "  gaisan-records mistakes DATA_FOLDER [--student N] [--band 全学年|中学生全体|...|小１]\n"
         "                          [--from YYYY-MM-DD] [--to YYYY-MM-DD]\n"
         "                          [--now \"YYYY-MM-DD HH:MM:SS\"]\n",
         mistakesCommand},
        {"list",
         {"list", "period", "view", "band", "student", "now"},
         "  gaisan-records list DATA_FOLDER --list "
         "best|points-total|points-today|today|period|personal\n"
         "                      [--period week|since-last-week|month|year|all] [--view "
         "time|points]\n"
         "                      [--band 全学年|中学生全体|小学生全体|中３|...|小１] [--student N]\n"
         "                      [--now \"YYYY-MM-DD HH:MM:SS\"]\n"
         "    (--period and --view choose the period list's runs and rows)\n",
         listCommand},
        {"delete", {"expect"}, "  gaisan-records delete FILE N [--expect LINE]\n", deleteCommand},
        {"history",
         {},
         "  gaisan-records history FILE [--set-aside-damaged]\n",
         historyCommand,
         {"set-aside-damaged"}},
        {"set",
         {"seconds", "student", "expect"},
         "  gaisan-records set FILE N [--seconds S] [--student N] [--expect LINE]\n",
         setCommand},
        {"undo", {"expect"}, "  gaisan-records undo FILE ENTRY [--expect LINE]\n", undoCommand},
        {"passcode", {}, "  gaisan-records passcode DATA_FOLDER set|clear\n", passcodeCommand},
    };
    return table;
}

std::string usageText() {
    std::string text = "usage:\n";
    for (const Command& command : commands()) text += command.usage;
    return text +
           "LINE is record N's whole line as dump prints it (for undo, the entry's last record as\n"
           "history prints it); without a match nothing changes.\n";
}

}  // namespace gaisan
