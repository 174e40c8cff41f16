#include "server/RequestHandler.h"

#include <algorithm>
#include <cstdint>

#include "platform/FileBytes.h"
#include "server/ScreenJson.h"
#include "server/ServerTexts.h"

namespace gaisan {
namespace {

using nlohmann::json;

constexpr std::size_t kBudgetLimit = 8192;
constexpr std::size_t kSoundLimit = 16 * 1024 * 1024;
constexpr std::string_view kApi = "/api/";
constexpr std::string_view kSound = "/sound/";

HttpResponse jsonResponse(int status, const json& body) {
    // Invalid UTF-8 from a damaged roster is shown replaced rather than failing the answer.
    return {status,
            "application/json; charset=utf-8",
            body.dump(-1, ' ', false, json::error_handler_t::replace),
            {{"Cache-Control", "no-store"}}};
}

HttpResponse plainRefusal(int status, std::string_view message) {
    return jsonResponse(status, json{{"error", std::string(message)}});
}

/// A whole number of a JSON body's field, within int's range.
std::optional<int> wholeNumber(const json& value) {
    if (!value.is_number_integer()) return std::nullopt;
    const auto number = value.get<std::int64_t>();
    if (number < INT32_MIN || number > INT32_MAX) return std::nullopt;
    return static_cast<int>(number);
}

}  // namespace

std::string cookieValue(std::string_view header, std::string_view name) {
    while (!header.empty()) {
        const std::size_t end = std::min(header.find(';'), header.size());
        std::string_view pair = header.substr(0, end);
        header.remove_prefix(std::min(end + 1, header.size()));
        while (!pair.empty() && pair.front() == ' ') pair.remove_prefix(1);
        const std::size_t equals = pair.find('=');
        if (equals != std::string_view::npos && pair.substr(0, equals) == name) {
            return std::string(pair.substr(equals + 1));
        }
    }
    return {};
}

RequestHandler::RequestHandler(Classroom& classroom, ClassroomCode code, WebFiles pages,
                               const ProgramProfile& profile, const Clock& clock)
    : m_classroom(classroom),
      m_code(std::move(code)),
      m_pages(std::move(pages)),
      m_profile(profile),
      m_clock(clock) {}

HttpResponse RequestHandler::handle(const HttpRequest& request) {
    if (request.body.size() > kBodyLimit) return plainRefusal(413, "要求が大きすぎます");
    const std::string& path = request.path;
    const bool call = path.starts_with(kApi) || path.starts_with(kSound);
    if (!call) {
        if (request.method != "GET" && request.method != "HEAD") {
            return plainRefusal(405, "この方法の要求は受け付けません");
        }
        const WebFiles::File* file = m_pages.find(path);
        if (file == nullptr) return plainRefusal(404, "そのページはありません");
        return {200,
                file->contentType,
                file->bytes,
                {{"Cache-Control", "no-cache"},
                 {"X-Content-Type-Options", "nosniff"},
                 // Nothing from outside the classroom's server, and no framing by another page.
                 {"Content-Security-Policy",
                  "default-src 'self'; img-src 'self' data:; frame-ancestors 'none'"},
                 {"Referrer-Policy", "no-referrer"}}};
    }
    const std::optional<std::string> device =
        m_code.deviceOf(cookieValue(request.cookieHeader, kCookieName));
    if (!withinBudget(device ? *device : request.remoteAddress)) {
        return plainRefusal(429, "要求が多すぎます。少し待ちなさい。");
    }
    if (path == "/api/code") {
        if (request.method != "POST") return plainRefusal(405, "この方法の要求は受け付けません");
        return codeEntered(request);
    }
    if (!device) {
        if (path == "/api/state" && request.method == "GET") return codeScreen(200, {});
        return codeScreen(401, std::string(kCodePrompt));
    }
    if (path.starts_with(kSound)) {
        if (request.method != "GET") return plainRefusal(405, "この方法の要求は受け付けません");
        return sound(path);
    }
    return interfaceCall(request, *device);
}

HttpResponse RequestHandler::interfaceCall(const HttpRequest& request, const std::string& device) {
    const std::string_view call = std::string_view(request.path).substr(kApi.size());
    if (call == "state") {
        if (request.method != "GET") return plainRefusal(405, "この方法の要求は受け付けません");
        const ApiAnswer answer = m_classroom.state(device);
        return jsonResponse(answer.status, answer.body);
    }
    if (request.method != "POST") return plainRefusal(405, "この方法の要求は受け付けません");
    json body = request.body.empty() ? json::object() : json::parse(request.body, nullptr, false);
    if (body.is_discarded() || !body.is_object()) {
        return plainRefusal(400, "要求の中身が読めません");
    }
    const auto number = [&](const char* field) -> std::optional<int> {
        const auto found = body.find(field);
        return found == body.end() ? std::nullopt : wholeNumber(*found);
    };
    ApiAnswer answer;
    if (call == "names") {
        std::optional<std::string> band;
        if (const auto found = body.find("band"); found != body.end()) {
            if (!found->is_string()) return plainRefusal(400, "学年が読めません");
            band = found->get<std::string>();
        }
        std::optional<int> figures;
        if (body.contains("figures")) {
            figures = number("figures");
            if (!figures) return plainRefusal(400, "表示が読めません");
        }
        answer = m_classroom.names(device, std::move(band), figures);
    } else if (call == "login") {
        const auto student = number("student");
        if (!student) return plainRefusal(400, "名前の番号が読めません");
        answer = m_classroom.logIn(device, *student);
    } else if (call == "leave") {
        answer = m_classroom.leaveMenu(device);
    } else if (call == "level") {
        const auto level = number("level");
        if (!level) return plainRefusal(400, "レベルの番号が読めません");
        answer = m_classroom.startLevel(device, *level);
    } else if (call == "keys") {
        const auto found = body.find("keys");
        if (found == body.end() || !found->is_array()) return plainRefusal(400, "キーが読めません");
        if (found->size() > Classroom::kKeysPerCall) return plainRefusal(413, "キーが多すぎます");
        std::vector<DrillKey> keys;
        for (const json& key : *found) {
            const auto drillKey =
                key.is_string() ? drillKeyOf(key.get<std::string>()) : std::nullopt;
            if (!drillKey) return plainRefusal(400, "そのキーは使えません");
            keys.push_back(*drillKey);
        }
        answer = m_classroom.keys(device, keys);
    } else if (call == "again") {
        answer = m_classroom.runAgain(device);
    } else if (call == "menu") {
        answer = m_classroom.toMenu(device);
    } else {
        return plainRefusal(404, "その呼び出しはありません");
    }
    return jsonResponse(answer.status, answer.body);
}

HttpResponse RequestHandler::codeEntered(const HttpRequest& request) {
    const json body = json::parse(request.body, nullptr, false);
    const auto found = body.is_object() ? body.find("code") : body.end();
    if (body.is_discarded() || !body.is_object() || found == body.end() || !found->is_string()) {
        return plainRefusal(400, "教室コードが読めません");
    }
    const std::int64_t now = m_clock.tickMilliseconds();
    {
        const std::lock_guard lock(m_mutex);
        if (const std::int64_t wait = m_attempts.waitFor(request.remoteAddress, now); wait > 0) {
            return codeScreen(429, std::string(kWaitBeforeCode), wait);
        }
        if (!m_code.matches(found->get<std::string>())) {
            m_attempts.wrong(request.remoteAddress, now);
            return codeScreen(403, std::string(kWrongCode));
        }
        m_attempts.right(request.remoteAddress);
    }
    const std::string cookie = m_code.newDeviceCookie();
    const std::optional<std::string> device = m_code.deviceOf(cookie);
    const ApiAnswer answer = m_classroom.state(*device);
    HttpResponse response = jsonResponse(answer.status, answer.body);
    // A year: a classroom's tablet keeps its place until the code is changed.
    response.headers.emplace_back("Set-Cookie", std::string(kCookieName) + "=" + cookie +
                                                    "; Path=/; Max-Age=31536000; HttpOnly; "
                                                    "SameSite=Strict");
    return response;
}

HttpResponse RequestHandler::codeScreen(int status, const std::string& error, std::int64_t waitMs) {
    json body{{"screen", "code"}, {"texts", codeTexts(m_profile)}, {"sounds", json::array()}};
    if (!error.empty()) body["error"] = error;
    if (waitMs > 0) body["waitSeconds"] = (waitMs + 999) / 1000;
    return jsonResponse(status, body);
}

HttpResponse RequestHandler::sound(const std::string& path) {
    const std::string_view number = std::string_view(path).substr(kSound.size());
    if (number.empty() || number.size() > 6 ||
        number.find_first_not_of("0123456789") != std::string_view::npos) {
        return plainRefusal(404, "その音はありません");
    }
    const auto file = m_classroom.soundFile(std::stoi(std::string(number)));
    if (!file) return plainRefusal(404, "その音はありません");
    auto bytes = readFileBytes(*file, kSoundLimit);
    if (!bytes) return plainRefusal(404, bytes.error().text());
    return {200, "audio/wav", std::move(*bytes), {{"Cache-Control", "private, max-age=86400"}}};
}

bool RequestHandler::withinBudget(const std::string& caller) {
    const std::lock_guard lock(m_mutex);
    const std::int64_t now = m_clock.tickMilliseconds();
    if (m_budgets.size() >= kBudgetLimit && !m_budgets.contains(caller)) {
        // Callers quiet for a while have their whole burst back: forgetting them loses nothing.
        std::erase_if(m_budgets,
                      [&](const auto& entry) { return now - entry.second.lastMs > 10'000; });
        if (m_budgets.size() >= kBudgetLimit) m_budgets.clear();
    }
    auto [entry, added] = m_budgets.try_emplace(caller);
    Budget& budget = entry->second;
    if (!added) {
        budget.calls =
            std::min(kBurstCalls, budget.calls + static_cast<double>(now - budget.lastMs) / 1000.0 *
                                                     kCallsPerSecond);
    }
    budget.lastMs = now;
    if (budget.calls < 1) return false;
    budget.calls -= 1;
    return true;
}

}  // namespace gaisan
