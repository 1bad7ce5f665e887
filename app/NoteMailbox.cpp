#include "app/NoteMailbox.h"

namespace tessmar {

bool NoteMailbox::Post(std::int32_t note) {
    std::lock_guard lock(mutex_);
    latest_ = note;
    const bool notify = !pending_;
    pending_ = true;
    return notify;
}

std::int32_t NoteMailbox::Take() {
    std::lock_guard lock(mutex_);
    pending_ = false;
    return latest_;
}

} // namespace tessmar
