#include "qen-gateway/Upstream.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

namespace qen::gateway {

namespace {

struct Transfer {
    std::string body;
    std::size_t largest;
    bool tooLarge = false;
};

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    const std::size_t length = size * count;
    if (transfer.body.size() + length > transfer.largest) {
        transfer.tooLarge = true;
        return 0;
    }
    transfer.body.append(data, length);
    return length;
}

struct HandleDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};

}  // namespace

CurlUpstream::CurlUpstream(std::chrono::milliseconds timeout, std::size_t largestBody)
    : timeout_(timeout), largestBody_(largestBody) {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

UpstreamAnswer CurlUpstream::Get(const std::string& url) {
    UpstreamAnswer answer;
    std::unique_ptr<CURL, HandleDeleter> handle(curl_easy_init());
    if (!handle) {
        answer.failure = "libcurl could not create a transfer";
        return answer;
    }
    Transfer transfer{{}, largestBody_};
    char errorText[CURL_ERROR_SIZE] = "";
    CURL* h = handle.get();
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_USERAGENT, "qen-gateway");
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(timeout_.count()));
    curl_easy_setopt(h, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &transfer);

    const CURLcode code = curl_easy_perform(h);
    if (transfer.tooLarge) {
        answer.failure = "the answer is larger than " + std::to_string(largestBody_) + " bytes";
        return answer;
    }
    if (code != CURLE_OK) {
        // The client's words name the failure, never the address (which holds the key).
        answer.failure = errorText[0] ? errorText : curl_easy_strerror(code);
        return answer;
    }
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    answer.received = true;
    answer.status = static_cast<int>(status);
    answer.body = std::move(transfer.body);
    return answer;
}

}  // namespace qen::gateway
