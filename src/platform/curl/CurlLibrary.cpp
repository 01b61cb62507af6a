#include "platform/curl/CurlLibrary.h"

#include <dlfcn.h>

#include <mutex>

namespace qen {

namespace {

template <typename Function>
bool Find(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

}  // namespace

const CurlLibrary* CurlLibrary::Loaded() {
    static std::once_flag once;
    static CurlLibrary curl;
    static bool usable = false;
    std::call_once(once, [] {
        // Kept open for the process's life: worker threads may use it until the very end.
        void* library = dlopen(kCurlLibraryName, RTLD_NOW | RTLD_LOCAL);
        if (!library) return;
        decltype(&curl_global_init) globalInit = nullptr;
        usable = Find(library, "curl_global_init", globalInit) && Find(library, "curl_easy_init", curl.easyInit) &&
                 Find(library, "curl_easy_setopt", curl.easySetopt) &&
                 Find(library, "curl_easy_perform", curl.easyPerform) &&
                 Find(library, "curl_easy_reset", curl.easyReset) &&
                 Find(library, "curl_easy_cleanup", curl.easyCleanup) &&
                 Find(library, "curl_easy_strerror", curl.easyStrerror) &&
                 Find(library, "curl_slist_append", curl.slistAppend) &&
                 Find(library, "curl_slist_free_all", curl.slistFreeAll) &&
                 globalInit(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    });
    return usable ? &curl : nullptr;
}

}  // namespace qen
