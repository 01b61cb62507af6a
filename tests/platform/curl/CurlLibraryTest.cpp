// The transport opens libcurl at its first transfer, not with the program: this test
// program links nothing else that would load it.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "fakes/ScopedEnvironment.h"
#include "fakes/TestHttpServer.h"
#include "platform/curl/CurlLibrary.h"
#include "platform/curl/CurlTransport.h"

namespace qen::test {
namespace {

bool LibcurlLoaded() {
    void* library = dlopen(kCurlLibraryName, RTLD_LAZY | RTLD_NOLOAD);
    if (library) dlclose(library);
    return library != nullptr;
}

TEST(CurlLibraryTest, OpensAtTheFirstTransferOnly) {
    ASSERT_FALSE(LibcurlLoaded()) << "libcurl was loaded with the program";
    ScopedEnvironment environment;
    environment.Set("no_proxy", "127.0.0.1").Set("NO_PROXY", "127.0.0.1");
    TestHttpServer server;
    CurlTransport transport;
    EXPECT_FALSE(LibcurlLoaded()) << "making the transport loaded it";

    std::string body;
    TransferRequest request;
    request.url = server.Url("/feeds/api/videos/AbCdEfGhIjK/related");
    request.sink = [&](const char* data, std::size_t size) {
        body.append(data, size);
        return true;
    };
    request.keepGoing = [] { return true; };
    EXPECT_EQ(transport.Get(request).phase, TransferPhase::Complete);
    EXPECT_NE(body.find("<entry"), std::string::npos) << body;
    EXPECT_TRUE(LibcurlLoaded());
}

}  // namespace
}  // namespace qen::test
