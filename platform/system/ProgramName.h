// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <errno.h>

namespace tessmar {

// The running program's name as it was called ("tessmar-pitch"), for messages on standard
// error that the layers below every program write: each program names itself.
inline const char* ProgramName() {
    return program_invocation_short_name;
}

} // namespace tessmar
