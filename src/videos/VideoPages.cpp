#include "videos/VideoPages.h"

#include <algorithm>
#include <string_view>

#include "base/LinkNames.h"
#include "base/PageNames.h"
#include "files/FileIO.h"
#include "package/ContentSite.h"
#include "text/HtmlText.h"
#include "text/TextOps.h"
#include "videos/FeedText.h"
#include "videos/VideoPosts.h"
#include "web/Endpoints.h"

namespace qen {

namespace {

constexpr std::string_view kRowBreak = "<br>\r\n";
constexpr std::string_view kPreviousNextTemplate =
    "<div class=\"previousnext\">\r\n<div class=\"fl\"><a href=\"%%linkprevious%%\" >Previous Page</a></div>\r\n"
    "Page %%pagenum%% of %%numpages%%\r\n<div class=\"fr\"><a href=\"%%linknext%%\" >Next Page "
    "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;</a></div>\r\n<br></div><div style=\"clear:left;\"></div><!--previousnext-->";

enum class PostStyle {
    Videos,    // "<br>\r\n" after each full row that the list goes on from
    Playlist,  // titles styled "playlistposttitle"
    Related,
};

// Ids from a feed are checked on the way in; one from elsewhere (a user data file, a link)
// loses any character that could leave the script call or the address it stands in.
std::string PageVideoId(const std::string& id) {
    if (IsVideoIdText(id)) return id;
    std::string kept;
    for (char c : id)
        if (IsIdCharacter(c)) kept += c;
    return kept;
}

void AppendPost(std::string& body, const VideoEntry& video, PostStyle style, const std::string& thumbnailHost) {
    const std::string id = PageVideoId(video.id);
    // A feed's markup shows as text and cannot leave the alt attribute.
    const std::string title = EscapeMarkupKeepingReferences(video.title);
    const std::string popup = "<a href=\"javascript:ShowVideoPopup ('" + id + "');\">";
    std::string post = std::string(kVideoPostStart) + "<div class=\"videopostthumb\">" + popup + "<img src=\"" +
                       ThumbnailAddress(thumbnailHost, id) + "\" width=\"200\" height=\"140\" alt=\"" + title +
                       "\" border=\"0\"></a></div><div class=\"videoposttitle\">" + popup + title +
                       "</a></div></div>\r\n";
    if (style == PostStyle::Playlist) post = ReplaceAll(std::move(post), "videoposttitle", "playlistposttitle");
    body += post;
}

// The posts of entries first .. first + limit - 1; after the list's last entry, blank posts
// fill its row.
std::string PostsText(const std::vector<VideoEntry>& list, std::size_t first, std::size_t limit, PostStyle style,
                      const std::string& thumbnailHost) {
    std::string body;
    std::size_t k = first;
    for (std::size_t slot = 0; slot < limit && k < list.size(); ++slot) {
        AppendPost(body, list[k], style, thumbnailHost);
        ++k;
        if (k == list.size()) {
            if (const std::size_t r = k % 3; r != 0)
                for (std::size_t blank = r; blank < 3; ++blank) body += kBlankPost;
            break;
        }
        if (style == PostStyle::Videos && slot % 3 == 2) body += kRowBreak;
    }
    return body;
}

// How the current videos and the playlist differ on their pages.
struct PagedList {
    const char* fileStem;  // "videos" gives "videos1.html", ...
    PostStyle style;
    std::string (*heading)(const ContentSite& site);  // above the count sentence
    std::string (*title)(const ContentSite& site);
};

const PagedList kVideoPages{
    page::kVideosStem,
    PostStyle::Videos,
    [](const ContentSite& site) {
        return std::string("</b><div class='bluebutton'><a href='") + link::kLatestVideos +
               "'>Get Latest Videos</a></div><b><div class='articleheader'>Current " +
               site.Niche + " Videos</div><BR><BR>";
    },
    [](const ContentSite& site) { return "Current " + site.Niche + " Videos"; },
};

const PagedList kPlaylistPages{
    page::kPlaylistStem,
    PostStyle::Playlist,
    [](const ContentSite&) {
        return std::string("</b><div class='bluebutton'><a href='") + link::kWipePlaylist +
               "'>Erase Playlist</a></div><b><div class='articleheader'>Your Video Playlist</div><BR><BR>";
    },
    [](const ContentSite& site) { return site.Niche + " Video Playlist"; },
};

std::string PageFileName(const PagedList& kind, int page) { return page::NumberedPage(kind.fileStem, page); }

std::string PagedListText(const PagedList& kind, const std::vector<VideoEntry>& list, int page,
                          const ContentSite& site, const std::string& thumbnailHost) {
    const int pages = PageCountFor(list.size());
    const std::size_t first = static_cast<std::size_t>(page - 1) * kPostsPerPage;
    const std::string heading = kind.heading(site) + std::to_string(list.size()) + " videos - showing page " +
                                std::to_string(page) + " of " + std::to_string(pages);

    const std::string previous = PageFileName(kind, page == 1 ? pages : page - 1);
    const std::string next = PageFileName(kind, page == pages ? 1 : page + 1);
    const std::string pageNumber = std::to_string(page);
    const std::string pageCount = std::to_string(pages);
    const TokenValue navigation[] = {
        {"%%pagenum%%", pageNumber},
        {"%%numpages%%", pageCount},
        {"%%linkprevious%%", previous},
        {"%%linknext%%", next},
    };
    return site.FillPage(PostsText(list, first, kPostsPerPage, kind.style, thumbnailHost),
                         FillTokens(kPreviousNextTemplate, navigation), heading, "", kind.title(site));
}

// The one place a video page reaches the disk. The pages live only as long as the run.
Outcome WritePage(const Path& path, const std::string& text) {
    if (WriteWholeFile(path, text)) return Outcome::Success();
    return Outcome::Failure("Failed to write file " + path.Display());
}

Outcome WritePagedList(const PagedList& kind, const std::vector<VideoEntry>& list, int& pageCount,
                       const ContentSite& site, const std::string& thumbnailHost) {
    const int pages = PageCountFor(list.size());
    for (int page = 1; page <= pages; ++page) {
        const std::string text = PagedListText(kind, list, page, site, thumbnailHost);
        pageCount = std::max(pageCount, page);
        if (Outcome written = WritePage(site.WorkFolder / PageFileName(kind, page), text); !written) return written;
    }
    return Outcome::Success();
}

}  // namespace

int PageCountFor(std::size_t count) { return static_cast<int>((count + kPostsPerPage - 1) / kPostsPerPage); }

std::string VideoPageText(const std::vector<VideoEntry>& videos, int page, const ContentSite& site,
                          const std::string& thumbnailHost) {
    return PagedListText(kVideoPages, videos, page, site, thumbnailHost);
}

std::string PlaylistPageText(const std::vector<VideoEntry>& playlist, int page, const ContentSite& site,
                             const std::string& thumbnailHost) {
    return PagedListText(kPlaylistPages, playlist, page, site, thumbnailHost);
}

std::string RelatedVideosPageText(const std::vector<VideoEntry>& related, const ContentSite& site,
                                  const std::string& thumbnailHost) {
    const std::size_t others = related.empty() ? 0 : related.size() - 1;
    const std::string goBack = std::string("<a href='") + link::kGoBack + "'>";
    return site.FillPage(PostsText(related, 0, related.size(), PostStyle::Related, thumbnailHost),
                         "<BR><BR><BR><BR><DIV align=center>" + goBack + "Go Back To Previous Page</a></DIV><BR>",
                         "<div class='articleheader'>Related Videos</div><BR><BR>There are " + std::to_string(others) +
                             " videos &quot;related&quot; to the first video shown",
                         goBack + "Go back to previous page</a>", "Related Videos");
}

Outcome WriteVideoPages(const VideoStore& store, VideoRunState& run, const ContentSite& site,
                        const std::string& thumbnailHost) {
    return WritePagedList(kVideoPages, store.CurrentVideos, run.VideoPageCount, site, thumbnailHost);
}

Outcome WritePlaylistPages(const VideoStore& store, VideoRunState& run, const ContentSite& site,
                           const std::string& thumbnailHost) {
    return WritePagedList(kPlaylistPages, store.Playlist, run.PlaylistPageCount, site, thumbnailHost);
}

Outcome WriteRelatedVideosPage(const VideoRunState& run, const ContentSite& site, const std::string& thumbnailHost) {
    return WritePage(site.WorkFolder / page::kRelatedVideos,
                     RelatedVideosPageText(run.RelatedVideos, site, thumbnailHost));
}

}  // namespace qen
