// SPDX-License-Identifier: GPL-3.0-or-later
// tessmar-pitch's accuracy on rendered singing, and the voices for trying it by ear:
//
//   tessmar-pitch-accuracy                 the table of docs/pitch.md
//   tessmar-pitch-accuracy display         what the window shows to three rendered singers
//   tessmar-pitch-accuracy render KIND FILE   a WAV at 44.1 kHz for the person check;
//                                          KIND is glide, vibrato, low or high
//
// Held notes of 1 s, one after the other; the updates within the first and the last
// 100 ms of each note are left out. An update is right when it lies within 50 cents of the
// pitch sung over its window (vibrato included), in equal temperament with A-3 at 440 Hz.
#include "practice/PitchFormat.h"
#include "practice/PitchTracker.h"
#include "tools/measure/SungVowel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <sndfile.h>
#include <string>
#include <vector>

namespace {

using tessmar::measure::SungVowel;

struct Vowel {
    const char* name;
    double formants[3];
};
constexpr Vowel kVowels[] = {{"a", {730, 1090, 2440}},
                             {"e", {530, 1840, 2480}},
                             {"i", {270, 2290, 3010}},
                             {"o", {570, 840, 2410}},
                             {"u", {300, 870, 2240}}};

double NoteHz(double note) {
    return 440.0 * std::exp2((note - 45) / 12.0);
}

struct Score {
    int right = 0, counted = 0, octave = 0, none = 0;
    std::vector<double> errors; // |cents| of the updates with a pitch
};

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) {
        return 0.0;
    }
    std::sort(v.begin(), v.end());
    return v[std::size_t(p * double(v.size() - 1))];
}

// Renders the notes at the given rate as held notes of `seconds`, feeds them to the tracker
// and scores the updates.
void Sing(const Vowel& vowel, const std::vector<int>& notes, double vibratoCents, double noise,
          Score& score) {
    const int rate = tessmar::kPitchRate;
    const std::size_t noteFrames = rate; // 1 s
    std::vector<std::int16_t> audio;
    std::vector<double> truth;
    for (const int note : notes) {
        SungVowel voice;
        std::memcpy(voice.formants, vowel.formants, sizeof voice.formants);
        voice.hz = NoteHz(note);
        voice.vibratoCents = vibratoCents;
        voice.noise = noise;
        const auto part = voice.Render(rate, noteFrames, &truth);
        audio.insert(audio.end(), part.begin(), part.end());
    }
    tessmar::PitchTracker tracker(rate, tessmar::kPitchWindowFrames);
    const std::size_t hop = tessmar::kPitchHopFrames;
    const std::size_t margin = rate / 10;
    for (std::size_t end = hop; end <= truth.size(); end += hop) {
        const auto u = tracker.Feed(audio.data() + 2 * (end - hop), hop);
        const std::size_t begin = end - tessmar::kPitchWindowFrames;
        if (end < tessmar::kPitchWindowFrames || begin / noteFrames != (end - 1) / noteFrames ||
            begin % noteFrames < margin || noteFrames - end % noteFrames < margin) {
            continue; // the window reaches into the first or last 100 ms of a note
        }
        double sung = 0.0;
        for (std::size_t k = begin; k < end; ++k) {
            sung += truth[k] / double(tessmar::kPitchWindowFrames);
        }
        ++score.counted;
        if (!(u.hz > 0)) {
            ++score.none;
            continue;
        }
        const double off = 100.0 * u.note + u.cents - sung;
        score.right += std::abs(off) <= 50.0;
        score.errors.push_back(std::abs(off));
        score.octave += std::abs(std::abs(off) - 1200.0) <= 50.0;
    }
}

std::vector<int> Range(int from, int to, int step) {
    std::vector<int> notes;
    for (int n = from; n <= to; n += step) {
        notes.push_back(n);
    }
    return notes;
}

