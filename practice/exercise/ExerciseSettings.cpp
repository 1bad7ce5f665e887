// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/exercise/ExerciseSettings.h"

#include "analysis/NoteNaming.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace tessmar {
namespace {

int Number(ProfileStore& store, const char* section, const std::string& key, int low, int high,
           int fallback) {
    const std::string text = store.ReadString(section, key, "");
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= low && value <= high
               ? value
               : fallback;
}

} // namespace

// In the program's naming (A-3 = 440 Hz): a choir singer's comfortable range, not the extremes.
const ExerciseSettings::Voice ExerciseSettings::kVoices[6] = {
    {"Bass", 16, 40},        // E-1 .. E-3
    {"Bariton", 19, 43},     // G-1 .. G-3
    {"Tenor", 24, 48},       // C-2 .. C-4
    {"Alt", 29, 53},         // F-2 .. F-4
    {"Mezzosopran", 33, 57}, // A-2 .. A-4
    {"Sopran", 36, 60},      // C-3 .. C-5
};

std::string ExerciseSettings::DevicePair(const char* input, const char* output) {
    // A key of the INI file: anything that could end it or start a section is replaced.
    const auto name = [](const char* n) {
        std::string key = n && *n ? n : "default";
        for (char& c : key) {
            const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                               (c >= '0' && c <= '9') ||
                               std::string_view(":,._/-").find(c) != std::string_view::npos;
            c = plain ? c : '_';
        }
        return key;
    };
    return name(input) + ">" + name(output);
}

ExerciseSettings ExerciseSettings::Load(ProfileStore& store, const std::string& devicePair) {
    ExerciseSettings s;
    Exercise& e = s.exercise;
    e.kind = Exercise::KindNamed(store.ReadString(kSection, "Uebung", "")).value_or(e.kind);
    const std::int32_t start = NoteIndexOf(store.ReadString(kSection, "Grundton", ""));
    e.start = start == kNoNote || start > 96 ? e.start : start;
    e.rounds = Number(store, kSection, "Runden", 1, 24, e.rounds);
    e.bpm = Number(store, kSection, "Tempo", 30, 240, e.bpm);
    e.step = store.ReadString(kSection, "Richtung", "") == "abwaerts" ? -1 : 1;
    s.toleranceCents = Number(store, kSection, "Toleranz", 1, 100, 50); // as --tolerance
    s.reference =
        ExerciseSound::Named(store.ReadString(kSection, "Vergleichston", "")).value_or(s.reference);
    s.concertA = Number(store, kSection, "Kammerton", 415, 466, 440);
    const std::int32_t lowest = NoteIndexOf(store.ReadString(kSection, "Tiefster", ""));
    const std::int32_t highest = NoteIndexOf(store.ReadString(kSection, "Hoechster", ""));
    if (lowest != kNoNote && highest != kNoNote && lowest <= highest) {
        s.lowest = lowest;
        s.highest = highest;
    }
    const std::string voice = store.ReadString(kSection, "Stimme", "");
    for (const Voice& v : kVoices) {
        s.voice = voice == v.name ? voice : s.voice;
    }
    s.voice = voice == kOwnRange && s.lowest >= 0 ? voice : s.voice;
    s.delayMs = Number(store, kDelaySection, devicePair, 0, 1000, 0);
    return s;
}

bool ExerciseSettings::Save(ProfileStore& store, const std::string& devicePair) const {
    const Exercise& e = exercise;
    return store.WriteStrings(kSection, {{"Uebung", Exercise::NameOf(e.kind)},
                                         {"Grundton", NoteName(e.start)},
                                         {"Runden", std::to_string(e.rounds)},
                                         {"Tempo", std::to_string(e.bpm)},
                                         {"Richtung", e.step < 0 ? "abwaerts" : "aufwaerts"},
                                         {"Toleranz", std::to_string(toleranceCents)},
                                         {"Vergleichston", ExerciseSound::NameOf(reference)},
                                         {"Kammerton", std::to_string(concertA)},
                                         {"Stimme", voice},
                                         {"Tiefster", NoteName(lowest)},
                                         {"Hoechster", NoteName(highest)}}) &&
           store.WriteStrings(kDelaySection, {{devicePair, std::to_string(delayMs)}});
}

void ExerciseSettings::FitTo(const Voice& voice, Exercise& exercise) {
    // The exercise's own span: its highest step above the key note.
    std::int32_t span = 0;
    Exercise one = exercise;
    one.rounds = 1;
    one.start = 0;
    for (const TargetNote& t : one.Targets()) {
        span = std::max(span, t.note);
    }
    const std::int32_t room = voice.highest - voice.lowest - span; // key notes that fit
    exercise.rounds = std::clamp(room + 1, 1, exercise.rounds);
    exercise.start = exercise.step > 0 ? voice.lowest : voice.lowest + std::max(0, room);
}

} // namespace tessmar
