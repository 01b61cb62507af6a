#pragma once
// The daily look for a newer version at start-up, and its download.

namespace qen {

class ContentPackage;
class Fetcher;
class Settings;
class System;
class Ui;

// At most once a day (after a version file arrived), asks the update server for the newest
// version; when it is newer than this one and the user wants it, downloads and checks the
// new program (and, for a copy under its standard name, the replacer) and stores it beside
// the running program. A copy bound to its package (`package.Embedded`) gets a new file
// that carries the package too, as its own file does. A copy in a folder this user cannot
// write, or one installed into a prefix (IsInstalledCopy), is only told that the new
// version comes through the system's software updates: nothing is downloaded.
// Each file is streamed into a saving file beside its place (at most 256 MB, for a bound
// copy the download and the package together) and put in place only once verified.
// True when the new program has been stored and this program is to end now.
bool CheckForNewVersion(Ui& ui, Settings& settings, System& system, Fetcher& fetcher,
                        const ContentPackage& package);

}  // namespace qen
