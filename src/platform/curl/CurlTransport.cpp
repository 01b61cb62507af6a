#include "platform/curl/CurlTransport.h"

#include "platform/curl/CurlLibrary.h"

#include <cctype>
#include <memory>
#include <string_view>

namespace qen {

namespace {

constexpr long kMaxRedirects = 10;

struct TransferContext {
    const TransferRequest* request;
    // The header block of a final answer has arrived: a failure from now on is a read
    // error, before it the server never answered.
    bool answered = false;
    int status = 0;            // of the header block being read
    bool redirecting = false;  // that block sends us on elsewhere
};

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    return true;
}

std::size_t OnHeaderLine(char* data, std::size_t size, std::size_t count, void* user) {
    auto& context = *static_cast<TransferContext*>(user);
    const std::string_view line(data, size * count);
    if (line.starts_with("HTTP/")) {
        // "HTTP/1.1 301 Moved Permanently"
        const std::size_t blank = line.find(' ');
        context.status = 0;
        for (std::size_t i = blank == std::string_view::npos ? line.size() : blank + 1;
             i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])); ++i)
            context.status = context.status * 10 + (line[i] - '0');
        context.redirecting = false;
    } else if (StartsWithNoCase(line, "location:")) {
        context.redirecting = context.status >= 300 && context.status < 400;
    } else if (line == "\r\n" || line == "\n") {
        if (context.status >= 200 && !context.redirecting) context.answered = true;
    }
    return size * count;
}

std::size_t OnBodyPiece(char* data, std::size_t size, std::size_t count, void* user) {
    const auto& context = *static_cast<TransferContext*>(user);
    const std::size_t length = size * count;
    if (length == 0) return 0;
    return context.request->sink(data, length) ? length : 0;  // anything short of length stops curl
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto& context = *static_cast<TransferContext*>(user);
    return context.request->keepGoing() ? 0 : 1;
}

// Only ever made once the library is loaded.
struct HandleDeleter {
    void operator()(CURL* handle) const { CurlLibrary::Loaded()->easyCleanup(handle); }
};
struct HeaderListDeleter {
    void operator()(curl_slist* list) const { CurlLibrary::Loaded()->slistFreeAll(list); }
};

}  // namespace

TransferResult CurlTransport::Get(const TransferRequest& request) {
    const CurlLibrary* curl = CurlLibrary::Loaded();
    if (!curl) return {TransferPhase::NoSession, std::string(kCurlLibraryName) + " could not be loaded"};
    thread_local std::unique_ptr<CURL, HandleDeleter> handle;
    if (!handle) handle.reset(curl->easyInit());
    if (!handle) return {TransferPhase::NoSession, "libcurl could not create a transfer"};

    // Always the server's own, current answer: nothing in between may serve a stored copy.
    std::unique_ptr<curl_slist, HeaderListDeleter> headers;
    for (const char* header : {"Cache-Control: no-cache", "Pragma: no-cache"}) {
        curl_slist* longer = curl->slistAppend(headers.get(), header);
        if (!longer) return {TransferPhase::NoSession, "out of memory"};
        headers.release();
        headers.reset(longer);
    }

    TransferContext context{&request};
    char errorText[CURL_ERROR_SIZE] = "";
    CURL* h = handle.get();
    // The options point into this call's frame: none may outlive it. Resetting keeps the
    // handle's open connections, name lookups and TLS sessions.
    struct ForgetOptions {
        const CurlLibrary* curl;
        CURL* handle;
        ~ForgetOptions() { curl->easyReset(handle); }
    } forget{curl, h};
    CURLcode setup = CURLE_OK;
    auto set = [&](CURLoption option, auto value) {
        if (setup == CURLE_OK) setup = curl->easySetopt(h, option, value);
    };
    set(CURLOPT_ERRORBUFFER, errorText);
    set(CURLOPT_URL, request.url.c_str());
    set(CURLOPT_USERAGENT, "NVRB");
    set(CURLOPT_HTTPHEADER, headers.get());
    set(CURLOPT_NOSIGNAL, 1L);
    set(CURLOPT_FOLLOWLOCATION, 1L);
    set(CURLOPT_MAXREDIRS, kMaxRedirects);
    set(CURLOPT_PROTOCOLS_STR, "http,https");
    set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    set(CURLOPT_SSL_VERIFYPEER, 1L);
    set(CURLOPT_SSL_VERIFYHOST, 2L);
    set(CURLOPT_HEADERFUNCTION, OnHeaderLine);
    set(CURLOPT_HEADERDATA, &context);
    set(CURLOPT_WRITEFUNCTION, OnBodyPiece);
    set(CURLOPT_WRITEDATA, &context);
    set(CURLOPT_NOPROGRESS, 0L);
    set(CURLOPT_XFERINFOFUNCTION, OnProgress);
    set(CURLOPT_XFERINFODATA, &context);
    if (setup != CURLE_OK) return {TransferPhase::NoSession, curl->easyStrerror(setup)};

    const CURLcode code = curl->easyPerform(h);
    switch (code) {
        case CURLE_OK:
            return {TransferPhase::Complete, ""};
        case CURLE_WRITE_ERROR:
        case CURLE_ABORTED_BY_CALLBACK:
            return {TransferPhase::Stopped, ""};
        default:
            return {context.answered ? TransferPhase::ReadFailed : TransferPhase::NoAnswer,
                    errorText[0] ? errorText : curl->easyStrerror(code)};
    }
}

}  // namespace qen
