// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/mixer/MixerApi.h"

#include <string>
#include <vector>

namespace tessmar::test {

struct FakeItem {
    DWORD lineId;
    DWORD componentType;
    std::string name;
};

struct FakeControl {
    DWORD id;
    DWORD type;
    LONG minimum;
    LONG maximum;
    std::vector<FakeItem> items;
    // The level of a plain control, one state per item of a list control.
    std::vector<LONG> values;
};

struct FakeLine {
    DWORD lineId;
    DWORD destination;
    DWORD source; // index among its destination's sources
    bool isSource;
    DWORD componentType;
    DWORD connections; // sources of a destination
    std::vector<FakeControl> controls;
};

// A mixer of lines and controls that the test lays out, which writes every call with its
// arguments to calls() and every breach of the interface's rules (record sizes, flags,
// handles, item counts) to faults(). It fills exactly the records and items asked for, so
// that the sanitizers see any overrun of the caller's buffers.
class RecordingMixer : public MixerApi {
public:
    static constexpr HMIXER kHandle = 0x4D;

    // Destinations are numbered in the order they are added, sources per destination.
    void AddDestination(DWORD lineId, DWORD componentType);
    void AddSource(DWORD destination, DWORD lineId, DWORD componentType);
    void AddControl(DWORD lineId, DWORD controlId, DWORD type, LONG minimum, LONG maximum,
                    std::vector<FakeItem> items = {});
    void SetValues(DWORD controlId, std::vector<LONG> values);
    void FailOpen() { failOpen_ = true; }

    const std::vector<std::string>& calls() const { return calls_; }
    const std::vector<std::string>& faults() const { return faults_; }
    void ClearCalls() { calls_.clear(); }
    std::vector<LONG> Values(DWORD controlId) const;

    MMRESULT mixerOpen(HMIXER* mixer, DWORD deviceId, std::uintptr_t callback,
                       std::uintptr_t instance, DWORD flags) override;
    MMRESULT mixerGetLineInfoA(HMIXER mixer, MIXERLINEA* line, DWORD flags) override;
    MMRESULT mixerGetLineControlsA(HMIXER mixer, MIXERLINECONTROLSA* request, DWORD flags) override;
    MMRESULT mixerGetControlDetailsA(HMIXER mixer, MIXERCONTROLDETAILS* details,
                                     DWORD flags) override;
    MMRESULT mixerSetControlDetails(HMIXER mixer, MIXERCONTROLDETAILS* details,
                                    DWORD flags) override;
    MMRESULT mixerClose(HMIXER mixer) override;

private:
    FakeLine* LineById(DWORD lineId);
    FakeLine* LineFor(const MIXERLINEA& line, DWORD flags);
    FakeControl* ControlById(DWORD controlId);
    void Check(bool ok, const std::string& what);
    void CheckHandle(HMIXER mixer);
    // Common checks of a details request; returns its control or nullptr.
    FakeControl* CheckDetails(HMIXER mixer, const MIXERCONTROLDETAILS* details, DWORD cbDetails);

    std::vector<FakeLine> lines_;
    std::vector<std::string> calls_;
    std::vector<std::string> faults_;
    bool failOpen_ = false;
    bool open_ = false;
};

// "VOLUME", "MUTE", "MUX", "MIXER" or the number in hex.
std::string ControlTypeName(DWORD type);

} // namespace tessmar::test
