#pragma once
// What one run of the program has settled about itself: where its files are, which
// settings section is its own, its zoom, and whether the user's data may be saved.
#include <string>

#include "base/Path.h"

namespace qen {

struct Session {
    Path ExePath;        // the running program file
    Path UserDataPath;   // the ".lum" file
    Path WorkFolder;     // ends in "/" once created; empty until then
    Path HomePage;       // what the Home command shows
    std::string ProductKey;  // the settings section of this package
    int ZoomPercent = 100;
    bool ReadyToSave = false;  // set once the first page is shown
};

}  // namespace qen
