#pragma once
// The pages that show videos: the current videos ("videos1.html", "videos2.html", ...), the
// playlist ("playlist1.html", ...) and the videos related to one video ("relatedvideos.html").
// Each page is the site's page template with a grid of video posts, three to a row.
#include <cstddef>
#include <string>
#include <vector>

#include "platform/Ui.h"
#include "store/VideoStore.h"
#include "videos/VideoSite.h"

namespace qen {

class VideoFeedClient;

inline constexpr std::size_t kPostsPerPage = 30;

// (count + 29) / 30: no pages for an empty list.
int PageCountFor(std::size_t count);

// The text of page `page` (from 1) of the current videos or of the playlist.
std::string VideoPageText(const std::vector<VideoEntry>& videos, int page, const VideoSite& site,
                          const std::string& thumbnailHost);
std::string PlaylistPageText(const std::vector<VideoEntry>& playlist, int page, const VideoSite& site,
                             const std::string& thumbnailHost);
// The related-videos page; entry 0 is the video they are related to.
std::string RelatedVideosPageText(const std::vector<VideoEntry>& related, const std::string& pageTemplate,
                                  const std::string& thumbnailHost);

// Each writes its pages whole into the work folder and records the highest page number in
// the store. False at the first page that could not be written (after the write's message);
// the pages before it stay. An empty list writes nothing and succeeds.
bool WriteVideoPages(Ui& ui, VideoStore& store, const VideoSite& site, const std::string& thumbnailHost);
bool WritePlaylistPages(Ui& ui, VideoStore& store, const VideoSite& site, const std::string& thumbnailHost);

// Fetches the videos related to `videoId` into `RelatedVideos` and writes their page. False
// when the fetch failed (after its message), when there are none (after "YouTube has no
// related video information for that video") or when the page could not be written.
bool WriteRelatedVideosPage(Ui& ui, VideoStore& store, VideoFeedClient& feed, const std::string& videoId,
                            const VideoSite& site, const std::string& thumbnailHost);

inline constexpr const char* kRelatedVideosPage = "relatedvideos.html";

}  // namespace qen
