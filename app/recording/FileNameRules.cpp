// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/recording/FileNameRules.h"

#include "app/AppError.h"

#include <filesystem>

namespace tessmar {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

std::string FileNameRules::FirstWord(const std::string& text) {
    std::size_t at = 0;
    while (at < text.size() && IsBlank(text[at])) {
        ++at;
    }
    std::string word;
    bool quoted = false;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '"') {
            quoted = !quoted;
        } else if (IsBlank(c) && !quoted) {
            break;
        } else {
            word += c;
        }
    }
    return word;
}

std::string FileNameRules::FileNameOf(const std::string& text, const Exists& fileExists) {
    if (!text.empty() && fileExists(text)) {
        return text;
    }
    return FirstWord(text);
}

bool FileNameRules::IsValid(const std::string& name) {
    return !name.empty() && name.find_first_of("<>\"[]|") == std::string::npos;
}

std::string FileNameRules::TextFor(const std::string& value, const Exists& fileExists) {
    if (value.empty()) {
        return value;
    }
    if (!IsValid(FileNameOf(value, fileExists))) {
        throw AppError("Ungültiger Dateiname - " + value);
    }
    if (value.find(' ') != std::string::npos && value.front() != '"') {
        return '"' + value + '"';
    }
    return value;
}

std::string FileNameRules::QuotedPath(const std::string& path) {
    return path.find(' ') != std::string::npos ? '"' + path + '"' : path;
}

FileNameRules::BrowseStart FileNameRules::BrowseStartFor(const std::string& text,
                                                         const Exists& fileExists,
                                                         const Exists& folderExists) {
    BrowseStart start;
    const std::filesystem::path name = FileNameOf(text, fileExists);
    const std::string folder = name.parent_path().string();
    if (!folder.empty() && folderExists(folder)) {
        start.folder = folder;
    }
    if (IsValid(name.string())) {
        start.preselected = name.filename().string();
    }
    return start;
}

bool FileNameRules::FileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec) && !std::filesystem::is_directory(path, ec);
}

bool FileNameRules::FolderExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_directory(path, ec);
}

} // namespace tessmar
