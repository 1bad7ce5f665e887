// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tessmar {

// Follows the symbolic links at path that the process's own user owns (a dotfile manager's),
// as the kernel's protected-symlinks rule would in a shared folder; path becomes what they
// lead to. 0, or why not: kErrForeignLink for another user's link, ELOOP, or the errno of
// looking. A path that names nothing is left as it is, with 0.
int ResolveOwnLinks(std::string& path);

// Others may write the folder, or it is not the user's: what is created there must not be
// readable by them either.
bool SharedFolder(const std::string& folder);

// The folder part of path: "." for a bare name, "/" at the root.
std::string FolderOf(const std::string& path);

} // namespace tessmar
