// SPDX-License-Identifier: GPL-3.0-or-later
// tessmar-demo: writes the built-in singer's scale to a WAV file in the capture format,
// material for trying the note display and the note log without a microphone.
#include "audio/DemoSinger.h"
#include "audio/WaveFileWriter.h"
#include "platform/capture/CaptureFormat.h"
#include "platform/system/SystemErrorText.h"

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    using namespace tessmar;
    const std::string usage = "Aufruf: tessmar-demo DATEI [SEKUNDEN]\n"
                              "Schreibt eine gesungene C-Dur-Tonleiter (Standard: 7 Sekunden) "
                              "als WAV-Datei.\n";
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::cout << usage
                  << "Rückgabewert: 0 geschrieben, 1 Datei nicht schreibbar, "
                     "2 falscher Aufruf.\n";
        return 0;
    }
    if (argc < 2 || argc > 3 || argv[1][0] == '-') {
        std::cerr << usage;
        return 2;
    }
    int seconds = 7;
    if (argc == 3) {
        try {
            std::size_t used = 0;
            seconds = std::stoi(argv[2], &used);
            if (used != std::strlen(argv[2]) || seconds < 1 || seconds > 3600) {
                throw std::invalid_argument(argv[2]);
            }
        } catch (const std::exception&) {
            std::cerr << "tessmar-demo: SEKUNDEN muss eine ganze Zahl von 1 bis 3600 sein.\n";
            return 2;
        }
    }
    std::vector<std::int16_t> frames(std::size_t(seconds) * kSampleRate * kChannels);
    DemoSinger singer;
    singer.Render(frames.data(), frames.size() / kChannels);
    const auto bytes = static_cast<std::int32_t>(frames.size() * sizeof(std::int16_t));
    if (!WriteWaveFile(argv[1], frames.data(), bytes, kSampleRate, true, true)) {
        std::cerr << "tessmar-demo: „" << argv[1]
                  << "“ kann nicht geschrieben werden: " << SystemErrorText(errno) << ".\n";
        return 1;
    }
    return 0;
}
