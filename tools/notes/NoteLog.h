#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tessmar {

// tessmar-notes: the detected note of every capture block of an audio file, as CSV.
// args are the command-line arguments without the program name. Returns the exit
// status: 0 done, 1 the file could not be read, 2 wrong usage.
int RunNoteLog(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace tessmar
