// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/recording/OwnFiles.h"
#include "app/recording/RunOutcome.h"
#include "app/recording/TakeSaver.h"
#include "audio/TakeJournal.h"
#include "platform/files/FileNameLock.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace tessmar {

class MessageBox;
class SaveDialog;

// What becomes of a take, apart from the window that runs it: which file it may replace,
// whom to ask and where it goes instead, the lock on its file's name, the journal that
// keeps it on disk while it runs, and the takes that an earlier run left in their journals.
// The person at the window is asked through the message box and the save dialog; where
// nobody can answer (a command-line take, or a signal came), the take goes to a fallback
// file and the terminal and the exit status are told.
class TakeKeeper {
public:
    struct Window {
        MessageBox& messages;
        SaveDialog& saveDialog;
        QWidget* parent;
        // An error box, or standard error once nobody answers boxes.
        std::function<void(const std::string& text)> report;
        // Runs work on the window's thread, soon; the journal reports from its own thread.
        std::function<void(std::function<void()> work)> post;
    };

    TakeKeeper(Window window, const std::string& homeFolder,
               std::vector<std::string> journalFolders, RunOutcome& outcome);

    // The run records one take from the command line: its caller named the file, so it is
    // replaced, and what goes wrong fails the run rather than asking.
    void SetCommandLine() { commandLine_ = true; }
    bool CommandLine() const { return commandLine_; }
    // A signal came: nobody answers a question any more.
    void SetSignalled() { signalled_ = true; }
    bool Signalled() const { return signalled_; }
    bool Unattended() const { return commandLine_ || signalled_; }

    // The slider position for the command line's volume; current is the slider's now. A
    // volume other than the one given is said, never taken silently.
    int VolumeFromArgument(const std::string& given, int current);
    // A whole number in the way the volume is given: blanks around it and a sign allowed.
    static std::optional<int> WholeNumber(const std::string& text);

    // Before the capture starts: the journal begins and fileName (may be empty) is locked.
    void Begin(const std::string& fileName);
    // At the stop: the file the take goes to (the named one, a chosen one or a fallback);
    // empty when there is none.
    std::string FileToWrite(const std::string& fileName);
    // The take couldn't be written to fileName: the next name to try; empty gives it up.
    std::string OtherFile(const std::string& fileName, const std::string& reason);
    // The take of bytes couldn't be written to fileName for want of space: true when its
    // journal, which holds it, took the file's place.
    bool MoveJournalTo(const std::string& fileName, std::int32_t bytes);
    void Saved(const std::string& fileName);
    // The take is over: says what became of it; its journal goes once it is safe.
    // fileNamed: a file was named at the stop.
    void End(bool fileNamed);
    // The take failed before its end: its journal keeps what may be nowhere else.
    void Abandon();
    // The take failed with an error of this text; the run fails.
    void Failed(const std::string& what);

    // The recording device didn't open (its code).
    void DeviceUnavailable(std::uint32_t code);
    // The recording device went away during the take; true when the take ends with it.
    // kept: a file is named, so what was recorded is saved.
    bool DeviceLost(bool kept);
    // Takes an earlier run left in the journal folders are saved; each is told.
    void RecoverInterruptedTakes(bool commandLine);

    // What the capture engine journals to; null when there are no journal folders.
    TakeJournal* Journal() { return journalFolders_.empty() ? nullptr : &journal_; }

private:
    // What was at a name: its identity and when it was last written; none when nothing.
    struct FileState {
        unsigned long long device = 0, inode = 0;
        long long seconds = 0, nanoseconds = 0, size = 0;
        bool operator==(const FileState&) const = default;
    };
    static std::optional<FileState> StateOf(const std::string& fileName);
    bool WrittenSinceBegin(const std::string& fileName) const;

    struct Answer {
        bool replace = false;
        std::string other; // empty: none chosen
    };
    std::optional<std::string> AskForFile(const std::string& fileName);
    Answer AskToReplace(const std::string& fileName);
    std::string AskForOtherFile(const std::string& fileName, const std::string& reason);
    void Tell(const std::string& text, bool commandLine);
    void JournalTrouble(const std::string& reason);
    void Rescue(const TakeJournal::File& journal, std::time_t started);

    Window window_;
    std::vector<std::string> journalFolders_;
    RunOutcome& outcome_;
    TakeSaver saver_;
    OwnFiles ownFiles_;                       // replaced without a question
    FileNameLock nameLock_;                   // the output file's, from a take's start to its save
    std::string beganWith_;                   // the name the take began with
    std::optional<FileState> beganWithState_; // and what was there then
    bool journalTroubleTold_ = false;
    bool commandLine_ = false;
    bool signalled_ = false;
    TakeJournal journal_; // last: its writer thread calls back into the members above
};

} // namespace tessmar
