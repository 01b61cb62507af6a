#include "view/AboutText.h"

#include "update/VersionFile.h"

namespace qen {

std::string AboutText(const std::string& packageTitle) {
    return "Qen Runtime\nVersion " + std::to_string(RunningVersion()) + "\n\n" + packageTitle +
           "\n\nFree software under the MIT License.";
}

}  // namespace qen
