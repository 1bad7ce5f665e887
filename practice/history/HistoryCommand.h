// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ostream>
#include <string>

namespace tessmar {

// tessmar-pitch --history FILE: every take kept, as CSV into FILE ("-": out). Before any
// take was kept, only the header. A history it can't read is told on err: status 1.
int RunHistoryCommand(const std::string& historyPath, const std::string& target, std::ostream& out,
                      std::ostream& err);

} // namespace tessmar
