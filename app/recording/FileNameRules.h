// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

namespace tessmar {

// The rules of the output-file field: the text the user sees, the file name taken from it,
// and what the browse dialog starts with.
class FileNameRules {
public:
    using Exists = std::function<bool(const std::string&)>;

    // The save dialog for the output file, wherever it is opened.
    static constexpr const char* kDialogTitle = "Browse";
    static constexpr const char* kFilter = "WAV-Dateien (*.wav)";

    // The first word of text split like a command line: words are separated by blanks, a
    // double-quoted part belongs to its word without the quotes. Empty without a word.
    static std::string FirstWord(const std::string& text);

    // The file name of a field text: the text itself when a file of that name exists,
    // otherwise its first word.
    static std::string FileNameOf(const std::string& text, const Exists& fileExists);

    // Not empty and free of < > " [ ] |.
    static bool IsValid(const std::string& name);

    // The field text for a new file name value; throws AppError
    // "Ungültiger Dateiname - <value>" when the name it gives is not valid.
    static std::string TextFor(const std::string& value, const Exists& fileExists);

    // A path from the browse dialog as field text: quoted when it holds a blank.
    static std::string QuotedPath(const std::string& path);

    struct BrowseStart {
        std::string folder;      // empty: the dialog's own choice
        std::string preselected; // name part to preselect, may be empty
    };
    static BrowseStart BrowseStartFor(const std::string& text, const Exists& fileExists,
                                      const Exists& folderExists);

    // Real file system checks for the rules above.
    static bool FileExists(const std::string& path);
    static bool FolderExists(const std::string& path);
};

} // namespace tessmar
