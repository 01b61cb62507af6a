#pragma once
// The network benchmarks' baseline: a bare libcurl fetch with nothing of the program around
// it, and the same fetch on a thread of its own (the price of a thread per transfer).
#include <curl/curl.h>

#include <string>
#include <thread>

namespace qen::bench {

inline std::size_t CollectBody(char* data, std::size_t size, std::size_t count, void* body) {
    static_cast<std::string*>(body)->append(data, size * count);
    return size * count;
}

inline std::string BareCurlFetch(const std::string& url) {
    std::string body;
    CURL* handle = curl_easy_init();
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, CollectBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &body);
    curl_easy_perform(handle);
    curl_easy_cleanup(handle);
    return body;
}

inline std::string BareCurlFetchOnThread(const std::string& url) {
    std::string body;
    std::thread([&] { body = BareCurlFetch(url); }).join();
    return body;
}

}  // namespace qen::bench
