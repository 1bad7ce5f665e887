// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/system/UniqueFd.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tessmar {

// A running take kept on disk as it is captured, so that a killed program, a power cut or
// a lost display doesn't lose it: one WAV file per take in a private folder, locked while
// the take runs (so that a later start never takes it for an interrupted one), written by
// a thread of its own and made durable about once a second. Its data mirror the recording
// byte for byte. The capture thread only copies each kept block into a ring made at the
// start (128 KiB): it never waits and allocates nothing. A journal that can't be written
// doesn't disturb the take: the trouble is reported once and the take goes on in memory.
class TakeJournal {
public:
    // Why the journal can't keep the take; on the writer's thread or the caller's.
    using Trouble = std::function<void(const std::string& reason)>;
    // A journal on disk: its descriptor (which holds the lock), the private folder it is in
    // (held open, so that its name is looked up where it was checked), and its name there.
    struct File {
        int fd;
        int folder;
        std::string name;
        std::string path; // for messages
    };
    // The program ends (exit) while the take runs: the journal is complete and synced, its
    // descriptor holds the lock; save it now.
    using Rescue = std::function<void(const File& journal, std::time_t started)>;

    TakeJournal(Trouble trouble, Rescue rescue);
    ~TakeJournal();
    TakeJournal(const TakeJournal&) = delete;
    TakeJournal& operator=(const TakeJournal&) = delete;

    // Window thread, before the capture starts: the first of folders that can be had as
    // the user's alone takes the journal. False, with the trouble reported, when none can.
    bool Begin(const std::vector<std::string>& folders, std::time_t started);
    // Window thread, once the capture thread has ended: writes and syncs what is left; the
    // journal's path when it holds the whole take (nothing dropped, no write failed), else
    // empty. End follows.
    std::string Finish();
    // Window thread, after Finish: the take of bytes can't be written to target for want of
    // space. The journal, when it holds just that take, becomes that file by a rename,
    // which needs no more space; End then has nothing to remove. 0, or why not (EXDEV:
    // another file system; the journal stays as it was).
    int MoveTo(const std::string& target, std::int64_t bytes);
    // Capture thread: the recording now holds these n bytes at offset; an offset below the
    // end begins it anew from there.
    void Append(std::int32_t offset, const std::uint8_t* bytes, std::uint32_t n) noexcept;
    // Window thread, once the capture thread has ended. keep: the take is nowhere else, so
    // the journal stays for the next start; otherwise it is removed.
    void End(bool keep);

    // The program is about to end under the running take (Qt's xcb says "The X11
    // connection broke" and calls exit()): the journal is completed and rescued now, while
    // everything else still stands. Also run by an exit handler.
    static void SaveLiveTake();

    // Where journals go: $XDG_STATE_HOME/tessmar (~/.local/state/tessmar); where the home
    // folder is unusable, folders a reboot empties: the runtime folder's, a private one in
    // the temporary folder.
    static std::vector<std::string> Folders();
    // "take-<started>-<pid>.journal", and back.
    static std::string FileName(std::time_t started, long pid);
    static std::optional<std::time_t> StartedOf(const std::string& fileName);

    // About 3 s of sound: what the writer may fall behind while the disk is slow.
    static constexpr std::size_t kRingBlocks = 32;

private:
    struct Slot;
    void Run();
    void Drain();
    void Sync();
    void Broken(int error);
    void Stop();

    Trouble trouble_;
    Rescue rescue_;
    UniqueFd fd_;
    UniqueFd folder_; // the private folder it is in, held from Begin to End
    std::string name_;
    std::string path_;
    std::time_t started_ = 0;
    std::unique_ptr<Slot[]> ring_;
    bool active_ = false;           // between Begin and End; read by the capture thread too
    std::atomic<std::size_t> head_; // written by the capture thread
    std::atomic<std::size_t> tail_; // written by the writer
    std::atomic<bool> broken_ = false;
    std::atomic<bool> overrun_ = false;
    std::int64_t end_ = 0; // writer: bytes of sound in the file
    bool dirty_ = false;   // writer: written since the last sync
    bool moved_ = false;   // renamed into the take's file: nothing left to remove
    bool overrunTold_ = false;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::thread writer_;
};

} // namespace tessmar
