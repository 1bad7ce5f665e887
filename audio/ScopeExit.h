// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <utility>

namespace tessmar {

// Runs an action once: when Run() is called, or when the scope is left without it, also
// by an exception. The action must not throw while the scope unwinds, so an error from
// it is dropped there.
template <typename Action> class ScopeExit {
public:
    explicit ScopeExit(Action action) : action_(std::move(action)) {}
    ~ScopeExit() {
        if (pending_) {
            pending_ = false;
            try {
                action_();
            } catch (...) {
            }
        }
    }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

    void Run() {
        if (pending_) {
            pending_ = false;
            action_();
        }
    }

private:
    Action action_;
    bool pending_ = true;
};

} // namespace tessmar
