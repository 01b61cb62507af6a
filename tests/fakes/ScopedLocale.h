#pragma once
// Sets the C library's locale and time zone for one scope and puts back what was there, so a
// failed assertion cannot leave the next test in a German locale or another zone.
#include <clocale>
#include <ctime>
#include <string>

#include "fakes/ScopedEnvironment.h"

namespace qen::test {

class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const std::string& zone) {
        environment_.Set("TZ", zone);
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;
    ~ScopedTimeZone() {
        environment_.Restore();
        tzset();
    }

private:
    ScopedEnvironment environment_;
};

class ScopedLocale {
public:
    ScopedLocale() : saved_(std::setlocale(LC_ALL, nullptr)) {}
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;
    ~ScopedLocale() { std::setlocale(LC_ALL, saved_.c_str()); }

    // False when the locale is not installed; the old one stays in force then.
    bool Set(const char* name) { return std::setlocale(LC_ALL, name) != nullptr; }

private:
    std::string saved_;
};

}  // namespace qen::test
