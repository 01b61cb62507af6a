#include "platform/wx/WxSettings.h"

#include <wx/fileconf.h>
#include <wx/filename.h>
#include <wx/utils.h>

#include <cstdlib>

#include "platform/wx/SystemText.h"

namespace qen {

namespace {

wxString SettingsFolder() {
    if (const char* over = std::getenv("QEN_CONFIG_HOME"); over && *over) return wxString::FromUTF8(over);
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        return wxString::FromUTF8(xdg) + "/Harrowmint";
    return wxGetHomeDir() + "/.config/Harrowmint";
}

wxString KeyOf(const std::string& section, const std::string& name) {
    return "/" + ToWx(section) + "/" + ToWx(name);
}

}  // namespace

WxSettings::WxSettings() {
    wxString folder = SettingsFolder();
    wxFileName::Mkdir(folder, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    config_ = std::make_unique<wxFileConfig>("Qen Runtime", "Harrowmint", folder + "/Qen Runtime.ini",
                                             wxEmptyString, wxCONFIG_USE_LOCAL_FILE);
}

WxSettings::~WxSettings() = default;

int WxSettings::GetInt(const std::string& section, const std::string& name, int fallback) {
    long value = fallback;
    config_->Read(KeyOf(section, name), &value, static_cast<long>(fallback));
    return static_cast<int>(value);
}

void WxSettings::SetInt(const std::string& section, const std::string& name, int value) {
    config_->Write(KeyOf(section, name), static_cast<long>(value));
    config_->Flush();
}

std::string WxSettings::GetString(const std::string& section, const std::string& name,
                                  const std::string& fallback) {
    wxString value;
    if (!config_->Read(KeyOf(section, name), &value)) return fallback;
    return FromWx(value);
}

Path WxSettings::GetPath(const std::string& section, const std::string& name) {
    wxString value;
    if (!config_->Read(KeyOf(section, name), &value)) return Path();
    return Path(PathFromWx(value));
}

void WxSettings::SetPath(const std::string& section, const std::string& name, const Path& value) {
    config_->Write(KeyOf(section, name), PathToWx(value.Bytes()));
    config_->Flush();
}

void WxSettings::SetString(const std::string& section, const std::string& name, const std::string& value) {
    config_->Write(KeyOf(section, name), ToWx(value));
    config_->Flush();
}

}  // namespace qen
