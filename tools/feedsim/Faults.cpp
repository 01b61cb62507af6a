#include "feedsim/Faults.h"

#include "feedsim/Generated.h"

namespace qen::feedsim {

const std::vector<FaultInfo>& AllFaults() {
    static const std::vector<FaultInfo> faults = {
        {Fault::Quota, "quota", "403 with the video service's call quota error (a feed document)"},
        {Fault::HtmlError, "html-error", "503 with an HTML error page (no \"<?xml\")"},
        {Fault::NotFound, "not-found", "404 with a \"Not Found\" page"},
        {Fault::Empty, "empty", "200 with an empty body"},
        {Fault::Huge, "huge", "200 with a 5,000,000-byte feed document"},
        {Fault::Drip, "drip", "the usual answer in 20 small pieces, a pause (--drip-ms) between"},
        {Fault::Hang, "hang", "reads the request and never answers"},
        {Fault::Reset, "reset", "resets the connection before answering"},
        {Fault::Truncate, "truncate", "sends half of the usual answer, then closes"},
    };
    return faults;
}

std::optional<Fault> FaultNamed(std::string_view name) {
    if (name == "none") return Fault::None;
    for (const FaultInfo& info : AllFaults())
        if (info.name == name) return info.fault;
    return std::nullopt;
}

std::string_view NameOf(Fault fault) {
    for (const FaultInfo& info : AllFaults())
        if (info.fault == fault) return info.name;
    return "none";
}

std::string QuotaBody() {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><errors xmlns=\"http://schemas.google.com/g/2005\">"
           "<error><domain>yt:quota</domain><code>too_many_recent_calls</code></error></errors>\n";
}

std::string HtmlErrorPage() {
    return "<!DOCTYPE html>\n<html><head><title>503 Service Unavailable</title></head>\n<body>"
           "<h1>Service Unavailable</h1><p>The server is busy. Please try again later.</p></body></html>\n";
}

std::string NotFoundPage(std::string_view path) {
    return "<!DOCTYPE html>\n<html><head><title>404 Not Found</title></head>\n<body><h1>Not Found</h1>"
           "<p>The requested URL " + EscapeXml(path) + " was not found on this server.</p></body></html>\n";
}

std::string HugeFeed() {
    std::string feed = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<feed xmlns='http://www.w3.org/2005/Atom'>\n";
    const std::string closing = "</feed>\n";
    const std::string filler = "<!-- padding padding padding padding padding padding padding padding -->\n";
    feed.reserve(kHugeBodySize);
    while (feed.size() + filler.size() + closing.size() <= kHugeBodySize) feed += filler;
    feed.append(kHugeBodySize - feed.size() - closing.size(), ' ');
    feed += closing;
    return feed;
}

}  // namespace qen::feedsim
