#include "feedsim/FeedSimServer.h"

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

#include "feedsim/ConnectionReset.h"
#include "feedsim/Service.h"

namespace qen::feedsim {

namespace {

constexpr const char* kLoopback = "127.0.0.1";
constexpr std::size_t kDripPieces = 20;
constexpr std::size_t kThreads = 32;  // hanging answers each hold one

// Wakes everything that waits inside an answer when the server stops.
class StopSignal {
public:
    void Raise() {
        {
            std::lock_guard lock(mutex_);
            raised_ = true;
        }
        changed_.notify_all();
    }
    // True when the server is stopping.
    bool WaitFor(std::chrono::milliseconds pause) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, pause, [this] { return raised_; });
    }
    void WaitForever() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return raised_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool raised_ = false;
};

}  // namespace

struct Server::Impl {
    Options options;
    Service service;
    httplib::Server http;
    StopSignal stopping;
    int port = -1;
    std::atomic<bool> ended = false;
    std::mutex peersMutex;
    std::set<int> peerPorts;  // one per client connection

    explicit Impl(Options o) : options(std::move(o)), service(options.filesFolder) {
        http.new_task_queue = [] { return new httplib::ThreadPool(kThreads); };
        http.set_tcp_nodelay(true);
        // The library's default also shares the port with any other server on it; one
        // simulator per port, so a second one fails to start instead.
        http.set_socket_options([](socket_t sock) {
            int yes = 1;
            setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        });
        http.set_keep_alive_timeout(1);
        // As a web server would: a client keeps its connection for a whole run.
        http.set_keep_alive_max_count(100);
        http.set_payload_max_length(1 << 16);
        http.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
            Handle(request, response);
        });
    }

    void Handle(const httplib::Request& in, httplib::Response& out) {
        {
            std::lock_guard lock(peersMutex);
            peerPorts.insert(in.remote_port);
        }
        Request request{in.path, in.params, in.get_header_value("Host"), {in.headers.begin(), in.headers.end()}};
        if (request.host.empty()) request.host = std::string(kLoopback) + ":" + std::to_string(port);

        std::optional<Fault> fault = Service::ChooseFault(request, options.fault);
        if (!fault) return Send(out, Service::BadRequest("unknown fault mode"));
        if (std::optional<Answer> replacement = Service::ReplacementFor(*fault, request))
            return Send(out, *replacement);

        switch (*fault) {
            case Fault::Hang:
                stopping.WaitForever();
                out.status = 503;
                return;
            case Fault::Reset:
                ResetConnection(in.local_port, in.remote_port);
                return;
            case Fault::Drip:
                return Drip(out, service.Respond(request));
            case Fault::Truncate:
                return Truncate(out, service.Respond(request));
            default:
                return Send(out, service.Respond(request));
        }
    }

    static void Send(httplib::Response& out, const Answer& answer) {
        out.status = answer.status;
        if (!answer.location.empty()) out.set_header("Location", answer.location);
        out.set_content(answer.body, answer.contentType);
    }

    void Drip(httplib::Response& out, Answer answer) {
        out.status = answer.status;
        auto body = std::make_shared<std::string>(std::move(answer.body));
        const std::size_t piece = std::max<std::size_t>(1, (body->size() + kDripPieces - 1) / kDripPieces);
        out.set_content_provider(body->size(), answer.contentType,
                                 [this, body, piece](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                     if (offset > 0 && stopping.WaitFor(options.dripPause)) return false;
                                     const std::size_t length = std::min(piece, body->size() - offset);
                                     return sink.write(body->data() + offset, length);
                                 });
    }

    static void Truncate(httplib::Response& out, Answer answer) {
        out.status = answer.status;
        auto body = std::make_shared<std::string>(std::move(answer.body));
        // The length announced is the whole; the connection closes after half of it.
        out.set_content_provider(body->size(), answer.contentType,
                                 [body](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                     if (offset == 0) sink.write(body->data(), body->size() / 2);
                                     return false;
                                 });
    }
};

Server::Server(Options options) : impl_(std::make_unique<Impl>(std::move(options))) {}

Server::~Server() { Stop(); }

bool Server::Start() {
    Impl& impl = *impl_;
    if (impl.options.port == 0)
        impl.port = impl.http.bind_to_any_port(kLoopback);
    else if (impl.http.bind_to_port(kLoopback, impl.options.port))
        impl.port = impl.options.port;
    if (impl.port <= 0) return false;

    thread_ = std::thread([&impl] {
        impl.http.listen_after_bind();
        impl.ended = true;
    });
    // Stop can only end a server that is known to run.
    while (!impl.http.is_running() && !impl.ended) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return true;
}

void Server::Wait() {
    if (thread_.joinable()) thread_.join();
}

void Server::Stop() {
    impl_->stopping.Raise();
    impl_->http.stop();
    Wait();
}

int Server::Port() const { return impl_->port; }

std::size_t Server::Connections() const {
    std::lock_guard lock(impl_->peersMutex);
    return impl_->peerPorts.size();
}

std::string Server::Host() const { return std::string(kLoopback) + ":" + std::to_string(impl_->port); }

std::string Server::Address() const { return "http://" + Host(); }

}  // namespace qen::feedsim
