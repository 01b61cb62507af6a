// Downloaded feeds and marked files are untrusted bytes: the conversions must hold on any input.
#include <cstddef>
#include <cstdint>
#include <string>

#include "text/TextEncoding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    (void)qen::DecodeDownloadedText(bytes);
    (void)qen::Utf8ToAnsiWithReferences(bytes);
    (void)qen::ConvertMarkedText(bytes);
    return 0;
}
