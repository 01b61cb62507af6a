#pragma once
// The network benchmarks' baselines: bare libcurl fetches with nothing of the program
// around them. `BareCurlClient` keeps one handle, and so its connection, from fetch to
// fetch, as a well-written client would; `BareCurlFetch` opens a fresh one every time.
#include <curl/curl.h>

#include <string>

namespace qen::bench {

inline std::size_t CollectBody(char* data, std::size_t size, std::size_t count, void* body) {
    static_cast<std::string*>(body)->append(data, size * count);
    return size * count;
}

inline std::string BareCurlPerform(CURL* handle, const std::string& url) {
    std::string body;
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, CollectBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &body);
    curl_easy_perform(handle);
    return body;
}

inline std::string BareCurlFetch(const std::string& url) {
    CURL* handle = curl_easy_init();
    std::string body = BareCurlPerform(handle, url);
    curl_easy_cleanup(handle);
    return body;
}

class BareCurlClient {
public:
    BareCurlClient() : handle_(curl_easy_init()) {}
    ~BareCurlClient() { curl_easy_cleanup(handle_); }
    BareCurlClient(const BareCurlClient&) = delete;
    BareCurlClient& operator=(const BareCurlClient&) = delete;

    std::string Fetch(const std::string& url) { return BareCurlPerform(handle_, url); }

private:
    CURL* handle_;
};

}  // namespace qen::bench
