#pragma once
// Endpoint variables of the calling environment must not leak into a test.
#include "fakes/ScopedEnvironment.h"
#include "web/Endpoints.h"

namespace qen::test {

inline void ClearEndpointVariables(ScopedEnvironment& environment) {
    for (Endpoint endpoint :
         {Endpoint::VideoFeedHost, Endpoint::VideoDomain, Endpoint::VideoWebHost, Endpoint::ThumbnailHost,
          Endpoint::AdvertHost, Endpoint::LaunchAddress, Endpoint::ArticleFeedHost, Endpoint::ArticleSiteHost,
          Endpoint::UpdateHost, Endpoint::DownloadHost})
        environment.Clear(EndpointInfoOf(endpoint).variable);
}

}  // namespace qen::test
