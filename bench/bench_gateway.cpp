// qen-gateway against today's engines, on loopback with a fake of the video service:
//  - cache-hit answers per second with 32 clients at once, as a share of nginx serving the
//    same bytes as a static file in the same run ("speedup": gateway rate / nginx rate,
//    goal at least 0.5);
//  - a whole latest-videos run of the program through the gateway on a warm cache, against
//    the same run straight against feedsim ("ratio", goal at most 1.1).
#include <benchmark/benchmark.h>
#include <httplib.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <sys/socket.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "FakeVideoService.h"
#include "KeywordRun.h"
#include "SideBySide.h"
#include "feedsim/FeedSimServer.h"
#include "qen-gateway/GatewayServer.h"

extern char** environ;

namespace {

constexpr int kClients = 32;
constexpr int kRequestsPerClient = 250;
constexpr const char* kFeedPath =
    "/feeds/api/videos?q=dog-training&start-index=1&max-results=50&v=2&format=5&orderby=viewCount";

std::string NewFolder() {
    char pattern[] = "/tmp/qen-bench-gateway-XXXXXX";
    return mkdtemp(pattern);
}

class Gateway {
public:
    Gateway(qen::test::FakeVideoService& service, const std::string& folder) {
        qen::gateway::GatewayOptions options;
        options.source = "invidious";
        options.instance = service.InvidiousInstance();
        options.port = 0;
        options.cacheDir = qen::Path(folder + "/gateway-cache");
        server_ = std::make_unique<qen::gateway::GatewayServer>(options, log_);
        if (!server_->Start().empty()) throw std::runtime_error("the gateway did not start");
    }
    std::string Address() const { return server_->Address(); }
    std::string Host() const { return Address().substr(7); }

private:
    std::ostringstream log_;
    std::unique_ptr<qen::gateway::GatewayServer> server_;
};

int FreePort() {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    close(probe);
    return port;
}

// Debian's nginx serving one static file at `path`, as the current user.
class StaticNginx {
public:
    StaticNginx(const std::string& folder, const std::string& path, const std::string& body) {
        const char* nginx = access("/usr/sbin/nginx", X_OK) == 0 ? "/usr/sbin/nginx" : nullptr;
        if (!nginx) return;
        std::filesystem::create_directories(folder + "/www" + path.substr(0, path.rfind('/')));
        std::ofstream(folder + "/www" + path, std::ios::binary) << body;
        port_ = FreePort();
        std::ofstream config(folder + "/nginx.conf");
        config << (geteuid() == 0 ? "user root;\n" : "") << "worker_processes 1;\ndaemon off;\npid " << folder
               << "/nginx.pid;\nerror_log " << folder << "/error.log;\nevents { worker_connections 1024; }\n"
               << "http {\n access_log off;\n client_body_temp_path " << folder << "/b;\n proxy_temp_path " << folder
               << "/p;\n fastcgi_temp_path " << folder << "/f;\n uwsgi_temp_path " << folder << "/u;\n scgi_temp_path "
               << folder << "/s;\n server {\n  listen 127.0.0.1:" << port_ << ";\n  root " << folder
               << "/www;\n  default_type application/atom+xml;\n }\n}\n";
        config.close();
        const std::string configPath = folder + "/nginx.conf", errorLog = folder + "/error.log";
        const char* argv[] = {nginx, "-e", errorLog.c_str(), "-p", folder.c_str(), "-c", configPath.c_str(), nullptr};
        if (posix_spawn(&pid_, nginx, nullptr, nullptr, const_cast<char**>(argv), environ) != 0) pid_ = 0;
        for (int i = 0; i < 200 && pid_; ++i) {
            httplib::Client client("127.0.0.1", port_);
            if (client.Get("/")) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    ~StaticNginx() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    bool Running() const { return pid_ > 0; }
    std::string Address() const { return "http://127.0.0.1:" + std::to_string(port_); }

private:
    pid_t pid_ = 0;
    int port_ = 0;
};

// A client as lean as can be on one kept-alive connection: the request's bytes are made
// once and each answer is read by its length, so that the clients, which share the
// machine with the server, weigh little beside either server.
class LeanClient {
public:
    LeanClient(int port, const std::string& path)
        : request_("GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) + "\r\n\r\n") {
        socket_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        const int yes = 1;
        setsockopt(socket_, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        if (connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            close(socket_);
            socket_ = -1;
        }
    }
    ~LeanClient() {
        if (socket_ >= 0) close(socket_);
    }
    LeanClient(const LeanClient&) = delete;
    LeanClient& operator=(const LeanClient&) = delete;

    // The size of a 200 answer's body; -1 for any other answer or a broken connection.
    long Get() {
        if (socket_ < 0 || send(socket_, request_.data(), request_.size(), MSG_NOSIGNAL) !=
                               static_cast<ssize_t>(request_.size()))
            return -1;
        std::size_t headEnd;
        while ((headEnd = buffer_.find("\r\n\r\n")) == std::string::npos)
            if (!Receive()) return -1;
        std::string head = buffer_.substr(0, headEnd);
        for (char& c : head) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const std::size_t length = head.find("\r\ncontent-length:");
        if (!head.starts_with("http/1.1 200") || length == std::string::npos) return -1;
        const std::size_t total = headEnd + 4 + std::stoul(head.substr(length + 17));
        while (buffer_.size() < total)
            if (!Receive()) return -1;
        buffer_.erase(0, total);
        return static_cast<long>(total - headEnd - 4);
    }

private:
    bool Receive() {
        char chunk[65536];
        const ssize_t got = recv(socket_, chunk, sizeof chunk, 0);
        if (got <= 0) return false;
        buffer_.append(chunk, static_cast<std::size_t>(got));
        return true;
    }

    std::string request_, buffer_;
    int socket_ = -1;
};

int PortOf(const std::string& address) { return std::stoi(address.substr(address.rfind(':') + 1)); }

// 32 clients, each on its own kept-alive connection; false when an answer was not the feed.
bool ManyClients(const std::string& address, const std::string& path, std::size_t expectedSize) {
    std::atomic<bool> sound = true;
    std::vector<std::thread> clients;
    for (int c = 0; c < kClients; ++c) {
        clients.emplace_back([&] {
            LeanClient client(PortOf(address), path);
            for (int r = 0; r < kRequestsPerClient; ++r)
                if (client.Get() != static_cast<long>(expectedSize)) sound = false;
        });
    }
    for (std::thread& client : clients) client.join();
    return sound;
}

void BM_GatewayCacheHitsVsStaticNginx(benchmark::State& state) {
    qen::test::FakeVideoService service;
    service.invidiousPages = 60;
    const std::string folder = NewFolder();
    Gateway gateway(service, folder);
    httplib::Client warm(gateway.Address());
    auto first = warm.Get(kFeedPath);
    if (!first || first->status != 200) return state.SkipWithError("the gateway gave no feed");
    const std::string body = first->body;
    StaticNginx nginx(folder, "/feed.xml", body);
    if (!nginx.Running()) return state.SkipWithError("nginx is not installed (nginx-light)");

    auto throughGateway = [&] { return ManyClients(gateway.Address(), kFeedPath, body.size()); };
    auto fromNginx = [&] { return ManyClients(nginx.Address(), "/feed.xml", body.size()); };
    // Both servers start their threads and fill their caches before anything is timed.
    if (!throughGateway() || !fromNginx()) return state.SkipWithError("an answer was not the feed");
    qen::bench::SideBySide rounds(state, qen::bench::Clock::Wall);
    for (auto _ : state) {
        if (!rounds.Round({throughGateway}, {fromNginx})) return state.SkipWithError("an answer was not the feed");
    }
    rounds.Report();
    state.counters["answers_per_round"] = kClients * kRequestsPerClient;
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_GatewayCacheHitsVsStaticNginx)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(6);

void BM_LatestVideosThroughWarmGatewayVsFeedSim(benchmark::State& state) {
    qen::test::FakeVideoService service;
    service.invidiousPages = 60;  // enough results for all twenty batches
    const std::string folder = NewFolder();
    Gateway gateway(service, folder);
    qen::feedsim::Options options;
    options.port = 0;
    qen::feedsim::Server feedsim(options);
    if (!feedsim.Start()) return state.SkipWithError("feedsim did not start");

    qen::bench::KeywordRun throughGateway(gateway.Host());
    qen::bench::KeywordRun straight(feedsim.Host());
    // The first run fills the gateway's cache; both sides then warm up once more.
    for (int i = 0; i < 2; ++i) throughGateway.Seconds(), straight.Seconds();

    qen::bench::SideBySide rounds(state, qen::bench::Clock::Wall);
    for (auto _ : state) {
        if (!rounds.Round({[&] { return throughGateway.Seconds() >= 0; }}, {[&] { return straight.Seconds() >= 0; }}))
            return state.SkipWithError("a run did not ask all twenty batches");
    }
    rounds.Report();
    state.counters["videos_through_gateway"] = throughGateway.Found();
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_LatestVideosThroughWarmGatewayVsFeedSim)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
