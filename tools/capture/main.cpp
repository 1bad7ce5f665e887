// SPDX-License-Identifier: GPL-3.0-or-later
// tessmar-capture: records from the input TESSMAR_INPUT names into a WAV file, through the
// recording device as the program drives it (two blocks, each given back as it arrives),
// and tells how much input was lost. For trying an input without the window.
#include "audio/DemoSingerInput.h"
#include "audio/WaveFileWriter.h"
#include "platform/capture/CaptureFormat.h"
#include "platform/capture/LinuxWaveIn.h"
#include "platform/system/SystemErrorText.h"
#include "platform/threads/MessageQueue.h"

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

using namespace tessmar;

struct Block {
    std::vector<std::uint8_t> data = std::vector<std::uint8_t>(kBlockBytes);
    WaveHdr header{data.data(), kBlockBytes};
};

// Whole blocks until at least the given number of bytes is there.
std::vector<std::uint8_t> Record(LinuxWaveIn& api, std::size_t bytes) {
    const auto queue = MessageQueue::Create();
    const WaveFormatEx format = CaptureFormat();
    HWAVEIN handle = 0;
    if (api.waveInOpen(&handle, WAVE_MAPPER, &format, queue->id(), 0, CALLBACK_THREAD) != 0) {
        return {};
    }
    Block blocks[2];
    for (Block& block : blocks) {
        api.waveInPrepareHeader(handle, &block.header, kWaveHdrSize);
        api.waveInAddBuffer(handle, &block.header, kWaveHdrSize);
    }
    api.waveInStart(handle);
    std::vector<std::uint8_t> recorded;
    while (recorded.size() < bytes) {
        const ThreadMessage message = queue->Wait();
        if (message.message == MM_WIM_DATA) {
            auto* header = reinterpret_cast<WaveHdr*>(message.lParam);
            recorded.insert(recorded.end(), header->lpData,
                            header->lpData + header->dwBytesRecorded);
            api.waveInAddBuffer(handle, header, kWaveHdrSize);
        }
    }
    api.waveInStop(handle);
    api.waveInReset(handle);
    api.waveInClose(handle);
    while (queue->Wait().message != MM_WIM_CLOSE) {
    }
    return recorded; // whole blocks; the one filled at the stop is not kept
}

} // namespace

int main(int argc, char** argv) {
    const std::string usage = "Aufruf: tessmar-capture DATEI SEKUNDEN\n"
                              "Nimmt von der Eingabe auf, die TESSMAR_INPUT nennt (alsa:NAME, "
                              "file:PFAD, demo; sonst das ALSA-Standardgerät).\n";
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::cout << usage
                  << "Rückgabewert: 0 aufgenommen, 1 Eingabe nicht zu öffnen oder "
                     "Datei nicht schreibbar, 2 falscher Aufruf.\n";
        return 0;
    }
    int seconds = 0;
    try {
        std::size_t used = 0;
        seconds = argc == 3 ? std::stoi(argv[2], &used) : 0;
        if (used != std::strlen(argc == 3 ? argv[2] : "") || seconds < 1 || seconds > 3600) {
            seconds = 0;
        }
    } catch (const std::exception&) {
        seconds = 0;
    }
    if (seconds == 0 || argv[1][0] == '-') {
        std::cerr << usage;
        return 2;
    }
    const auto api = LinuxWaveIn::FromEnvironment(DemoSingerInput());
    const auto recorded = Record(*api, std::size_t(seconds) * kBytesPerSecond);
    if (recorded.empty()) {
        std::cerr << "tessmar-capture: Die Eingabe lässt sich nicht öffnen.\n";
        return 1;
    }
    std::cerr << "tessmar-capture: verloren: " << api->LostFrames() << " Frames ohne freien Block, "
              << api->SourceOverruns() << " Überläufe.\n";
    if (!WriteWaveFile(argv[1], recorded.data(), static_cast<std::int32_t>(recorded.size()),
                       kSampleRate, true, true)) {
        std::cerr << "tessmar-capture: „" << argv[1]
                  << "“ kann nicht geschrieben werden: " << SystemErrorText(errno) << ".\n";
        return 1;
    }
    return 0;
}
