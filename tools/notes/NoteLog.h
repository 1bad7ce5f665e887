// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tessmar {

class ChartRenderer;

// tessmar-notes: the detected note of every capture block of an audio file, as CSV;
// with --pitch also the sung pitch, with --chart a picture of the take drawn by chart.
// args are the command-line arguments without the program name. Returns the exit
// status: 0 done, 1 the file could not be read or the chart not written, 2 wrong usage.
int RunNoteLog(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               ChartRenderer* chart = nullptr);

} // namespace tessmar
