#include <termios.h>
#include <unistd.h>

#include <iostream>
#include <string>

#include "base/DataLocations.h"
#include "stores/installation/Passcode.h"
#include "stores/installation/PasscodeTryCount.h"
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

[[noreturn]] void refuseTooLong() {
    throw Unusable("the passcode is longer than " + std::to_string(kLongestPasscode) +
                   " characters; nothing was changed");
}

/// One line of the standard input, read no further than a passcode can be long, so that an
/// input that never ends is refused instead of read for ever.
std::string readLine(const char* prompt, bool fromTerminal) {
    if (fromTerminal) std::cerr << prompt << std::flush;
    std::string line;
    char c = 0;
    bool ended = false;
    while (std::cin.get(c)) {
        if (c == '\n') {
            ended = true;
            break;
        }
        line += c;
        // One more for the carriage return of a line from a Windows editor.
        if (line.size() > kLongestPasscode + 1) refuseTooLong();
    }
    if (!ended && line.empty()) throw Unusable("no passcode was given");
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

/// Refuses a passcode that the passcode box of the program could not take, so that the
/// teacher is never locked out by a terminal left in full-width mode.
void refuseUntypable(const std::string& passcode) {
    if (passcode.empty()) throw Unusable("the passcode is empty; nothing was changed");
    if (passcode.size() > kLongestPasscode) refuseTooLong();
    const auto untypable = firstUntypableCharacter(passcode);
    if (!untypable) return;
    // The character itself is not shown: it was typed unseen, and the screen may be watched.
    const std::string what = untypable->kind == UntypableCharacter::Kind::Control
                                 ? "a control character (an arrow, Tab or Esc key?)"
                                 : "not a half-width character (full-width, kana or kanji?)";
    throw Unusable("character " + std::to_string(untypable->position) + " of the passcode is " +
                   what +
                   "; the program's passcode box takes only half-width letters, digits, spaces "
                   "and the signs ! \" # $ % & ' ( ) * + , - . / : ; < = > ? @ [ \\ ] ^ _ ` { | } "
                   "~ (turn the input method or full-width mode off); nothing was changed");
}

/// The new passcode: typed twice without echo at a terminal, or one line of the standard input
/// for scripts; one the passcode box could not take is refused.
std::string newPasscode() {
    const bool fromTerminal = ::isatty(STDIN_FILENO) == 1;
    std::string passcode;
    if (fromTerminal) {
        const EchoOff echoOff;
        passcode = readLine("New passcode: ", true);
        refuseUntypable(passcode);
        if (readLine("The passcode again: ", true) != passcode) {
            throw Unusable("the two passcodes differ; nothing was changed");
        }
    } else {
        passcode = readLine("", false);
        refuseUntypable(passcode);
    }
    return passcode;
}

/// A new or cleared passcode starts with all its tries: a teacher who was kept waiting by a
/// passcode nobody could type sets a new one and is let in at once. Status 1 when the count of
/// wrong tries stays.
int startTriesAfresh(const std::filesystem::path& countFile) {
    if (const auto cleared = clearPasscodeTryCount(countFile); !cleared) {
        std::cerr << "problem: the wrong tries are still counted: " << cleared.error().text()
                  << '\n';
        return 1;
    }
    return 0;
}

}  // namespace

int passcodeCommand(const CommandLine& line) {
    if (line.operands.size() != 2) throw UsageError("expected DATA_FOLDER and set or clear");
    const DataLocations locations = DataLocations::ofProgramDataFolder(line.operands[0]);
    const std::filesystem::path file = locations.passcodeFile();
    const std::string& action = line.operands[1];
    if (action == "set") {
        if (!std::filesystem::is_directory(file.parent_path())) {
            throw Unusable(file.parent_path().string() + ": no such data folder");
        }
        if (const auto written = writePasscode(file, newPasscode()); !written) {
            throw Unusable(written.error().text());
        }
        std::cout << "passcode set: " << file.string() << '\n';
        return startTriesAfresh(locations.passcodeTriesFile());
    }
    if (action == "clear") {
        const bool wasSet = std::filesystem::exists(file);
        if (const auto cleared = clearPasscode(file); !cleared) {
            throw Unusable(cleared.error().text());
        }
        std::cout << (wasSet ? "passcode cleared: " : "no passcode was set: ") << file.string()
                  << '\n';
        return startTriesAfresh(locations.passcodeTriesFile());
    }
    throw UsageError("passcode takes set or clear, not \"" + action + "\"");
}

}  // namespace gaisan
