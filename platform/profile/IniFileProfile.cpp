// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/profile/IniFileProfile.h"

#include "platform/files/AtomicFile.h"
#include "platform/files/OwnLinks.h"
#include "platform/profile/ProfileText.h"
#include "platform/system/AllBytes.h"
#include "platform/system/UniqueFd.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessmar {
namespace {

// Far beyond any placement file; a bigger file is not ours to rewrite.
constexpr std::uintmax_t kMaxFileSize = 1 << 20;

// The whole file; empty text for a missing file, nullopt when it exists but can't be read
// (rewriting it then would lose its content).
// Another user's link is not followed, as the writer doesn't either: what it leads to is
// not the user's placement.
std::optional<std::string> ReadAll(const std::string& path) {
    std::string target = path;
    if (ResolveOwnLinks(target) != 0) {
        return std::nullopt;
    }
    const UniqueFd fd(
        ::open(target.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd) {
        return errno == ENOENT ? std::optional<std::string>(std::string()) : std::nullopt;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) ||
        std::uintmax_t(st.st_size) > kMaxFileSize) {
        return std::nullopt;
    }
    std::string text(std::size_t(st.st_size), '\0');
    if (!ReadAllAt(fd.get(), text.data(), text.size(), 0)) {
        return std::nullopt;
    }
    return text;
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) {
        return home;
    }
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) {
        return pw->pw_dir;
    }
    return "/tmp";
}

} // namespace

IniFileProfile::IniFileProfile(std::string path) : path_(std::move(path)) {}

std::string IniFileProfile::PathFor(const std::string& programFile, const std::string& configHome,
                                    const std::string& home) {
    std::filesystem::path name = std::filesystem::path(programFile).filename();
    name.replace_extension(".INI");
    // Relative values of XDG_CONFIG_HOME are invalid and must be ignored.
    const std::filesystem::path folder = !configHome.empty() && configHome.front() == '/'
                                             ? std::filesystem::path(configHome)
                                             : std::filesystem::path(home) / ".config";
    return (folder / name).string();
}

std::string IniFileProfile::DefaultPathFor(const std::string& programFile) {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    return PathFor(programFile, configHome ? configHome : "", HomeFolder());
}

std::string IniFileProfile::ReadString(const std::string& section, const std::string& key,
                                       const std::string& fallback) {
    const auto text = ReadAll(path_);
    if (!text) {
        return fallback;
    }
    return ProfileText::Read(*text, section, key).value_or(fallback);
}

bool IniFileProfile::WriteStrings(const std::string& section, const ProfileEntries& entries) {
    auto text = ReadAll(path_);
    for (const auto& [key, value] : entries) {
        if (!text) {
            return false;
        }
        text = ProfileText::Write(*text, section, key, value);
    }
    if (!text) {
        return false;
    }
    std::error_code ec;
    const auto folder = std::filesystem::path(path_).parent_path();
    if (!folder.empty()) {
        std::filesystem::create_directories(folder, ec);
    }
    AtomicFile file(path_);
    return file.Open() && file.Write(text->data(), text->size()) && file.Commit();
}

} // namespace tessmar
