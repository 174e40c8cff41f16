#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/Clock.h"
#include "server/Classroom.h"
#include "server/ClassroomCode.h"
#include "server/CodeAttempts.h"
#include "server/WebFiles.h"

namespace gaisan {

/// A request as the server hands it on, whatever its HTTP library.
struct HttpRequest {
    std::string method;
    std::string path;          ///< without the query
    std::string cookieHeader;  ///< the "Cookie" header as sent
    std::string body;
    std::string remoteAddress;
};

struct HttpResponse {
    int status = 200;
    std::string contentType;
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
};

/// The browser server's answers to requests: the pages' files, the sounds and the calls of the
/// interface (docs/browser-interface.md). Only devices that have entered the classroom code get
/// more than the code screen and the pages; each device's calls are counted, and a request that
/// is too large, too frequent, malformed or outside the served files gets a 4xx with a plain
/// message and changes nothing.
class RequestHandler {
public:
    static constexpr std::size_t kBodyLimit = 4096;
    /// Calls a device may make in a burst, and how many it gets back a second: far more than a
    /// child types, far fewer than a script floods.
    static constexpr double kBurstCalls = 60;
    static constexpr double kCallsPerSecond = 20;
    static constexpr const char* kCookieName = "gaisan_device";

    RequestHandler(Classroom& classroom, ClassroomCode code, WebFiles pages,
                   const ProgramProfile& profile, const Clock& clock);

    /// Thread-safe: the classroom takes one call at a time, and so does the code's bookkeeping.
    HttpResponse handle(const HttpRequest& request);

private:
    HttpResponse interfaceCall(const HttpRequest& request, const std::string& device);
    HttpResponse codeEntered(const HttpRequest& request);
    HttpResponse codeScreen(int status, const std::string& error, std::int64_t waitMs = 0);
    HttpResponse sound(const std::string& path);
    bool withinBudget(const std::string& caller);

    Classroom& m_classroom;
    ClassroomCode m_code;
    WebFiles m_pages;
    const ProgramProfile& m_profile;
    const Clock& m_clock;
    std::mutex m_mutex;  ///< guards the attempts and the budgets
    CodeAttempts m_attempts;
    struct Budget {
        double calls = kBurstCalls;
        std::int64_t lastMs = 0;
    };
    std::unordered_map<std::string, Budget> m_budgets;
};

/// The value of cookie `name` in a "Cookie" header; empty when absent.
std::string cookieValue(std::string_view header, std::string_view name);

}  // namespace gaisan
