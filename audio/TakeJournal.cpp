// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/TakeJournal.h"

#include "audio/WaveFileWriter.h"
#include "platform/capture/CaptureFormat.h"
#include "platform/files/AtomicFile.h"
#include "platform/files/PrivateFolder.h"
#include "platform/system/AllBytes.h"
#include "platform/system/SystemErrorText.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <unistd.h>
#include <utility>

namespace tessmar {

struct TakeJournal::Slot {
    std::int32_t offset;
    std::uint32_t n;
    std::uint8_t bytes[kBlockBytes];
};

namespace {

using namespace std::chrono_literals;
constexpr auto kWriteEvery = 200ms; // what a killed program loses at most
constexpr auto kSyncEvery = 1s;     // what a power cut loses at most

// The journal of the running take, for the exit handler.
std::atomic<TakeJournal*> g_live{nullptr};
std::once_flag g_atExit;

bool WriteHeader(int fd, std::int64_t bytes) {
    const auto header = WaveFileHeader(std::uint32_t(bytes), kSampleRate, true, true);
    return WriteAllAt(fd, header.data(), header.size(), 0);
}

} // namespace

TakeJournal::TakeJournal(Trouble trouble, Rescue rescue)
    : trouble_(std::move(trouble)), rescue_(std::move(rescue)), head_(0), tail_(0) {}

TakeJournal::~TakeJournal() {
    End(true);
}

std::vector<std::string> TakeJournal::Folders() {
    std::vector<std::string> folders;
    const char* state = std::getenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    if (state && *state == '/') {
        folders.push_back(std::string(state) + "/tessmar");
    } else if (home && *home == '/') {
        folders.push_back(std::string(home) + "/.local/state/tessmar");
    }
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        runtime && *runtime == '/' && PrivateFolder::Check(runtime)) {
        folders.push_back(std::string(runtime) + "/tessmar");
    }
    folders.push_back(PrivateFolder::InTemp(PrivateFolder::TempFolder()));
    return folders;
}

std::string TakeJournal::FileName(std::time_t started, long pid) {
    return "take-" + std::to_string(static_cast<long long>(started)) + "-" + std::to_string(pid) +
           ".journal";
}

std::optional<std::time_t> TakeJournal::StartedOf(const std::string& fileName) {
    long long started = 0;
    long pid = 0;
    int used = 0;
    if (std::sscanf(fileName.c_str(), "take-%lld-%ld.journal%n", &started, &pid, &used) != 2 ||
        std::size_t(used) != fileName.size()) {
        return std::nullopt;
    }
    return std::time_t(started);
}

bool TakeJournal::Begin(const std::vector<std::string>& folders, std::time_t started) {
    End(false);
    moved_ = false; // a take given up after its move left it set
    int error = ENOENT;
    for (const std::string& folder : folders) {
        UniqueFd dir = PrivateFolder::Open(folder, true);
        if (!dir) {
            error = errno ? errno : EACCES;
            continue;
        }
        // Locked before it has its name, so that no start in between finds it unlocked.
        std::string temp;
        UniqueFd fd;
        std::random_device random;
        for (int tries = 0; !fd && tries < 10; ++tries) {
            char name[32];
            std::snprintf(name, sizeof name, ".take-%08x", unsigned(random()));
            temp = name;
            fd = UniqueFd(::openat(dir.get(), name,
                                   O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
            if (!fd && errno != EEXIST) {
                break;
            }
        }
        if (!fd) {
            error = errno;
            continue;
        }
        const std::string name = FileName(started, long(::getpid()));
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0 || !WriteHeader(fd.get(), 0) ||
            ::renameat(dir.get(), temp.c_str(), dir.get(), name.c_str()) != 0) {
            error = errno;
            ::unlinkat(dir.get(), temp.c_str(), 0);
            continue;
        }
        fd_ = std::move(fd);
        folder_ = std::move(dir);
        name_ = name;
        path_ = folder + "/" + name;
        break;
    }
    if (!fd_) {
        trouble_(SystemErrorText(error));
        return false;
    }
    started_ = started;
    ring_ = std::make_unique<Slot[]>(kRingBlocks);
    head_ = 0;
    tail_ = 0;
    broken_ = false;
    overrun_ = false;
    overrunTold_ = false;
    end_ = 0;
    dirty_ = false;
    stop_ = false;
    active_ = true;
    writer_ = std::thread([this] { Run(); });
    std::call_once(g_atExit, [] { std::atexit(&TakeJournal::SaveLiveTake); });
    g_live = this;
    return true;
}

void TakeJournal::Append(std::int32_t offset, const std::uint8_t* bytes, std::uint32_t n) noexcept {
    if (!active_ || broken_.load(std::memory_order_relaxed) || n > kBlockBytes) {
        return;
    }
    const std::size_t head = head_.load(std::memory_order_relaxed);
    if (head - tail_.load(std::memory_order_acquire) == kRingBlocks) {
        // The disk keeps the writer back for seconds: this block is missing from the
        // journal (not from the take), as silence.
        overrun_.store(true, std::memory_order_relaxed);
        return;
    }
    Slot& slot = ring_[head % kRingBlocks];
    slot.offset = offset;
    slot.n = n;
    std::memcpy(slot.bytes, bytes, n);
    head_.store(head + 1, std::memory_order_release);
}

void TakeJournal::Run() {
    auto lastSync = std::chrono::steady_clock::now();
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait_for(lock, kWriteEvery, [this] { return stop_; });
        const bool stopping = stop_;
        lock.unlock();
        Drain();
        const auto now = std::chrono::steady_clock::now();
        if (dirty_ && (stopping || now - lastSync >= kSyncEvery)) {
            Sync();
            lastSync = now;
        }
        lock.lock();
        if (stopping) {
            return;
        }
    }
}

