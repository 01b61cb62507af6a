#pragma once
// libcurl, opened at the first transfer rather than with the program: the library and the
// dozen it pulls in (TLS, LDAP, SSH, ...) cost every start more processor time than
// anything else the first page does not need. The transport calls libcurl only through
// this table, so a function it needs is added here or the build fails.
#include <curl/curl.h>

namespace qen {

struct CurlLibrary {
    decltype(&curl_easy_init) easyInit = nullptr;
    decltype(&curl_easy_setopt) easySetopt = nullptr;
    decltype(&curl_easy_perform) easyPerform = nullptr;
    decltype(&curl_easy_reset) easyReset = nullptr;
    decltype(&curl_easy_cleanup) easyCleanup = nullptr;
    decltype(&curl_easy_strerror) easyStrerror = nullptr;
    decltype(&curl_slist_append) slistAppend = nullptr;
    decltype(&curl_slist_free_all) slistFreeAll = nullptr;

    // The library, opened and set up on the first call from any thread; null when it
    // cannot be loaded (each transfer then fails as one without a session).
    static const CurlLibrary* Loaded();
};

// The name the library is opened by: the one its Debian package has carried for years.
inline constexpr const char* kCurlLibraryName = "libcurl.so.4";

}  // namespace qen
