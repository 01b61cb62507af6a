// The program's libcurl, loaded at the first transfer: this test program links the loader
// the way the program does, so every call below goes through it.
#include <curl/curl.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <string>
#include <thread>

namespace qen {
namespace {

bool LibcurlLoaded() {
    void* library = dlopen("libcurl.so.4", RTLD_LAZY | RTLD_NOLOAD);
    if (library) dlclose(library);
    return library != nullptr;
}

std::size_t Collect(char* data, std::size_t size, std::size_t count, void* into) {
    static_cast<std::string*>(into)->append(data, size * count);
    return size * count;
}

class LoopbackServer {
public:
    LoopbackServer() {
        server_.Get("/page", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(std::string(1000, 'x'), "text/plain");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~LoopbackServer() {
        server_.stop();
        thread_.join();
    }
    std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
};

// Each kind of option value (a number, text, a function, a 64-bit size) must reach
// libcurl as what it is: one read as another changes the transfer's outcome.
TEST(CurlOnDemand, LoadsAtTheFirstTransferAndPassesEveryKindOfOption) {
    EXPECT_FALSE(LibcurlLoaded()) << "libcurl was loaded with the program";
    EXPECT_EQ(curl_global_init(CURL_GLOBAL_DEFAULT), CURLE_OK);
    EXPECT_FALSE(LibcurlLoaded()) << "setting up curl loaded it before any transfer";

    LoopbackServer server;
    struct Case {
        const char* what;
        std::string path;
        long failOnError;
        curl_off_t maxSize;
        CURLcode expected;
        std::size_t received;
    };
    const Case cases[] = {
        {"the whole answer", "/page", 1, 0, CURLE_OK, 1000},
        {"an error status with failing on errors", "/missing", 1, 0, CURLE_HTTP_RETURNED_ERROR, 0},
        {"an error status without", "/missing", 0, 0, CURLE_OK, 0},
        {"an answer above the size limit", "/page", 1, 999, CURLE_FILESIZE_EXCEEDED, 0},
        {"an answer at the size limit", "/page", 1, 1000, CURLE_OK, 1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CURL* handle = curl_easy_init();
        ASSERT_NE(handle, nullptr);
        std::string received;
        curl_slist* headers = curl_slist_append(nullptr, "Cache-Control: no-cache");
        ASSERT_NE(headers, nullptr);
        const std::string url = server.Url(c.path);
        EXPECT_EQ(curl_easy_setopt(handle, CURLOPT_URL, url.c_str()), CURLE_OK);
        EXPECT_EQ(curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers), CURLE_OK);
        EXPECT_EQ(curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, Collect), CURLE_OK);
        EXPECT_EQ(curl_easy_setopt(handle, CURLOPT_WRITEDATA, &received), CURLE_OK);
        EXPECT_EQ(curl_easy_setopt(handle, CURLOPT_FAILONERROR, c.failOnError), CURLE_OK);
        EXPECT_EQ(curl_easy_setopt(handle, CURLOPT_MAXFILESIZE_LARGE, c.maxSize), CURLE_OK);
        EXPECT_EQ(curl_easy_perform(handle), c.expected) << curl_easy_strerror(c.expected);
        if (c.failOnError || c.received) {
            EXPECT_EQ(received.size(), c.received);
        }
        curl_slist_free_all(headers);
        curl_easy_cleanup(handle);
    }
    EXPECT_TRUE(LibcurlLoaded());
    EXPECT_STREQ(curl_easy_strerror(CURLE_OK), "No error");
}

}  // namespace
}  // namespace qen
