// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/CaptureView.h"

#include <cstdint>
#include <string>

namespace tessmar {

// What the user is told when the recording stops growing.
// commandLine: the take runs in command-line mode, where Strg+C ends it too.
std::string RecordingStoppedGrowingText(RecordingLimit why, bool commandLine);
// What the user is told once when the recording device goes away during a take; `kept`
// when a file is named, so what was recorded so far is saved by "Abbrechen".
std::string DeviceLostText(bool kept);
// Why the recording device didn't open (its code as the device gave it), in the user's
// words; nothing gets recorded then.
std::string DeviceUnavailableText(std::uint32_t code, bool commandLine);
// The device went away during a command-line take, which ends with it.
std::string DeviceLostUnattendedText();

// A take failed with an error (its text; may be empty).
std::string TakeFailedText(const std::string& what);
// The take couldn't be saved to fileName: the user is asked for another file.
std::string AskForOtherFileText(const std::string& fileName, const std::string& reason);
// An existing file that this run didn't write would be replaced by the take.
std::string ReplaceQuestionText(const std::string& fileName);
// Why a take goes to a fallback file rather than to the one named.
std::string NameTakenReason();
std::string WrittenSinceBeginReason();
// At the stop, for the window: the named file was written by someone else during the take.
std::string WrittenSinceBeginText(const std::string& fileName);
// At a take's start: no lock can be had for its file's name.
std::string NameLockUnavailableText(const std::string& fileName);
std::string NoOtherFileChosenReason();
std::string NobodyAskedReason();
// At a take's start: another running take holds its file's name. atWindow: with the advice
// that someone at the window can follow.
std::string NameTakenAtStartText(const std::string& fileName, bool atWindow);
// The take can't be journaled on disk as it runs.
std::string JournalTroubleText(const std::string& reason);
// The command line's volume wasn't taken as given; used: the slider's position instead.
std::string VolumeNotANumberText(const std::string& given, int used);
std::string VolumeOutOfRangeText(const std::string& given, int used);

} // namespace tessmar