int Table() {
    struct Voice {
        const char* name;
        std::vector<int> notes;
    } voices[] = {{"bass, E-1 .. E-3", Range(16, 40, 2)},
                  {"tenor, C-2 .. C-4", Range(24, 48, 2)},
                  {"alto, F-2 .. F-4", Range(29, 53, 2)},
                  {"soprano, C-3 .. C-5", Range(36, 60, 2)}};
    struct Condition {
        const char* name;
        double vibrato, noise;
    } conditions[] = {{"steady", 0.0, 0.003},
                      {"vibrato +-50 ct", 50.0, 0.003},
                      {"vibrato, breath -20 dB", 50.0, 0.03}};
    std::printf("| voice (notes every 2 semitones) | sung | right | no pitch | octave off | "
                "median error | 95th pct error |\n|---|---|---|---|---|---|---|\n");
    Score all;
    for (const Voice& voice : voices) {
        for (const Condition& c : conditions) {
            Score s;
            for (const Vowel& vowel : kVowels) {
                Sing(vowel, voice.notes, c.vibrato, c.noise, s);
            }
            std::printf("| %s | %s | %.1f %% | %.1f %% | %.1f %% | %.1f ct | %.1f ct |\n",
                        voice.name, c.name, 100.0 * s.right / s.counted, 100.0 * s.none / s.counted,
                        100.0 * s.octave / s.counted, Percentile(s.errors, 0.5),
                        Percentile(s.errors, 0.95));
            all.right += s.right;
            all.counted += s.counted;
            all.none += s.none;
            all.octave += s.octave;
        }
    }
    std::printf("all: %d of %d updates right (%.1f %%), %d without pitch, %d an octave off\n",
                all.right, all.counted, 100.0 * all.right / all.counted, all.none, all.octave);
    return 0;
}

// What the window shows (the note and cents held, as the needle and the log have them) to
// singers whose voices fooled it: a tenor on vowels whose first formant sits on the second
// harmonic, a soprano with a wide vibrato, a singer 35 cents sharp. An update is steady
// from 0.3 s into a note to its end; it is right within 50 cents of the pitch the note is
// sung at (its vibrato's centre), an octave off within 100 cents of 1200, and names the
// note when it shows the note nearest that pitch.
int Display() {
    struct Note {
        double note; // sung at, sharp or flat included
        double seconds;
        Vowel vowel;
    };
    struct Singer {
        const char* name;
        double vibrato;
        std::vector<Note> notes;
    };
    // German vowels; at 230-260 Hz a tenor's second harmonic lies on their first formant.
    constexpr Vowel kAe{"ä", {540, 1840, 2480}}, kOe{"ö", {420, 1600, 2350}},
        kSchwa{"ə", {500, 1500, 2500}};
    Singer tenor{"tenor, a children's song on ä, ö, ə (G-2 .. E-3)", 30.0, {}};
    const int song[][2] = {{31, 1}, {33, 1}, {35, 1}, {36, 1}, {38, 2}, {38, 2}, {40, 1},
                           {40, 1}, {40, 1}, {40, 1}, {38, 4}, {40, 1}, {40, 1}, {40, 1},
                           {40, 1}, {38, 4}, {36, 1}, {36, 1}, {36, 1}, {36, 1}, {35, 2},
                           {35, 2}, {33, 1}, {33, 1}, {33, 1}, {33, 1}, {31, 4}};
    int syllable = 0;
    for (const auto& [note, beats] : song) {
        const Vowel vowels[] = {kAe, kOe, kSchwa};
        tenor.notes.push_back({double(note), 0.6 * beats, vowels[syllable++ % 3]});
    }
    Singer soprano{"soprano, A-4 F-4 D-4 A-4 with +-55 ct vibrato", 55.0, {}};
    for (const int note : {57, 53, 50, 57}) {
        soprano.notes.push_back({double(note), 3.4, kVowels[note == 57 ? 0 : 3]});
    }
    Singer sharp{"35 ct sharp, F-2 .. C-3 and back, +-30 ct vibrato", 30.0, {}};
    for (const int note : {29, 31, 33, 34, 36, 34, 33, 31, 29}) {
        sharp.notes.push_back({note + 0.35, 1.2, kVowels[(note / 2) % 5]});
    }

    const int rate = tessmar::kPitchRate;
    const std::size_t hop = tessmar::kPitchHopFrames;
    std::printf("| singer | steady updates | within 50 ct | octave off | note named right |\n"
                "|---|---|---|---|---|\n");
    for (const Singer& singer : {tenor, soprano, sharp}) {
        std::vector<std::int16_t> audio;
        std::vector<double> ends; // each note's end, s
        for (const Note& n : singer.notes) {
            SungVowel voice;
            std::memcpy(voice.formants, n.vowel.formants, sizeof voice.formants);
            voice.hz = NoteHz(n.note);
            voice.vibratoCents = singer.vibrato;
            const auto part = voice.Render(rate, std::size_t((n.seconds - 0.05) * rate));
            audio.insert(audio.end(), part.begin(), part.end());
            audio.resize(audio.size() + std::size_t(0.05 * rate) * 2, 0); // a consonant's gap
            ends.push_back(double(audio.size() / 2) / rate);
        }
        tessmar::PitchTracker tracker(rate, tessmar::kPitchWindowFrames);
        int steady = 0, within = 0, octave = 0, named = 0;
        std::size_t k = 0;
        for (std::size_t end = hop; 2 * end <= audio.size(); end += hop) {
            const auto u = tracker.Feed(audio.data() + 2 * (end - hop), hop);
            const double t = double(end) / rate;
            while (k < ends.size() && t > ends[k] - 0.05) {
                ++k;
            }
            const double began = k == 0 ? 0.0 : ends[k - 1];
            if (k == ends.size() || t - began < 0.3) {
                continue;
            }
            const double sung = 100.0 * singer.notes[k].note;
            const double off = u.note < 0 ? 1e9 : 100.0 * u.note + u.cents - sung;
            ++steady;
            within += std::abs(off) <= 50.0;
            octave += std::abs(std::abs(off) - 1200.0) <= 100.0;
            named += u.note == std::lround(singer.notes[k].note);
        }
        std::printf("| %s | %d | %.1f %% | %.1f %% | %.1f %% |\n", singer.name, steady,
                    100.0 * within / steady, 100.0 * octave / steady, 100.0 * named / steady);
    }
    return 0;
}

