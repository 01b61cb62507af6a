#include "qen-gateway/GatewayServer.h"

#include <httplib.h>

#include <sys/socket.h>

#include <filesystem>
#include <mutex>

#include "common/CommandLineTool.h"
#include "files/FileIO.h"
#include "qen-gateway/Gateway.h"
#include "qen-gateway/InvidiousSource.h"
#include "qen-gateway/YouTubeSource.h"

namespace qen::gateway {

namespace {

constexpr std::size_t kThreads = 48;  // 32 clients at once, and some to spare

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::string Redacted(std::string line, const std::string& secret) {
    if (secret.empty()) return line;
    for (std::size_t at = line.find(secret); at != std::string::npos; at = line.find(secret, at))
        line.replace(at, secret.size(), "***");
    return line;
}

}  // namespace

struct GatewayServer::Impl {
    GatewayOptions options;
    std::ostream& logStream;
    std::mutex logMutex;
    std::string key;
    std::unique_ptr<CurlUpstream> upstream;
    std::unique_ptr<DiskCache> cache;
    std::unique_ptr<DailyBudget> budget;
    std::unique_ptr<VideoSource> source;
    std::unique_ptr<Gateway> gateway;
    httplib::Server http;
    int port = -1;
    int listening = -1;  // the listening socket, once made
    std::atomic<bool> ended = false;

    Impl(GatewayOptions o, std::ostream& log) : options(std::move(o)), logStream(log) {}

    void Log(const std::string& line) {
        std::lock_guard lock(logMutex);
        logStream << "qen-gateway: " << Redacted(line, key) << std::endl;
    }

    std::string Prepare() {
        if (options.source == "youtube") {
            std::optional<std::string> bytes = ReadFileBytes(options.keyFile);
            if (!bytes) return "cannot read the key file " + options.keyFile.Bytes();
            key = Trimmed(*bytes);
            if (key.empty() || key.find_first_of(" \t\r\n") != std::string::npos)
                return "the key file " + options.keyFile.Bytes() + " does not hold one key";
        }
        std::error_code error;
        std::filesystem::create_directories(options.cacheDir.Bytes(), error);
        if (!std::filesystem::is_directory(options.cacheDir.Bytes(), error))
            return "cannot make the cache folder " + options.cacheDir.Bytes();

        const Clock clock = SystemClock();
        upstream = std::make_unique<CurlUpstream>(options.upstreamTimeout);
        cache = std::make_unique<DiskCache>(options.cacheDir, options.cacheHours * 3600, clock);
        cache->PruneExpired();
        if (options.source == "youtube") {
            budget = std::make_unique<DailyBudget>(options.cacheDir / "youtube-budget.json", options.dailyUnits, clock);
            source = std::make_unique<YouTubeSource>(options.apiBase, key, *upstream, *budget, *cache);
        } else {
            budget = std::make_unique<DailyBudget>(options.cacheDir / "invidious-calls.json", -1, clock);
            source = std::make_unique<InvidiousSource>(options.instance + "/api/v1", *upstream, *budget, *cache);
        }
        return {};
    }

    // Before the socket is made: the listening socket passes its options on.
    void Configure() {
        http.new_task_queue = [] { return new httplib::ThreadPool(kThreads); };
        // Headers and body go out in two writes; without this each answer on a kept-alive
        // connection waits for the client's delayed acknowledgement.
        http.set_tcp_nodelay(true);
        http.set_keep_alive_max_count(1000);
        http.set_payload_max_length(1 << 16);
        http.set_socket_options([this](socket_t socket) {
            httplib::default_socket_options(socket);
            listening = socket;
        });
    }

    // The library listens with a queue of five connections; clients that connect together
    // beyond that lose their first attempt and wait a second to try again.
    void LengthenListenQueue() const {
        if (listening >= 0) ::listen(listening, SOMAXCONN);
    }

    void Serve() {
        gateway = std::make_unique<Gateway>(*source, *cache, *budget, options.listen + ":" + std::to_string(port),
                                            [this](const std::string& line) { Log(line); });
        // Every GET is the gateway's: answered before the library's pattern routing.
        http.set_pre_routing_handler([this](const httplib::Request& in, httplib::Response& out) {
            if (in.method != "GET" && in.method != "HEAD") return httplib::Server::HandlerResponse::Unhandled;
            GatewayRequest request{in.path, {in.params.begin(), in.params.end()}, in.get_header_value("Host")};
            GatewayAnswer answer = gateway->Handle(request);
            out.status = answer.status;
            if (!answer.cacheControl.empty()) out.set_header("Cache-Control", answer.cacheControl);
            out.set_content(std::move(answer.body), answer.contentType.c_str());
            return httplib::Server::HandlerResponse::Handled;
        });
    }
};

GatewayServer::GatewayServer(GatewayOptions options, std::ostream& log)
    : impl_(std::make_unique<Impl>(std::move(options), log)) {}

GatewayServer::~GatewayServer() { Stop(); }

std::string GatewayServer::Start() {
    Impl& impl = *impl_;
    if (std::string problem = impl.Prepare(); !problem.empty()) return problem;
    impl.Configure();
    if (impl.options.port == 0)
        impl.port = impl.http.bind_to_any_port(impl.options.listen);
    else if (impl.http.bind_to_port(impl.options.listen, impl.options.port))
        impl.port = impl.options.port;
    if (impl.port <= 0) return "cannot listen on " + impl.options.listen + ":" + std::to_string(impl.options.port);
    impl.LengthenListenQueue();
    impl.Serve();
    thread_ = std::thread([&impl] {
        impl.http.listen_after_bind();
        impl.ended = true;
    });
    while (!impl.http.is_running() && !impl.ended) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return {};
}

void GatewayServer::Wait() {
    if (thread_.joinable()) thread_.join();
}

void GatewayServer::Stop() {
    impl_->http.stop();
    Wait();
}

std::string GatewayServer::Address() const {
    return "http://" + impl_->options.listen + ":" + std::to_string(impl_->port);
}

int GatewayMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const tool::CommandLineTool tool("qen-gateway", GatewayHelpText(), out, err);
    if (std::optional<int> answered = tool.AnswerHelpOrVersion(args)) return *answered;
    auto parsed = ParseGatewayCommandLine(args);
    if (const UsageProblem* problem = std::get_if<UsageProblem>(&parsed))
        return tool.Error(tool::kUsageOrFile, problem->reason);

    GatewayServer server(std::get<GatewayOptions>(parsed), err);
    if (std::string problem = server.Start(); !problem.empty()) return tool.Error(tool::kUsageOrFile, problem);
    out << server.Address() << std::endl;
    server.Wait();
    return tool::kDone;
}

}  // namespace qen::gateway
