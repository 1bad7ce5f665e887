// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/capture/LinuxWaveIn.h"

#include "platform/capture/AlsaCaptureSource.h"
#include "platform/capture/CaptureDevice.h"
#include "platform/capture/CaptureFormat.h"
#include "platform/capture/PacedCaptureSource.h"
#include "platform/decoding/SoundFileDecoder.h"
#include "platform/system/ProgramName.h"

#include <algorithm>
#include <iostream>
#include <sstream>

namespace tessmar {
namespace {

bool IsCaptureFormat(const WaveFormatEx& f, int rate) {
    return f.wFormatTag == WAVE_FORMAT_PCM && f.nChannels == kChannels &&
           f.nSamplesPerSec == std::uint32_t(rate) && f.wBitsPerSample == 8 * kBytesPerSample &&
           f.nBlockAlign == kFrameBytes && f.nAvgBytesPerSec == std::uint32_t(rate * kFrameBytes);
}

std::unique_ptr<CaptureSource> OpenFile(const std::string& path, const CaptureTiming& timing,
                                        MMRESULT& result, std::ostream& err) {
    std::string error;
    std::shared_ptr<SoundFileDecoder> decoder = SoundFileDecoder::Open(path, error, timing.rate);
    if (!decoder) {
        err << ProgramName() << ": Die Eingabedatei „" << path
            << "“ lässt sich nicht lesen: " << error << ".\n";
        result = MMSYSERR_READERROR; // a file, not a missing device

        return nullptr;
    }
    // The file, then silence; a read error is told once and also ends in silence.
    auto render = [decoder, told = false](std::int16_t* frames, std::size_t count) mutable {
        const std::size_t got = decoder->Read(frames, count);
        std::fill(frames + got * kChannels, frames + count * kChannels, std::int16_t{0});
        if (got < count && !decoder->error().empty() && !told) {
            told = true;
            std::cerr << ProgramName() << ": Die Eingabedatei bricht ab: " << decoder->error()
                      << ".\n";
        }
    };
    return std::make_unique<PacedCaptureSource>(std::move(render), timing);
}

std::unique_ptr<CaptureSource> OpenSource(const CaptureInput& input,
                                          const LinuxWaveIn::SingerFactory& singer,
                                          const CaptureTiming& timing, MMRESULT& result,
                                          std::ostream& err) {
    result = MMSYSERR_NOERROR;
    switch (input.kind) {
    case CaptureInput::Kind::Demo:
        if (!singer) {
            result = MMSYSERR_NODRIVER;
            return nullptr;
        }
        return std::make_unique<PacedCaptureSource>(singer(), timing);
    case CaptureInput::Kind::File:
        return OpenFile(input.argument, timing, result, err);
    case CaptureInput::Kind::Alsa:
        break;
    }
    std::string error;
    auto source = AlsaCaptureSource::Open(input.argument, result, error, timing);
    if (!source) {
        err << ProgramName() << ": Das Aufnahmegerät „" << input.argument << "“ " << error << ".\n";
    }
    return source;
}

} // namespace

LinuxWaveIn::LinuxWaveIn(CaptureInput input, SingerFactory singer, CaptureTiming timing)
    : input_(std::move(input)), timing_(timing), singer_(std::move(singer)) {}

std::unique_ptr<LinuxWaveIn> LinuxWaveIn::FromEnvironment(SingerFactory singer,
                                                          CaptureTiming timing) {
    return std::make_unique<LinuxWaveIn>(CaptureInput::FromEnvironment(), std::move(singer),
                                         timing);
}

LinuxWaveIn::~LinuxWaveIn() {
    // Each device closes as it goes, within a bounded wait for its thread.
    std::lock_guard lock(mutex_);
    devices_.clear();
}

std::shared_ptr<CaptureDevice> LinuxWaveIn::Find(HWAVEIN handle) {
    std::lock_guard lock(mutex_);
    const auto it = devices_.find(handle);
    return it == devices_.end() ? nullptr : it->second;
}

MMRESULT LinuxWaveIn::waveInOpen(HWAVEIN* handle, std::uint32_t deviceId,
                                 const WaveFormatEx* format, std::uintptr_t callback,
                                 std::uintptr_t /*instance*/, std::uint32_t flags) {
    if (!handle || !format || callback == 0 || flags != CALLBACK_THREAD) {
        return MMSYSERR_INVALPARAM;
    }
    if (deviceId != WAVE_MAPPER && deviceId != 0) {
        return MMSYSERR_BADDEVICEID;
    }
    if (!IsCaptureFormat(*format, timing_.rate)) {
        return WAVERR_BADFORMAT;
    }
    struct Opened {
        std::unique_ptr<CaptureSource> source;
        MMRESULT result = MMSYSERR_NOERROR;
        std::string told;
    };
    // Off this thread: the window's, which must stay able to hear a signal meanwhile.
    std::optional<Opened> result = RunAside<Opened>(
        [input = input_, singer = singer_, timing = timing_] {
            Opened o;
            std::ostringstream told;
            o.source = OpenSource(input, singer, timing, o.result, told);
            o.told = told.str();
            return o;
        },
        slowCallWait_);
    if (!result) {
        return MMSYSERR_NORESPONSE; // it ends by itself, and drops what it opened
    }
    std::lock_guard lock(mutex_);
    if (!result->told.empty() && (!onceOnly_ || result->told != lastFailure_)) {
        std::cerr << result->told;
    }
    lastFailure_ = result->told;
    if (!result->source) {
        return result->result;
    }
    std::unique_ptr<CaptureSource> source = std::move(result->source);
    const HWAVEIN opened = ++lastHandle_;
    devices_.emplace(
        opened, std::make_shared<CaptureDevice>(opened, callback, std::move(source), counters_));
    *handle = opened;
    return MMSYSERR_NOERROR;
}

MMRESULT LinuxWaveIn::waveInPrepareHeader(HWAVEIN handle, WaveHdr* header, std::uint32_t size) {
    if (!Find(handle)) {
        return MMSYSERR_INVALHANDLE;
    }
    if (!header || size < kWaveHdrSize || !header->lpData || header->dwBufferLength < kFrameBytes) {
        return MMSYSERR_INVALPARAM;
    }
    header->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT LinuxWaveIn::waveInAddBuffer(HWAVEIN handle, WaveHdr* header, std::uint32_t size) {
    const auto device = Find(handle);
    if (!device) {
        return MMSYSERR_INVALHANDLE;
    }
    if (!header || size < kWaveHdrSize) {
        return MMSYSERR_INVALPARAM;
    }
    return device->AddBuffer(header);
}

MMRESULT LinuxWaveIn::waveInStart(HWAVEIN handle) {
    const auto device = Find(handle);
    return device ? device->Start() : MMSYSERR_INVALHANDLE;
}

MMRESULT LinuxWaveIn::waveInStop(HWAVEIN handle) {
    const auto device = Find(handle);
    return device ? device->Stop() : MMSYSERR_INVALHANDLE;
}

MMRESULT LinuxWaveIn::waveInReset(HWAVEIN handle) {
    const auto device = Find(handle);
    return device ? device->Reset() : MMSYSERR_INVALHANDLE;
}

MMRESULT LinuxWaveIn::waveInClose(HWAVEIN handle) {
    std::shared_ptr<CaptureDevice> device;
    {
        std::lock_guard lock(mutex_);
        const auto it = devices_.find(handle);
        if (it == devices_.end()) {
            return MMSYSERR_INVALHANDLE;
        }
        device = std::move(it->second);
        devices_.erase(it);
    }
    return device->Close();
}

} // namespace tessmar
