// Fuzz target: a profile holding any values decoded into the settings record. Written back and
// read again, the decoded record is unchanged.
#include "settings/watch_settings.h"
#include "tests/fuzz/fuzz_input.h"

#include <map>
#include <string>

namespace {

// Answers every read from the fuzz input; keeps what is written.
class FuzzProfile : public ProfileStore {
public:
    explicit FuzzProfile(FuzzInput* input) : m_input(input) {}

    uint32_t GetProfileInt(const char*, const char* entry, uint32_t defaultValue) override {
        if (m_input == nullptr)
            return m_ints.count(entry) ? m_ints[entry] : defaultValue;
        const uint32_t value = m_input->TakeU32();
        // Every third value is missing and takes its default.
        return value % 3 == 0 ? defaultValue : value;
    }
    std::string GetProfileString(const char*, const char* entry) override {
        return m_input != nullptr ? m_input->TakeText() : m_strings[entry];
    }
    bool WriteProfileInt(const char*, const char* entry, uint32_t value) override {
        m_ints[entry] = value;
        return true;
    }
    bool WriteProfileString(const char*, const char* entry, const std::string& value) override {
        m_strings[entry] = value;
        return true;
    }

private:
    FuzzInput* m_input;
    std::map<std::string, uint32_t> m_ints;
    std::map<std::string, std::string> m_strings;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    FuzzProfile stored(&input);
    const WatchSettings decoded = LoadWatchSettings(stored);
    FuzzProfile written(nullptr);
    SaveWatchSettings(written, decoded);
    Require(LoadWatchSettings(written) == decoded);
    return 0;
}
