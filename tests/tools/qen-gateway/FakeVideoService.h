#pragma once
// A loopback stand-in for the YouTube Data API and an Invidious instance, answering with
// the recorded answers of fixtures/ and misbehaving on demand. Counts what it is asked.
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace qen::test {

inline std::string GatewayFixture(const std::string& name) {
    std::ifstream file(std::string(QEN_GATEWAY_FIXTURES) + "/" + name, std::ios::binary);
    if (!file) throw std::runtime_error("no fixture " + name);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

class FakeVideoService {
public:
    enum class Mode { Normal, Quota, TooManyRequests, BadKey, ServerError, NotJson, Oversized, Slow };

    FakeVideoService() {
        server_.Get("/youtube/v3/search", [this](const httplib::Request& in, httplib::Response& out) {
            Record(in);
            if (Misbehave(out)) return;
            const std::string token = in.get_param_value("pageToken");
            if (token.empty()) return Json(out, GatewayFixture("youtube-search-angular-aggrid.json"));
            if (token == "CDIQAA") return Json(out, GatewayFixture("youtube-search-rn-video-app.json"));
            if (token == "CAoQAA") return Json(out, GatewayFixture("youtube-search-thinkful.json"));
            Json(out, R"({"kind": "youtube#searchListResponse", "items": []})");
        });
        server_.Get("/youtube/v3/videos", [this](const httplib::Request& in, httplib::Response& out) {
            Record(in);
            if (Misbehave(out)) return;
            // Written here: the title of the first video of the recorded search.
            Json(out, R"({"kind": "youtube#videoListResponse", "items": [{"kind": "youtube#video", "id": ")" +
                          in.get_param_value("id") +
                          R"(", "snippet": {"title": "Minecraft Mais j&#39;ai ajouté des armes à feu !"}}]})");
        });
        server_.Get("/invidious/api/v1/search", [this](const httplib::Request& in, httplib::Response& out) {
            Record(in);
            if (Misbehave(out)) return;
            const int page = std::atoi(in.get_param_value("page").c_str());
            if (page == 1) return Json(out, GatewayFixture("invidious-list-funami.json"));
            Json(out, page <= invidiousPages ? GeneratedInvidiousPage(page) : "[]");
        });
        server_.Get(R"(/invidious/api/v1/videos/([A-Za-z0-9_-]+))", [this](const httplib::Request& in,
                                                                             httplib::Response& out) {
            Record(in);
            if (Misbehave(out)) return;
            Json(out, GatewayFixture("invidious-video-b0tbxShxFws.json"));
        });
        server_.new_task_queue = [] { return new httplib::ThreadPool(16); };
        port_ = server_.bind_to_any_port("127.0.0.1");
        if (port_ <= 0) throw std::runtime_error("no free loopback port");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~FakeVideoService() {
        server_.stop();
        thread_.join();
    }

    std::string YouTubeBase() const { return "http://127.0.0.1:" + std::to_string(port_) + "/youtube/v3"; }
    std::string InvidiousInstance() const { return "http://127.0.0.1:" + std::to_string(port_) + "/invidious"; }

    void SetMode(Mode mode) { mode_ = mode; }
    // Each answer waits this long first (for requests that should meet).
    void SetDelay(std::chrono::milliseconds delay) { delay_ = delay; }

    std::vector<std::string> Calls() {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    std::size_t CallCount() { return Calls().size(); }

    // Pages 2 .. invidiousPages answer 20 generated videos each; later pages none.
    int invidiousPages = 1;

private:
    void Record(const httplib::Request& in) {
        std::string call = in.path;
        for (const auto& [name, value] : in.params) call += (call == in.path ? "?" : "&") + name + "=" + value;
        std::lock_guard lock(mutex_);
        calls_.push_back(call);
    }

    static void Json(httplib::Response& out, const std::string& body) { out.set_content(body, "application/json"); }

    static std::string GeneratedInvidiousPage(int page) {
        std::string list = "[";
        for (int i = 0; i < 20; ++i) {
            const std::string id = "gen" + std::to_string(page) + "x" + std::to_string(i);
            list += (i ? "," : "") + std::string(R"({"type":"video","videoId":")") + id + R"(","title":"Video )" +
                    id + R"("})";
        }
        return list + "]";
    }

    bool Misbehave(httplib::Response& out) {
        if (delay_.count() > 0) std::this_thread::sleep_for(delay_);
        switch (mode_.load()) {
            case Mode::Quota:
                out.status = 403;
                Json(out, GatewayFixture("youtube-quota-error.json"));
                return true;
            case Mode::TooManyRequests:
                out.status = 429;
                out.set_content("Too Many Requests", "text/plain");
                return true;
            case Mode::BadKey:
                out.status = 400;
                Json(out, R"({"error": {"code": 400, "message": "API key not valid. Please pass a valid API key.",)"
                          R"( "errors": [{"domain": "global", "reason": "badRequest"}]}})");
                return true;
            case Mode::ServerError:
                out.status = 503;
                out.set_content("<html>busy</html>", "text/html");
                return true;
            case Mode::NotJson:
                out.set_content("<html>a login page</html>", "text/html");
                return true;
            case Mode::Oversized:
                out.set_content(std::string(6u << 20, ' '), "application/json");
                return true;
            case Mode::Slow:
                std::this_thread::sleep_for(std::chrono::milliseconds(1500));
                Json(out, "[]");
                return true;
            default:
                return false;
        }
    }

    httplib::Server server_;
    std::thread thread_;
    int port_ = -1;
    std::atomic<Mode> mode_ = Mode::Normal;
    std::chrono::milliseconds delay_{0};
    std::mutex mutex_;
    std::vector<std::string> calls_;
};

}  // namespace qen::test