// Voices for the person check, at the sound server's rate.
int Render(const std::string& kind, const char* file) {
    const int rate = 44100;
    std::vector<std::int16_t> audio;
    auto add = [&](const Vowel& vowel, double hz, double vibrato, double seconds) {
        SungVowel voice;
        std::memcpy(voice.formants, vowel.formants, sizeof voice.formants);
        voice.hz = hz;
        voice.vibratoCents = vibrato;
        const auto part = voice.Render(rate, std::size_t(seconds * rate));
        audio.insert(audio.end(), part.begin(), part.end());
    };
    if (kind == "glide") {
        // Semitone steps of 0.1 s from G-2 up to G-3 and back: a glide as the eye sees it.
        for (int i = 0; i <= 24; ++i) {
            add(kVowels[0], NoteHz(31 + (i <= 12 ? i : 24 - i)), 0.0, 0.25);
        }
    } else if (kind == "vibrato") {
        add(kVowels[3], NoteHz(45), 60.0, 6.0);
    } else if (kind == "low") {
        for (const int note : {19, 24, 28, 24}) {
            add(kVowels[3], NoteHz(note), 20.0, 1.5); // "o" on G-1, C-2, E-2, C-2
        }
    } else if (kind == "high") {
        for (const int note : {57, 60, 64, 67}) {
            add(kVowels[2], NoteHz(note), 30.0, 1.5); // "i" on A-4, C-5, E-5, G-5
        }
    } else {
        std::fprintf(stderr, "unknown kind %s\n", kind.c_str());
        return 2;
    }
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* out = sf_open(file, SFM_WRITE, &info);
    if (!out) {
        std::fprintf(stderr, "%s: %s\n", file, sf_strerror(nullptr));
        return 1;
    }
    sf_writef_short(out, audio.data(), sf_count_t(audio.size() / 2));
    sf_close(out);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "render") == 0) {
        return Render(argv[2], argv[3]);
    }
    if (argc == 2 && std::strcmp(argv[1], "display") == 0) {
        return Display();
    }
    return Table();
}
