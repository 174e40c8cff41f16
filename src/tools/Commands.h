#pragma once

#include <string>
#include <vector>

#include "tools/CommandLine.h"

namespace gaisan {

/// One command of gaisan-records: its name, the options it accepts, its lines of the usage text,
/// what it does, returning the exit status, and the flags it accepts. The dispatch and the usage
/// text both come from the table of them, so that neither can forget a command.
struct Command {
    const char* name;
    std::vector<std::string> options;
    const char* usage;
    int (*run)(const CommandLine& line);
    std::vector<std::string> flags = {};
};

/// Every command, in the order the usage text lists them.
const std::vector<Command>& commands();

/// "usage:", every command's lines, and what a LINE is.
std::string usageText();

int dumpCommand(const CommandLine& line);
int appendCommand(const CommandLine& line);
int countsCommand(const CommandLine& line);
int rosterCommand(const CommandLine& line);
int checkCommand(const CommandLine& line);
int exportCommand(const CommandLine& line);
int answersCommand(const CommandLine& line);
int mistakesCommand(const CommandLine& line);
int listCommand(const CommandLine& line);
int deleteCommand(const CommandLine& line);
int historyCommand(const CommandLine& line);
int setCommand(const CommandLine& line);
int undoCommand(const CommandLine& line);
int passcodeCommand(const CommandLine& line);

}  // namespace gaisan
