#pragma once
// The pages that show videos: the current videos ("videos1.html", "videos2.html", ...), the
// playlist ("playlist1.html", ...) and the videos related to one video ("relatedvideos.html").
// Each page is the site's page template with a grid of video posts, three to a row.
#include <cstddef>
#include <string>
#include <vector>

#include "base/Outcome.h"
#include "store/VideoStore.h"
#include "videos/VideoRunState.h"

namespace qen {

class ContentSite;

inline constexpr std::size_t kPostsPerPage = 30;

// (count + 29) / 30: no pages for an empty list.
int PageCountFor(std::size_t count);

// The text of page `page` (from 1) of the current videos or of the playlist.
std::string VideoPageText(const std::vector<VideoEntry>& videos, int page, const ContentSite& site,
                          const std::string& thumbnailHost);
std::string PlaylistPageText(const std::vector<VideoEntry>& playlist, int page, const ContentSite& site,
                             const std::string& thumbnailHost);
// The related-videos page; entry 0 is the video they are related to.
std::string RelatedVideosPageText(const std::vector<VideoEntry>& related, const ContentSite& site,
                                  const std::string& thumbnailHost);

// Each writes its pages whole into the site's work folder and records the highest page
// number in the run state. Stops at the first page that cannot be written, with the
// message to show; the pages before it stay. An empty list writes nothing and succeeds.
Outcome WriteVideoPages(const VideoStore& store, VideoRunState& run, const ContentSite& site,
                        const std::string& thumbnailHost);
Outcome WritePlaylistPages(const VideoStore& store, VideoRunState& run, const ContentSite& site,
                           const std::string& thumbnailHost);
// The page of the run's `RelatedVideos`.
Outcome WriteRelatedVideosPage(const VideoRunState& run, const ContentSite& site, const std::string& thumbnailHost);

}  // namespace qen