void TakeJournal::Drain() {
    const std::size_t head = head_.load(std::memory_order_acquire);
    std::size_t tail = tail_.load(std::memory_order_relaxed);
    for (; tail != head; ++tail) {
        const Slot& slot = ring_[tail % kRingBlocks];
        if (broken_) {
            continue;
        }
        const off_t at = kWaveHeaderBytes + off_t(slot.offset);
        if ((slot.offset < end_ && ::ftruncate(fd_.get(), at) != 0) ||
            !WriteAllAt(fd_.get(), slot.bytes, slot.n, at)) {
            Broken(errno);
            continue;
        }
        end_ = std::int64_t(slot.offset) + slot.n;
        dirty_ = true;
    }
    tail_.store(tail, std::memory_order_release);
    if (overrun_.load(std::memory_order_relaxed) && !overrunTold_ && !broken_) {
        overrunTold_ = true;
        trouble_("die Sicherungskopie kommt mit dem Schreiben nicht nach; nach einem Absturz "
                 "fehlen darin Stücke");
    }
}

void TakeJournal::Sync() {
    if (broken_) {
        return;
    }
    // The header tells the sound synced so far: the journal is a WAV file as it stands.
    if (!WriteHeader(fd_.get(), end_) || ::fdatasync(fd_.get()) != 0) {
        Broken(errno);
        return;
    }
    dirty_ = false;
}

void TakeJournal::Broken(int error) {
    // What was written stays: after a crash it is still the take's beginning.
    if (!broken_.exchange(true)) {
        trouble_(SystemErrorText(error));
    }
}

void TakeJournal::Stop() {
    if (!writer_.joinable()) {
        return;
    }
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    writer_.join();
}

std::string TakeJournal::Finish() {
    Stop();
    return fd_ && !broken_ && !overrun_ ? path_ : std::string();
}

int TakeJournal::MoveTo(const std::string& target, std::int64_t bytes) {
    if (Finish().empty() || end_ != bytes) {
        return ENODATA;
    }
    // Nothing after the take's end (a take begun anew from an earlier offset is shorter).
    if (::ftruncate(fd_.get(), kWaveHeaderBytes + end_) != 0) {
        return errno;
    }
    AtomicFile file(target);
    if (!file.Adopt(folder_.get(), name_, fd_.get())) {
        return file.error();
    }
    moved_ = true;
    return 0;
}

void TakeJournal::End(bool keep) {
    if (!fd_) {
        return;
    }
    Stop();
    g_live = nullptr;
    active_ = false;
    if (!keep && !std::exchange(moved_, false)) {
        // Still locked: nobody takes it for an interrupted take.
        ::unlinkat(folder_.get(), name_.c_str(), 0);
    }
    fd_ = UniqueFd(); // closed, and with it the lock
    folder_ = UniqueFd();
    ring_.reset();
}

// The journal is completed and handed over to be saved. The capture thread may still be
// running, so the ring stays.
void TakeJournal::SaveLiveTake() {
    TakeJournal* journal = g_live.exchange(nullptr);
    if (journal == nullptr) {
        return;
    }
    journal->Stop();
    if (journal->rescue_) {
        journal->rescue_(
            {journal->fd_.get(), journal->folder_.get(), journal->name_, journal->path_},
            journal->started_);
    }
}

} // namespace tessmar
