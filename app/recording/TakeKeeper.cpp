// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/recording/TakeKeeper.h"

#include "app/AppError.h"
#include "app/recording/FileNameRules.h"
#include "app/recording/RecordingMessages.h"
#include "app/recording/TakeRecovery.h"
#include "platform/desktop/MessageBox.h"
#include "platform/desktop/SaveDialog.h"
#include "platform/files/AtomicFile.h"
#include "platform/files/OwnLinks.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <sys/stat.h>
#include <utility>

namespace tessmar {

TakeKeeper::TakeKeeper(Window window, const std::string& homeFolder,
                       std::vector<std::string> journalFolders, RunOutcome& outcome)
    : window_(std::move(window)), journalFolders_(std::move(journalFolders)), outcome_(outcome),
      saver_({[this] { return Unattended(); },
              [this](const std::string& file, const std::string& reason) {
                  return AskForOtherFile(file, reason);
              }},
             TakeSaver::DefaultFallbackFolders(homeFolder), outcome),
      journal_(
          [this](const std::string& reason) {
              // From the journal's writer: told on the window's thread.
              window_.post([this, reason] { JournalTrouble(reason); });
          },
          [this](const TakeJournal::File& journal, std::time_t started) {
              Rescue(journal, started);
          }) {}

std::optional<int> TakeKeeper::WholeNumber(const std::string& text) {
    const auto blank = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    auto first = std::find_if_not(text.begin(), text.end(), blank);
    auto last = std::find_if_not(text.rbegin(), std::make_reverse_iterator(first), blank).base();
    if (first != last && *first == '+') {
        ++first; // from_chars takes a minus only
        if (first != last && (*first == '-' || *first == '+')) {
            return std::nullopt;
        }
    }
    int value = 0;
    const char* end = text.data() + (last - text.begin());
    const auto [stop, error] = std::from_chars(text.data() + (first - text.begin()), end, value);
    if (error != std::errc() || stop != end || first == last) {
        return std::nullopt;
    }
    return value;
}

int TakeKeeper::VolumeFromArgument(const std::string& given, int current) {
    const std::optional<int> volume = WholeNumber(given);
    if (!volume) {
        outcome_.Note(VolumeNotANumberText(given, current));
        return current;
    }
    const int used = std::clamp(*volume, 0, 100); // as far as the slider goes
    if (used != *volume) {
        outcome_.Note(VolumeOutOfRangeText(given, used));
    }
    return used;
}

// Two takes into one file: the later one is told at its start, so that its singer can
// name another file before singing. Its stop looks again, since the name is read then,
// and saves to a fallback file while the other take still holds the name.
void TakeKeeper::Begin(const std::string& fileName) {
    saver_.Begin(commandLine_);
    if (!journalFolders_.empty()) {
        journal_.Begin(journalFolders_, std::time(nullptr));
    }
    if (!fileName.empty()) {
        AtomicFile::RemoveLeftovers(FolderOf(fileName));
    }
    beganWith_ = fileName;
    beganWithState_ = StateOf(fileName);
    if (fileName.empty()) {
        return;
    }
    switch (nameLock_.Acquire(fileName)) {
    case FileNameLock::Result::TakenByOther:
        Tell(NameTakenAtStartText(fileName, !commandLine_), commandLine_);
        break;
    case FileNameLock::Result::Unavailable:
        // Without the lock only the file's own state at the stop protects it.
        Tell(NameLockUnavailableText(fileName), commandLine_);
        break;
    case FileNameLock::Result::Held:
        break;
    }
}

std::optional<TakeKeeper::FileState> TakeKeeper::StateOf(const std::string& fileName) {
    struct stat st {};
    if (fileName.empty() || ::stat(fileName.c_str(), &st) != 0) {
        return std::nullopt;
    }
    return FileState{st.st_dev, st.st_ino, st.st_mtim.tv_sec, st.st_mtim.tv_nsec,
                     (long long)st.st_size};
}

// Another take into the same file that stopped first (its lock gone with it, or never had),
// or any other program: what it wrote after this take began is newer than this take.
bool TakeKeeper::WrittenSinceBegin(const std::string& fileName) const {
    if (fileName != beganWith_) {
        return false; // named during the take: asked about as any existing file
    }
    const std::optional<FileState> now = StateOf(fileName);
    return now && now != beganWithState_;
}

// Before a take replaces an existing file that this run didn't write (yesterday's take, a
// file picked in the dialog), whoever sits at the window is asked; "Nein" leads to the
// save dialog. Where nobody can answer, the take goes to a fallback file instead, and that
// is said. In command-line mode the caller named the file, so it is replaced.
std::string TakeKeeper::FileToWrite(const std::string& fileName) {
    std::string name = fileName;
    for (;;) {
        // Whichever take stops later would replace the other's without a trace.
        if (nameLock_.Acquire(name) == FileNameLock::Result::TakenByOther) {
            return saver_.Fallback(name, NameTakenReason());
        }
        if (WrittenSinceBegin(name)) {
            if (!Unattended()) {
                window_.report(WrittenSinceBeginText(name));
            }
            return saver_.Fallback(name, WrittenSinceBeginReason());
        }
        if (commandLine_ || !ownFiles_.IsSomeoneElses(name)) {
            return name;
        }
        const Answer answer = signalled_ ? Answer{} : AskToReplace(name);
        if (signalled_) { // a signal closed the question: nobody answered it
            return saver_.Fallback(name, NobodyAskedReason());
        }
        if (answer.replace) {
            return name;
        }
        if (answer.other.empty()) {
            return saver_.Fallback(name, NoOtherFileChosenReason());
        }
        name = answer.other; // asked about in turn when it exists
    }
}

TakeKeeper::Answer TakeKeeper::AskToReplace(const std::string& fileName) {
    if (window_.messages.AskYesNo(window_.parent, kApplicationTitle,
                                  ReplaceQuestionText(fileName))) {
        return {true, {}};
    }
    if (signalled_) {
        return {};
    }
    return {false, AskForFile(fileName).value_or("")};
}

std::optional<std::string> TakeKeeper::AskForFile(const std::string& fileName) {
    const std::filesystem::path previous(fileName);
    return window_.saveDialog.Run(window_.parent,
                                  {FileNameRules::kDialogTitle, FileNameRules::kFilter,
                                   previous.parent_path().string(), previous.filename().string()});
}

std::string TakeKeeper::AskForOtherFile(const std::string& fileName, const std::string& reason) {
    window_.report(AskForOtherFileText(fileName, reason));
    if (signalled_) {
        return {}; // a signal closed the box: nobody will choose a file now
    }
    return AskForFile(fileName).value_or("");
}

std::string TakeKeeper::OtherFile(const std::string& fileName, const std::string& reason) {
    return saver_.OtherFile(fileName, reason);
}

bool TakeKeeper::MoveJournalTo(const std::string& fileName, std::int32_t bytes) {
    return Journal() && journal_.MoveTo(fileName, bytes) == 0;
}

void TakeKeeper::Saved(const std::string& fileName) {
    ownFiles_.Wrote(fileName);
    saver_.Saved(fileName);
}

void TakeKeeper::End(bool fileNamed) {
    saver_.End(fileNamed, journal_.Finish());
    // Once the take is safely in a file, or given up by the user, its journal goes.
    journal_.End(saver_.Lost());
    nameLock_.Release();
}

void TakeKeeper::Abandon() {
    journal_.End(true);
    nameLock_.Release();
}

void TakeKeeper::Failed(const std::string& what) {
    outcome_.Fail(TakeFailedText(what));
}

void TakeKeeper::DeviceUnavailable(std::uint32_t code) {
    const std::string text = DeviceUnavailableText(code, commandLine_);
    if (commandLine_) {
        outcome_.Fail(text); // on the terminal at once
        if (signalled_) {
            return; // the box would go there too
        }
    }
    window_.report(text);
}

bool TakeKeeper::DeviceLost(bool kept) {
    if (commandLine_) {
        // Nobody can click: the take ends here and is saved, and the exit status says so.
        outcome_.Fail(DeviceLostUnattendedText());
        return true;
    }
    window_.report(DeviceLostText(kept));
    return false;
}

// Takes whose program ended under them are saved, and the user told where.
void TakeKeeper::RecoverInterruptedTakes(bool commandLine) {
    // What a save killed half way left behind goes first: it may be as big as a take.
    for (const TakeSaver::FallbackFolder& folder : saver_.FallbackFolders()) {
        AtomicFile::RemoveLeftovers(folder.path);
    }
    for (const std::string& text :
         TakeRecovery::RecoverAll(journalFolders_, saver_.FallbackFolders())) {
        Tell(text, commandLine);
    }
}

// Once per run: the take goes on in memory and is saved at the stop as ever.
void TakeKeeper::JournalTrouble(const std::string& reason) {
    if (!std::exchange(journalTroubleTold_, true)) {
        Tell(JournalTroubleText(reason), commandLine_);
    }
}

// The program ends under the take (the display is gone): nobody is asked.
void TakeKeeper::Rescue(const TakeJournal::File& journal, std::time_t started) {
    const std::string text = TakeRecovery::Recover(journal, started, saver_.FallbackFolders());
    if (!text.empty()) {
        RunOutcome::SayOnStandardError(AppError::WithFullStop(text));
    }
}

void TakeKeeper::Tell(const std::string& text, bool commandLine) {
    if (commandLine) {
        outcome_.Note(text);
    } else {
        window_.report(text);
    }
}

} // namespace tessmar
