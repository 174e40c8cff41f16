// gaisan-server: the drill for the classroom's browsers (tablets, Chromebooks, PCs), served by
// the machine that holds or mounts the data folder. See docs/browser-interface.md and the README.

#include <arpa/inet.h>
#include <httplib.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <qrencode.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <thread>

#include "base/AppState.h"
#include "platform/Clock.h"
#include "platform/PosixRecordFile.h"
#include "rules/student/ProgramStart.h"
#include "rules/student/ResultsAccess.h"
#include "server/Classroom.h"
#include "server/ClassroomCode.h"
#include "server/DeviceRandom.h"
#include "server/RequestHandler.h"
#include "server/WebFiles.h"
#include "stores/installation/Configuration.h"

namespace {

using namespace gaisan;

constexpr const char* kUsage =
    "usage: gaisan-server [--listen ADDRESS:PORT] INSTALLATION\n"
    "       gaisan-server --new-code INSTALLATION\n"
    "INSTALLATION is the folder that holds パスデータ.txt and the program's folder gaisan/.\n"
    "The default address is 0.0.0.0:8421, every network of this machine; port 0 takes a free "
    "one.\n";
constexpr int kDefaultPort = 8421;
/// Enough threads for a class's devices, each holding its connection open between keys.
constexpr std::size_t kThreads = 96;

struct Options {
    std::string host = "0.0.0.0";
    int port = kDefaultPort;
    std::filesystem::path installation;
    bool newCode = false;
};

std::optional<Options> parseOptions(int argc, char* argv[]) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--listen" && i + 1 < argc) {
            const std::string listen = argv[++i];
            const std::size_t colon = listen.rfind(':');
            if (colon == std::string::npos || colon + 1 == listen.size()) return std::nullopt;
            const std::string port = listen.substr(colon + 1);
            if (port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos) {
                return std::nullopt;
            }
            options.port = std::stoi(port);
            if (options.port > 65535) return std::nullopt;
            options.host = listen.substr(0, colon);
            // "[::1]" names an IPv6 address with its port after it.
            if (options.host.size() > 2 && options.host.front() == '[' &&
                options.host.back() == ']') {
                options.host = options.host.substr(1, options.host.size() - 2);
            }
        } else if (argument == "--new-code") {
            options.newCode = true;
        } else if (!argument.starts_with("-") && options.installation.empty()) {
            options.installation = argument;
        } else {
            return std::nullopt;
        }
    }
    if (options.installation.empty()) return std::nullopt;
    return options;
}

/// The address the devices open: where the server listens on every network, this machine's
/// first address on one of them (a device cannot open 0.0.0.0).
std::string addressToOpen(const std::string& host, int port) {
    std::string shown = host;
    if (host == "0.0.0.0" || host == "::" || host.empty()) {
        shown = "127.0.0.1";
        ifaddrs* interfaces = nullptr;
        if (getifaddrs(&interfaces) == 0) {
            for (const ifaddrs* at = interfaces; at != nullptr; at = at->ifa_next) {
                if (at->ifa_addr == nullptr || at->ifa_addr->sa_family != AF_INET) continue;
                const auto* address = reinterpret_cast<const sockaddr_in*>(at->ifa_addr);
                if (ntohl(address->sin_addr.s_addr) >> 24 == 127) continue;
                char text[INET_ADDRSTRLEN];
                if (inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) != nullptr) {
                    shown = text;
                    break;
                }
            }
            freeifaddrs(interfaces);
        }
    } else if (host.find(':') != std::string::npos) {
        shown = "[" + host + "]";
    }
    return "http://" + shown + ":" + std::to_string(port) + "/";
}

/// The address as a QR code for the devices' cameras, two rows of modules to a line of text.
void printQrCode(const std::string& address) {
    std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString(address.c_str(), 0, QR_ECLEVEL_M, QR_MODE_8, 1), &QRcode_free);
    if (!code) return;
    const int quiet = 2;
    const int size = code->width + 2 * quiet;
    const auto dark = [&](int row, int column) {
        row -= quiet;
        column -= quiet;
        if (row < 0 || column < 0 || row >= code->width || column >= code->width) return false;
        return (code->data[row * code->width + column] & 1) != 0;
    };
    // Dark modules print as spaces on a light block, so the code reads on a dark terminal too.
    for (int row = 0; row < size; row += 2) {
        std::string line;
        for (int column = 0; column < size; ++column) {
            const bool top = dark(row, column);
            const bool bottom = row + 1 < size && dark(row + 1, column);
            line += top ? (bottom ? " " : "▄") : (bottom ? "▀" : "█");
        }
        std::cout << line << '\n';
    }
    std::cout.flush();
}

/// Where the pages are: beside the installed program (/usr/bin → /usr/share/gaisan/web), or in
/// the source tree of a build that is not installed. Where neither is there, the installed place
/// is the one to name.
std::filesystem::path pagesFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::filesystem::path installed =
        program.parent_path().parent_path() / "share/gaisan/web";
    if (!error && std::filesystem::is_directory(installed, error)) return installed;
    if (std::filesystem::is_directory(GAISAN_WEB_FOLDER, error)) return GAISAN_WEB_FOLDER;
    return installed;
}

