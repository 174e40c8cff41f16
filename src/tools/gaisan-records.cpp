// gaisan-records: the shared results file for teachers and scripts, on the same code, lock,
// retries and counting rules as the program. Output is UTF-8, tab-separated.

#include <iostream>
#include <string>
#include <vector>

#include "tools/CommandSupport.h"
#include "tools/Commands.h"

namespace gaisan {
namespace {

int run(const std::vector<std::string>& arguments) {
    if (arguments.empty()) throw UsageError("no command");
    const std::string& name = arguments.front();
    const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    for (const Command& command : commands()) {
        if (name == command.name)
            return command.run(CommandLine::parse(rest, command.options, command.flags));
    }
    throw UsageError("unknown command \"" + name + "\"");
}

}  // namespace

/// "FILE: " for the file or folder a command names, so that an unexpected failure still says
/// which file it met; empty when the command names none.
std::string fileOperandOf(int argc, char* argv[]) {
    if (argc < 3) return "";
    const std::string operand = argv[2];
    return operand.starts_with("--") ? "" : operand + ": ";
}

}  // namespace gaisan

int main(int argc, char* argv[]) {
    try {
        const int status = gaisan::run(std::vector<std::string>(argv + 1, argv + argc));
        // Output that never arrived (a full disk, a closed pipe) is no success.
        std::cout.flush();
        if (!std::cout) {
            std::cerr << "gaisan-records: the output could not be written\n";
            return 2;
        }
        return status;
    } catch (const gaisan::UsageError& e) {
        std::cerr << "gaisan-records: " << e.what() << '\n' << gaisan::usageText();
    } catch (const gaisan::Unusable& e) {
        std::cerr << "gaisan-records: " << e.what() << '\n';
    } catch (const std::bad_alloc&) {
        std::cerr << "gaisan-records: " << gaisan::fileOperandOf(argc, argv)
                  << "not enough memory to go on\n";
    } catch (const std::exception& e) {
        std::cerr << "gaisan-records: " << gaisan::fileOperandOf(argc, argv) << e.what() << '\n';
    } catch (...) {
        std::cerr << "gaisan-records: " << gaisan::fileOperandOf(argc, argv)
                  << "an unexpected error ended the command\n";
    }
    return 2;
}
