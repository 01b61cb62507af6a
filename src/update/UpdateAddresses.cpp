#include "update/UpdateAddresses.h"

#include "web/Endpoints.h"

namespace qen {

namespace {

std::string Address(Settings& settings, Endpoint host, const char* path) {
    return "http://" + EndpointValue(settings, host) + path;
}

}  // namespace

std::string VersionFileAddress(Settings& settings) {
    return Address(settings, Endpoint::UpdateHost, "/qenruntime/version.txt");
}

std::string ProgramAddress(Settings& settings, bool standardName) {
    return standardName ? Address(settings, Endpoint::DownloadHost, "/QenRuntime")
                        : Address(settings, Endpoint::UpdateHost, "/qenruntime/QenRuntime");
}

std::string ReplacerAddress(Settings& settings) {
    return Address(settings, Endpoint::DownloadHost, "/QenRuntimeAutoReplaceTool");
}

std::string SignatureAddress(const std::string& fileAddress) { return fileAddress + ".sig"; }

}  // namespace qen
