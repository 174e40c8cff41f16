#include <termios.h>
#include <unistd.h>

#include <iostream>
#include <string>

#include "admin/Passcode.h"
#include "app/DataLocations.h"
#include "tools/CommandSupport.h"
#include "tools/Commands.h"

namespace gaisan {
namespace {

/// Turns the terminal's echo off while it lives, so that a passcode typed is not shown.
class EchoOff {
public:
    EchoOff() {
        if (::tcgetattr(STDIN_FILENO, &m_saved) != 0) return;
        termios quiet = m_saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;
        m_off = ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
    }
    ~EchoOff() {
        if (m_off) ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &m_saved);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    termios m_saved{};
    bool m_off = false;
};

std::string readLine(const char* prompt, bool fromTerminal) {
    if (fromTerminal) std::cerr << prompt << std::flush;
    std::string line;
    if (!std::getline(std::cin, line)) throw Unusable("no passcode was given");
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

/// The new passcode: typed twice without echo at a terminal, or one line of the standard input
/// for scripts.
std::string newPasscode() {
    const bool fromTerminal = ::isatty(STDIN_FILENO) == 1;
    std::string passcode;
    if (fromTerminal) {
        const EchoOff echoOff;
        passcode = readLine("New passcode: ", true);
        if (passcode.empty()) throw Unusable("the passcode is empty; nothing was changed");
        if (readLine("The passcode again: ", true) != passcode) {
            throw Unusable("the two passcodes differ; nothing was changed");
        }
    } else {
        passcode = readLine("", false);
        if (passcode.empty()) throw Unusable("the passcode is empty; nothing was changed");
    }
    return passcode;
}

}  // namespace

int passcodeCommand(const CommandLine& line) {
    if (line.operands.size() != 2) throw UsageError("expected DATA_FOLDER and set or clear");
    const std::filesystem::path file =
        DataLocations::ofProgramDataFolder(line.operands[0]).passcodeFile();
    const std::string& action = line.operands[1];
    if (action == "set") {
        if (!std::filesystem::is_directory(file.parent_path())) {
            throw Unusable(file.parent_path().string() + ": no such data folder");
        }
        writePasscode(file, newPasscode());
        std::cout << "passcode set: " << file.string() << '\n';
        return 0;
    }
    if (action == "clear") {
        const bool wasSet = std::filesystem::exists(file);
        if (const auto failure = clearPasscode(file)) throw Unusable(*failure);
        std::cout << (wasSet ? "passcode cleared: " : "no passcode was set: ") << file.string()
                  << '\n';
        return 0;
    }
    throw UsageError("passcode takes set or clear, not \"" + action + "\"");
}

}  // namespace gaisan
