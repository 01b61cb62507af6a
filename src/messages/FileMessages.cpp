#include "messages/FileMessages.h"

#include "platform/Ui.h"

namespace qen {

std::optional<std::string> ReadWholeFile(Ui& ui, const Path& path) {
    FileError error;
    std::optional<std::string> data = ReadWholeFile(path, &error);
    if (data) return data;
    ShowReadFailure(ui, path, error);
    return std::nullopt;
}

void ShowReadFailure(Ui& ui, const Path& path, const FileError& error) {
    if (error.kind == FileError::Kind::OutOfMemory) ui.ShowMessage("Insufficient memory", Icon::Stop, Buttons::Ok);
    ui.ShowFormattedError("Unable to read file: %s", path.Display());
}

bool WriteWholeFile(Ui& ui, const Path& path, std::string_view data) {
    if (WriteWholeFile(path, data)) return true;
    ui.ShowFormattedError("Failed to write file %s", path.Display());
    return false;
}

}  // namespace qen
