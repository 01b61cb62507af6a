// libcurl, loaded at the first transfer instead of with the program. The library and the
// dozen it pulls in (TLS, LDAP, SSH, ...) cost the start more processor time than anything
// else the first page does not need. Only the program links this file, ahead of libcurl
// and with --as-needed; a libcurl function missing here still links, from libcurl itself,
// which then simply loads with the program again.
#include <curl/curl.h>
#include <dlfcn.h>

#include <atomic>
#include <cstdarg>
#include <mutex>

namespace {

struct Libcurl {
    decltype(&curl_global_init) globalInit = nullptr;
    decltype(&curl_easy_init) easyInit = nullptr;
    decltype(&curl_easy_setopt) easySetopt = nullptr;
    decltype(&curl_easy_perform) easyPerform = nullptr;
    decltype(&curl_easy_cleanup) easyCleanup = nullptr;
    decltype(&curl_easy_strerror) easyStrerror = nullptr;
    decltype(&curl_slist_append) slistAppend = nullptr;
    decltype(&curl_slist_free_all) slistFreeAll = nullptr;
};

// The flags of the program's curl_global_init, applied once the library is there.
std::atomic<long> initFlags{CURL_GLOBAL_DEFAULT};

template <typename Function>
bool Find(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

// The library with every function found, or null when it cannot be loaded: each transfer
// then fails as one without a session would.
const Libcurl* Loaded() {
    static std::once_flag once;
    static Libcurl curl;
    static bool usable = false;
    std::call_once(once, [] {
        void* library = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
        if (!library) return;
        usable = Find(library, "curl_global_init", curl.globalInit) &&
                 Find(library, "curl_easy_init", curl.easyInit) &&
                 Find(library, "curl_easy_setopt", curl.easySetopt) &&
                 Find(library, "curl_easy_perform", curl.easyPerform) &&
                 Find(library, "curl_easy_cleanup", curl.easyCleanup) &&
                 Find(library, "curl_easy_strerror", curl.easyStrerror) &&
                 Find(library, "curl_slist_append", curl.slistAppend) &&
                 Find(library, "curl_slist_free_all", curl.slistFreeAll);
        if (usable) curl.globalInit(initFlags.load());
    });
    return usable ? &curl : nullptr;
}

}  // namespace

extern "C" {

CURLcode curl_global_init(long flags) {
    initFlags.store(flags);
    return CURLE_OK;
}

CURL* curl_easy_init() {
    const Libcurl* curl = Loaded();
    return curl ? curl->easyInit() : nullptr;
}

// The one value after the option is read as the type its number range gives it, as
// libcurl itself reads it.
CURLcode curl_easy_setopt(CURL* handle, CURLoption option, ...) {
    const Libcurl* curl = Loaded();
    if (!curl) return CURLE_FAILED_INIT;
    va_list value;
    va_start(value, option);
    CURLcode code;
    if (option < CURLOPTTYPE_OBJECTPOINT)
        code = curl->easySetopt(handle, option, va_arg(value, long));
    else if (option >= CURLOPTTYPE_OFF_T && option < CURLOPTTYPE_BLOB)
        code = curl->easySetopt(handle, option, va_arg(value, curl_off_t));
    else
        code = curl->easySetopt(handle, option, va_arg(value, void*));
    va_end(value);
    return code;
}

CURLcode curl_easy_perform(CURL* handle) {
    const Libcurl* curl = Loaded();
    return curl ? curl->easyPerform(handle) : CURLE_FAILED_INIT;
}

void curl_easy_cleanup(CURL* handle) {
    if (const Libcurl* curl = Loaded(); curl && handle) curl->easyCleanup(handle);
}

const char* curl_easy_strerror(CURLcode code) {
    const Libcurl* curl = Loaded();
    return curl ? curl->easyStrerror(code) : "libcurl.so.4 could not be loaded";
}

curl_slist* curl_slist_append(curl_slist* list, const char* text) {
    const Libcurl* curl = Loaded();
    return curl ? curl->slistAppend(list, text) : nullptr;
}

void curl_slist_free_all(curl_slist* list) {
    if (const Libcurl* curl = Loaded(); curl && list) curl->slistFreeAll(list);
}

}  // extern "C"
