// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tessmar {

// Whether the program did what it was started for, as its exit status tells: 0 when a
// command-line take was saved to its file, 1 when it was not, or only elsewhere, or anything
// else went wrong that the caller should know of. Every failure and note is said on
// standard error at once, so it is out even if the program is killed later.
class RunOutcome {
public:
    using Say = std::function<void(const std::string&)>;

    explicit RunOutcome(Say say = SayOnStandardError) : say_(std::move(say)) {}

    // Something the program was started for did not happen; the exit status becomes 1.
    void Fail(const std::string& reason);
    // Worth telling, but no failure.
    void Note(const std::string& text);

    bool Failed() const { return failed_; }
    int ExitStatus() const { return failed_ ? 1 : 0; }
    const std::vector<std::string>& Said() const { return said_; }

    // "tessmar: text." on standard error.
    static void SayOnStandardError(const std::string& text);

private:
    Say say_;
    bool failed_ = false;
    std::vector<std::string> said_;
};

} // namespace tessmar