int fail(const Failure& failure) {
    std::cerr << "gaisan-server: " << failure.text() << '\n';
    return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::optional<Options> options = parseOptions(argc, argv);
    if (!options) {
        std::cerr << kUsage;
        return 2;
    }
    // SIGTERM and Ctrl-C are waited for by a thread of their own, never delivered mid-record.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    auto state = std::make_unique<AppState>();
    SystemClock clock;
    DeviceRandom random;
    static_cast<void>(startProgram(*state, clock, random));
    if (auto loaded = LoadConfiguration(*state, options->installation / "gaisan"); !loaded) {
        return fail(loaded.error());
    }
    ApplyProfileLevels(state->profile);
    const std::filesystem::path codeFile = state->locations.classroomCodeFile();
    if (options->newCode) {
        auto code = ClassroomCode::renew(codeFile);
        if (!code) return fail(code.error());
        std::cout << code->digits() << '\n';
        return 0;
    }
    auto code = ClassroomCode::loadOrCreate(codeFile);
    if (!code) return fail(code.error());
    auto pages = WebFiles::read(pagesFolder());
    if (!pages) return fail(pages.error());

    PosixRecordFile recordFile;
    ResultsAccess results(
        *state, recordFile, clock,
        [](int seconds) { std::this_thread::sleep_for(std::chrono::seconds(seconds)); },
        [](const std::string&) {});
    if (auto writable = results.checkWritable(); !writable) return fail(writable.error());

    Classroom classroom(*state, results, clock, random);
    const std::string digits = code->digits();
    RequestHandler handler(classroom, std::move(*code), std::move(*pages), state->profile, clock);

    httplib::Server server;
    server.new_task_queue = [] { return new httplib::ThreadPool(kThreads); };
    server.set_payload_max_length(RequestHandler::kBodyLimit);
    server.set_read_timeout(5, 0);
    server.set_write_timeout(5, 0);
    server.set_keep_alive_timeout(5);
    // A device's page keeps its connection for as long as the child works, rather than making
    // a new one every fifth request.
    server.set_keep_alive_max_count(100000);
    // An answer is small and awaited: sent at once, not held back to be joined with more.
    server.set_tcp_nodelay(true);
    const auto serve = [&handler](const httplib::Request& request, httplib::Response& response) {
        HttpRequest call{request.method, request.path, request.get_header_value("Cookie"),
                         request.body, request.remote_addr};
        HttpResponse answer = handler.handle(call);
        response.status = answer.status;
        for (auto& [name, value] : answer.headers) response.set_header(name, value);
        response.set_content(std::move(answer.body), answer.contentType);
    };
    server.Get(".*", serve);
    server.Post(".*", serve);

    // The HTTP library would share the port with any other program that asks (SO_REUSEPORT),
    // so that a second server started by mistake would take half the classroom's requests
    // unnoticed; only a restart's quick reuse of the address is allowed. A class's devices
    // connect at the same moment, and the library's queue of five waiting connections would
    // leave most of them waiting, so the queue is lengthened once the socket listens.
    int listening = -1;
    server.set_socket_options([&listening](socket_t socket) {
        const int yes = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        listening = socket;
    });
    const int port = options->port == 0
                         ? server.bind_to_any_port(options->host)
                         : (server.bind_to_port(options->host, options->port) ? options->port : -1);
    if (port < 0) {
        std::cerr << "gaisan-server: " << options->host << ":" << options->port
                  << " で待ち受けられません (使用中か、このマシンのアドレスではありません)\n";
        return 1;
    }
    if (listening >= 0) ::listen(listening, SOMAXCONN);
    const std::string address = addressToOpen(options->host, port);
    std::cout << address << '\n' << digits << '\n';
    std::cout.flush();
    printQrCode(address);

    std::atomic<bool> stopping = false;
    std::mutex sweepMutex;
    std::condition_variable sweepWake;
    std::thread sweeper([&] {
        std::unique_lock lock(sweepMutex);
        while (
            !sweepWake.wait_for(lock, std::chrono::seconds(1), [&] { return stopping.load(); })) {
            classroom.tickRuns();
        }
    });
    std::thread stopper([&] {
        int signalNumber = 0;
        sigwait(&stopSignals, &signalNumber);
        stopping = true;
        server.stop();
    });

    const bool served = server.listen_after_bind();
    // The calls under way have finished.
    {
        const std::lock_guard lock(sweepMutex);
        stopping = true;
    }
    sweepWake.notify_all();
    sweeper.join();
    // A run whose last answer was judged just before the stop is recorded now.
    classroom.tickRuns();
    if (stopper.joinable()) {
        // The server ended by itself: the signal thread is woken to end too.
        if (!served) kill(getpid(), SIGTERM);
        stopper.join();
    }
    return served ? 0 : 1;
}
