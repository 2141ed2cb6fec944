// What the framework's profile functions offer: 4-byte integers and texts kept by section and
// entry. The application object's registry profile implements it; plain code reads and writes
// through it, so that it also runs without the registry.
#pragma once

#include <cstdint>
#include <string>

// The platform's headers map these names to its old initialisation-file functions, which
// this program never uses.
#undef GetProfileInt
#undef GetProfileString
#undef WriteProfileString

class ProfileStore {
public:
    virtual ~ProfileStore() = default;
    // The 4-byte value, or defaultValue when it cannot be read.
    virtual uint32_t GetProfileInt(const char* section, const char* entry,
                                   uint32_t defaultValue) = 0;
    // The text, or empty when it cannot be read.
    virtual std::string GetProfileString(const char* section, const char* entry) = 0;
    virtual bool WriteProfileInt(const char* section, const char* entry, uint32_t value) = 0;
    virtual bool WriteProfileString(const char* section, const char* entry,
                                    const std::string& value) = 0;
};
