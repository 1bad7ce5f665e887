// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/recording/TakeSaver.h"

#include "platform/files/PrivateFolder.h"

#include <cstdio>
#include <filesystem>

namespace tessmar {
namespace {

std::string Quoted(const std::string& fileName) {
    return "\"" + fileName + "\"";
}

} // namespace

TakeSaver::TakeSaver(Window window, std::vector<FallbackFolder> fallbackFolders,
                     RunOutcome& outcome, std::function<std::time_t()> now)
    : window_(std::move(window)), fallbackFolders_(std::move(fallbackFolders)), outcome_(outcome),
      now_(std::move(now)) {}

void TakeSaver::Begin(bool commandLine) {
    commandLine_ = commandLine;
    firstFailure_.reset();
    lastFailure_.reset();
    savedTo_.reset();
    nextFallback_ = 0;
    lastFallback_.clear();
    races_ = 0;
    usedFallback_ = false;
    declined_ = false;
}

std::string TakeSaver::FallbackName(const std::tm& when) {
    char name[64];
    std::snprintf(name, sizeof name, "tessmar-%04d%02d%02d-%02d%02d%02d.wav", when.tm_year + 1900,
                  when.tm_mon + 1, when.tm_mday, when.tm_hour, when.tm_min, when.tm_sec);
    return name;
}

void TakeSaver::Remember(const std::string& fileName, const std::string& reason) {
    if (!firstFailure_) {
        firstFailure_ = Failure{fileName, reason};
    }
    lastFailure_ = Failure{fileName, reason};
}

std::string TakeSaver::Fallback(const std::string& fileName, const std::string& reason) {
    Remember(fileName, reason);
    return NextFallback();
}

std::string TakeSaver::OtherFile(const std::string& fileName, const std::string& reason) {
    Remember(fileName, reason);
    if (!usedFallback_ && !window_.unattended()) {
        std::string answer = window_.ask(fileName, reason);
        // A signal while the user was asked closes the question unanswered: that is no "no".
        if (!window_.unattended()) {
            declined_ = answer.empty();
            return answer;
        }
    }
    return NextFallback();
}

std::vector<TakeSaver::FallbackFolder> TakeSaver::DefaultFallbackFolders(const std::string& home) {
    const std::string tmp = PrivateFolder::TempFolder();
    return {{home}, {PrivateFolder::InTemp(tmp), true, true}, {tmp, false, true}};
}

std::string TakeSaver::TemporaryNote(const FallbackFolder& folder) {
    return folder.temporary ? ". Der Ordner wird bei einem Neustart geleert: kopieren Sie sie "
                              "bitte an einen sicheren Ort"
                            : "";
}

bool TakeSaver::Usable(const FallbackFolder& folder) {
    return !folder.makePrivate || PrivateFolder::Make(folder.path);
}

std::string TakeSaver::NextFallback() {
    // Something appeared at the last name before the take got there (another take, or a
    // link planted in a shared folder): the same folder, under a name that is free.
    std::error_code error;
    const bool raced = !lastFallback_.empty() && ++races_ < 10 &&
                       std::filesystem::symlink_status(lastFallback_, error).type() !=
                           std::filesystem::file_type::not_found;
    if (!raced) {
        while (nextFallback_ < fallbackFolders_.size() &&
               !Usable(fallbackFolders_[nextFallback_])) {
            ++nextFallback_;
        }
        if (nextFallback_ >= fallbackFolders_.size()) {
            return {};
        }
        ++nextFallback_;
    }
    const std::filesystem::path folder(fallbackFolders_[nextFallback_ - 1].path);
    usedFallback_ = true;
    const std::time_t now = now_();
    std::tm when{};
    localtime_r(&now, &when);
    const std::string name = FallbackName(when);
    // Never over another take, nor through a link: a link, even one pointing nowhere, is
    // something at that name.
    std::filesystem::path candidate = folder / name;
    for (int n = 2; std::filesystem::symlink_status(candidate, error).type() !=
                        std::filesystem::file_type::not_found &&
                    n < 1000;
         ++n) {
        candidate = folder / (name.substr(0, name.size() - 4) + "-" + std::to_string(n) + ".wav");
    }
    lastFallback_ = candidate.string();
    return lastFallback_;
}

void TakeSaver::Saved(const std::string& fileName) {
    savedTo_ = fileName;
}

void TakeSaver::End(bool fileNamed, const std::string& journal) {
    // Only where nobody was asked is the terminal the one to tell.
    auto tell = [this](const std::string& text, bool evenInteractive) {
        if (commandLine_) {
            outcome_.Fail(text);
        } else if (evenInteractive) {
            outcome_.Note(text);
        }
    };
    if (firstFailure_) {
        const std::string failed = "Die Aufnahme konnte nicht in " +
                                   Quoted(firstFailure_->fileName) + " gespeichert werden (" +
                                   firstFailure_->reason + ")";
        if (savedTo_) {
            const bool inFallback = usedFallback_ && *savedTo_ == lastFallback_;
            tell(failed + "; sie ist stattdessen in " + Quoted(*savedTo_) + " gespeichert" +
                     (inFallback ? TemporaryNote(fallbackFolders_[nextFallback_ - 1]) : ""),
                 usedFallback_);
        } else if (declined_) {
            tell(failed + ", und es wurde keine andere Datei gewählt: sie ist verloren", false);
        } else {
            // A full disk: the journal still holds it whole, and the next start saves it.
            const std::string fate = journal.empty()
                                         ? "sie ist verloren"
                                         : "sie bleibt in " + Quoted(journal) +
                                               " und wird beim nächsten Start gespeichert";
            tell(failed + ", auch nicht in einer Ausweichdatei (zuletzt " +
                     Quoted(lastFailure_->fileName) + ": " + lastFailure_->reason + "): " + fate,
                 true);
        }
    } else if (!savedTo_) {
        tell(fileNamed ? "Es wurde nichts aufgenommen, daher ist keine Datei geschrieben worden"
                       : "Es ist keine Datei angegeben, daher wurde die Aufnahme nicht gespeichert",
             false);
    }
}

} // namespace tessmar
