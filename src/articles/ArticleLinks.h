#pragma once
// Where a link of an article may point. The article is shown as one of the program's own
// pages, whose links the view takes as commands and program launches: a stranger's text
// may link to web pages only, never to the launch address or a command's name.
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace qen {

// The host and port of a web address as the browser compares them: the host in lower case
// without a final dot, a numeric host as four decimal numbers, the scheme's port when none
// is given.
struct WebOrigin {
    std::string host;
    unsigned port = 0;
    bool operator==(const WebOrigin&) const = default;
};

// nullopt unless `address` is a plain "http://" or "https://" address (either case): no
// blank, control character or "\" anywhere, and an authority of letters, digits, ".", "-",
// "_" and a port only (no user name, no "%" escape, no letter outside ASCII), so that no
// browser reads another host into it than this one.
std::optional<WebOrigin> PlainWebOrigin(std::string_view address);

class ArticleLinkRule {
public:
    ArticleLinkRule(std::string_view articleId, std::string_view launchAddress);

    // `href` as the browser reads it, references decoded. Kept: the article page's own
    // links (saving or unsaving this article, going back) and plain web addresses that
    // neither reach the launch address's host nor name a link command.
    bool Allows(std::string_view href) const;

private:
    std::array<std::string, 3> ownLinks_;
    std::string launchAddress_;
    std::optional<WebOrigin> launch_;
};

}  // namespace qen
