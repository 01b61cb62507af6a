#include "feedsim/Service.h"

#include <algorithm>
#include <cctype>
#include <variant>

#include "feedsim/Generated.h"
#include "feedsim/Thumbnail.h"
#include "files/FileIO.h"

namespace qen::feedsim {

namespace {

namespace fs = std::filesystem;

constexpr const char* kAtom = "application/atom+xml; charset=UTF-8";
constexpr const char* kHtml = "text/html; charset=UTF-8";
constexpr std::string_view kFaultPrefix = "/fault/";
constexpr std::string_view kRelatedSuffix = "/related";
constexpr std::string_view kRedirectPrefix = "/redirect/";
constexpr std::uintmax_t kLargestFile = 64u << 20;

Answer NotFound(const std::string& path) { return {404, kHtml, NotFoundPage(path)}; }

std::string ContentTypeOf(const fs::path& file) {
    const std::string extension = file.extension().string();
    if (extension == ".txt") return "text/plain";
    if (extension == ".html" || extension == ".htm") return kHtml;
    if (extension == ".xml") return "application/xml";
    return "application/octet-stream";
}

bool IsInside(const fs::path& root, const fs::path& path) {
    auto [rootEnd, pathAt] = std::mismatch(root.begin(), root.end(), path.begin(), path.end());
    return rootEnd == root.end();
}

Answer IndexPage() {
    std::string page =
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>feedsim</title></head><body>\n"
        "<h1>feedsim</h1><p>A loopback stand-in for the video service, the article directory and the "
        "update server.</p>\n<ul>\n"
        "<li>/feeds/api/videos?q=TERM&amp;start-index=1&amp;max-results=50&amp;v=2&amp;format=5&amp;orderby=viewCount</li>\n"
        "<li>/feeds/api/videos/ID/related</li>\n<li>/vi/ID/0.jpg</li>\n"
        "<li>/category/Pets:Dog-Training.xml</li>\n<li>/ezinepublisher/?id=ID</li>\n"
        "<li>/qenruntime/version.txt and any other file of the --files folder</li>\n"
        "<li>/redirect/N/PATH (N redirects, then PATH), /redirect-to?url=URL, /echo (the request's headers)</li>\n"
        "</ul>\n<p>Faults:";
    for (const FaultInfo& info : AllFaults()) page += " /fault/" + std::string(info.name) + "/...";
    page += "</p>\n</body></html>\n";
    return {200, kHtml, page};
}

const std::string* Param(const Request& request, const std::string& name) {
    auto found = request.params.find(name);
    return found == request.params.end() ? nullptr : &found->second;
}

Answer Redirect(std::string location) {
    Answer answer{302, kHtml, "<!DOCTYPE html>\n<html><body>Moved to " + EscapeXml(location) + "</body></html>\n"};
    answer.location = std::move(location);
    return answer;
}

// "/redirect/3/x" sends on to "/redirect/2/x" and so on; "/redirect/1/x" to "/x".
std::optional<Answer> RedirectChain(const std::string& path) {
    const std::size_t countEnd = path.find('/', kRedirectPrefix.size());
    if (countEnd == std::string::npos) return std::nullopt;
    const std::string count = path.substr(kRedirectPrefix.size(), countEnd - kRedirectPrefix.size());
    if (count.empty() || count.size() > 3 || !std::all_of(count.begin(), count.end(), ::isdigit)) return std::nullopt;
    const int left = std::stoi(count);
    if (left == 0) return std::nullopt;
    const std::string rest = path.substr(countEnd);
    return Redirect(left == 1 ? rest : std::string(kRedirectPrefix) + std::to_string(left - 1) + rest);
}

}  // namespace

Service::Service(const Path& filesFolder) {
    std::error_code error;
    if (!filesFolder.Empty()) {
        fs::path root = fs::canonical(fs::path(filesFolder.Bytes()), error);
        if (!error) files_ = root;
    }
}

std::optional<Fault> Service::ChooseFault(Request& request, Fault forRun) {
    if (request.path.starts_with(kFaultPrefix)) {
        const std::size_t nameEnd = request.path.find('/', kFaultPrefix.size());
        const std::string name = request.path.substr(
            kFaultPrefix.size(), nameEnd == std::string::npos ? std::string::npos : nameEnd - kFaultPrefix.size());
        request.path = nameEnd == std::string::npos ? "/" : request.path.substr(nameEnd);
        return FaultNamed(name);
    }
    if (request.path == "/feeds/api/videos") {
        if (const std::string* term = Param(request, "q"); term && term->starts_with("fault-"))
            return FaultNamed(std::string_view(*term).substr(6));
    }
    return forRun;
}

std::optional<Answer> Service::ReplacementFor(Fault fault, const Request& request) {
    switch (fault) {
        case Fault::Quota: return Answer{403, kAtom, QuotaBody()};
        case Fault::HtmlError: return Answer{503, kHtml, HtmlErrorPage()};
        case Fault::NotFound: return NotFound(request.path);
        case Fault::Empty: return Answer{200, kAtom, ""};
        case Fault::Huge: return Answer{200, kAtom, HugeFeed()};
        case Fault::None:
        case Fault::Drip:
        case Fault::Hang:
        case Fault::Reset:
        case Fault::Truncate: break;
    }
    return std::nullopt;
}

Answer Service::BadRequest(const std::string& reason) {
    return {400, kHtml,
            "<!DOCTYPE html>\n<html><head><title>400 Bad Request</title></head>\n<body><h1>Bad Request</h1><p>" +
                EscapeXml(reason) + "</p></body></html>\n"};
}

Answer Service::Respond(const Request& request) {
    const std::string& path = request.path;
    if (path == "/") {
        if (const std::string* id = Param(request, "id"))
            return {200, kHtml, articles_.ArticleView(*id, request.host)};
        return IndexPage();
    }

    if (path == "/feeds/api/videos") {
        auto query = ParseKeywordQuery(request.params);
        if (auto* reason = std::get_if<std::string>(&query)) return BadRequest(*reason);
        return {200, kAtom, KeywordFeed(std::get<KeywordQuery>(query), request.host)};
    }
    if (path.starts_with("/feeds/api/videos/") && path.ends_with(kRelatedSuffix)) {
        const std::size_t start = std::string_view("/feeds/api/videos/").size();
        const std::string id = path.substr(start, path.size() - start - kRelatedSuffix.size());
        if (!IsVideoId(id)) return BadRequest("not a video id: " + id);
        return {200, kAtom, RelatedFeed(id, request.host)};
    }
    if (path.starts_with("/vi/")) {
        // "/vi/<id>/<name>.jpg"
        const std::size_t slash = path.find('/', 4);
        if (slash != std::string::npos && path.ends_with(".jpg") && path.find('/', slash + 1) == std::string::npos) {
            const std::string id = path.substr(4, slash - 4);
            if (IsVideoId(id)) return {200, "image/png", ThumbnailPng(id)};
        }
        return NotFound(path);
    }

    if (path.starts_with("/category/") && path.size() > std::string_view("/category/").size())
        return {200, "application/rss+xml; charset=UTF-8", articles_.CategoryFeed(path.substr(10), request.host)};
    if (path == "/ezinepublisher/" || path == "/ezinepublisher") {
        const std::string* id = Param(request, "id");
        if (!id || id->empty()) return BadRequest("the publisher page needs an article id");
        return {200, "text/html; charset=windows-1252", articles_.PublisherPage(*id, request.host)};
    }

    // Helpers for checking the client itself.
    if (path.starts_with(kRedirectPrefix)) {
        if (std::optional<Answer> redirect = RedirectChain(path)) return *redirect;
        return BadRequest("use /redirect/COUNT/PATH");
    }
    if (path == "/redirect-to") {
        const std::string* url = Param(request, "url");
        return url ? Redirect(*url) : BadRequest("use /redirect-to?url=URL");
    }
    if (path == "/echo") {
        std::string text;
        for (const auto& [name, value] : request.headers) text += name + ": " + value + "\n";
        return {200, "text/plain", text};
    }
    return ServeFile(path);
}

Answer Service::ServeFile(const std::string& path) const {
    if (!files_ || path.find('\0') != std::string::npos) return NotFound(path);
    const fs::path relative = fs::path(path).relative_path();
    for (const fs::path& part : relative)
        if (part == "..") return NotFound(path);

    std::error_code error;
    const fs::path file = fs::weakly_canonical(*files_ / relative, error);
    // Links inside the folder may not lead out of it.
    if (error || !IsInside(*files_, file) || !fs::is_regular_file(file, error)) return NotFound(path);
    const std::uintmax_t size = fs::file_size(file, error);
    if (error || size > kLargestFile) return NotFound(path);

    std::optional<std::string> body = ReadFileBytes(Path(file.native()));
    if (!body) return NotFound(path);
    return {200, ContentTypeOf(file), std::move(*body)};
}

}  // namespace qen::feedsim
