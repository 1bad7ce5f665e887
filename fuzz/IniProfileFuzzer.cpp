// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer harness: the INI profile reader on any file text, through the window placement
// restore that reads it at every start, and the writer's promise that a key it sets reads
// back as set.
#include "app/placement/FormStorage.h"
#include "platform/profile/ProfileStore.h"
#include "platform/profile/ProfileText.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// The profile functions on the fuzzed text instead of a file.
class TextProfile : public tessmar::ProfileStore {
public:
    explicit TextProfile(std::string text) : text_(std::move(text)) {}
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) override {
        return tessmar::ProfileText::Read(text_, section, key).value_or(fallback);
    }
    bool WriteStrings(const std::string& section, const tessmar::ProfileEntries& entries) override {
        for (const auto& [key, value] : entries) {
            auto next = tessmar::ProfileText::Write(text_, section, key, value);
            if (!next) {
                return false;
            }
            text_ = std::move(*next);
        }
        return true;
    }
    std::string FileName() const override { return "fuzz.INI"; }

private:
    std::string text_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    TextProfile profile(text);
    tessmar::FormStorage storage(profile);
    tessmar::WindowPlacement current;
    current.normalPosition = {238, 188, 786, 580};
    (void)storage.Restore(current, {1024, 768, 96});

    const auto written = tessmar::ProfileText::Write(text, "TMainForm", "NormPos", "1,2,3,4");
    if (written && tessmar::ProfileText::Read(*written, "TMainForm", "NormPos") != "1,2,3,4") {
        std::abort(); // a key just set must read back as set
    }
    tessmar::WindowPlacement saved = current;
    (void)storage.Save(saved, false, {1024, 768, 96}, false);
    return 0;
}
