#include "files/FileHelpers.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>
#include <stdexcept>
#include <system_error>

#include "platform/Ui.h"
#include "files/PathHelpers.h"
#include "text/TextEncoding.h"

namespace qen {

namespace {

// Larger files are refused rather than risking the whole process on one allocation.
constexpr std::uintmax_t kMaxFileSize = std::uintmax_t{1} << 30;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::optional<std::string> ReadRaw(const std::string& path) {
    // Status first: a folder, pipe or device is refused before opening could block on it.
    std::error_code error;
    std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > kMaxFileSize) return std::nullopt;
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) return std::nullopt;
    std::string data(static_cast<std::size_t>(size), '\0');
    if (size > 0 && std::fread(data.data(), 1, data.size(), file.get()) != data.size()) return std::nullopt;
    return data;
}

}  // namespace

void ShowFormattedError(Ui& ui, std::string_view format, std::string_view text) {
    std::string message(format);
    std::size_t at = message.find("%s");
    if (at != std::string::npos) message.replace(at, 2, text);
    ui.ShowMessage(message, Icon::Stop, Buttons::Ok);
}

std::optional<std::string> ReadWholeFile(Ui& ui, const std::string& path) {
    std::optional<std::string> data;
    try {
        data = ReadRaw(path);
    } catch (const std::bad_alloc&) {
        data.reset();
    } catch (const std::length_error&) {
        data.reset();
    }
    if (!data) {
        ShowFormattedError(ui, "Unable to read file: %s", path);
        return std::nullopt;
    }

    std::string extension = ExtensionOf(path);
    if (extension == ".html" || extension == ".txt") {
        try {
            std::string text = ConvertMarkedText(std::move(*data));
            std::size_t end = text.find('\0');
            if (end != std::string::npos) text.resize(end);
            return text;
        } catch (const std::bad_alloc&) {
        } catch (const std::length_error&) {
        }
        ui.ShowMessage("Insufficient memory", Icon::Stop, Buttons::Ok);
        ShowFormattedError(ui, "Unable to read file: %s", path);
        return std::nullopt;
    }
    return data;
}

bool WriteWholeFile(Ui& ui, const std::string& path, std::string_view data) {
    bool written = false;
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        written = std::fwrite(data.data(), 1, data.size(), file) == data.size();
        written = (std::fclose(file) == 0) && written;
    }
    if (!written) ShowFormattedError(ui, "Failed to write file %s", path);
    return written;
}

}  // namespace qen
