// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer harness: the output-file field's rules (get, set, quoting, browse start) on any
// text. Which names "exist" is decided by the input's first byte, so the file-exists
// branches are reached without touching the disk.
#include "app/AppError.h"
#include "app/recording/FileNameRules.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using tessmar::FileNameRules;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::uint8_t mode = data[0];
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    const FileNameRules::Exists exists = [mode](const std::string& name) {
        return (mode & 1) != 0 && name.size() % 3 == mode % 3;
    };
    const FileNameRules::Exists none = [](const std::string&) { return false; };

    (void)FileNameRules::IsValid(FileNameRules::FileNameOf(text, exists));
    (void)FileNameRules::BrowseStartFor(text, exists, exists);
    // For a name without quotes or tabs: what is set reads back whole, blanks and all.
    const bool plain = text.find_first_of("\"\t") == std::string::npos;
    try {
        const std::string fieldText = FileNameRules::TextFor(text, exists);
        if (plain && FileNameRules::FileNameOf(fieldText, none) != text) {
            std::abort();
        }
    } catch (const tessmar::AppError&) {
    }
    if (plain && FileNameRules::FirstWord(FileNameRules::QuotedPath(text)) != text) {
        std::abort(); // a path from the dialog
    }
    return 0;
}
