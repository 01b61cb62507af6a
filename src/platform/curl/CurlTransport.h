#pragma once
// HttpTransport on libcurl's easy interface (opened at the first transfer, see
// CurlLibrary): one handle per thread for the thread's life, so that its connections,
// name lookups and TLS sessions serve the next transfer; user agent
// "NVRB", no-cache request headers, redirects followed (http and https, at most 10),
// certificates verified, proxies from the usual environment variables. An HTTP error
// status still delivers its body: callers read the server's own page.
#include "platform/HttpTransport.h"

namespace qen {

class CurlTransport : public HttpTransport {
public:
    TransferResult Get(const TransferRequest& request) override;
};

}  // namespace qen
