// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Records and constants of the sound card mixer interface (see MixerApi). They keep the
// established names, field order and values of that interface, so that a mixer setup
// written against it reads the same here. DWORD fields are 32 bits wide.

#include "platform/system/MmResult.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace tessmar {

using DWORD = std::uint32_t;
using LONG = std::int32_t;
// 0 means no mixer is open.
using HMIXER = std::uintptr_t;

inline constexpr MMRESULT MIXERR_INVALLINE = 1024;
inline constexpr MMRESULT MIXERR_INVALCONTROL = 1025;

inline constexpr DWORD CALLBACK_NULL = 0;

inline constexpr DWORD MIXER_GETLINEINFOF_DESTINATION = 0;
inline constexpr DWORD MIXER_GETLINEINFOF_SOURCE = 1;
inline constexpr DWORD MIXER_GETLINEINFOF_COMPONENTTYPE = 3;
inline constexpr DWORD MIXER_GETLINECONTROLSF_ALL = 0;
inline constexpr DWORD MIXER_GETLINECONTROLSF_ONEBYTYPE = 2;
inline constexpr DWORD MIXER_GETCONTROLDETAILSF_VALUE = 0;
inline constexpr DWORD MIXER_GETCONTROLDETAILSF_LISTTEXT = 1;
inline constexpr DWORD MIXER_SETCONTROLDETAILSF_VALUE = 0;

inline constexpr DWORD MIXERLINE_LINEF_ACTIVE = 0x00000001;
inline constexpr DWORD MIXERLINE_LINEF_SOURCE = 0x80000000;

inline constexpr DWORD MIXERLINE_COMPONENTTYPE_DST_SPEAKERS = 4;
inline constexpr DWORD MIXERLINE_COMPONENTTYPE_DST_WAVEIN = 7;
inline constexpr DWORD MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED = 0x1000;
inline constexpr DWORD MIXERLINE_COMPONENTTYPE_SRC_DIGITAL = 0x1001;
inline constexpr DWORD MIXERLINE_COMPONENTTYPE_SRC_LINE = 0x1002;
inline constexpr DWORD MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE = 0x1003;
inline constexpr DWORD MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER = 0x1004;
inline constexpr DWORD MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC = 0x1005;
inline constexpr DWORD MIXERLINE_COMPONENTTYPE_SRC_TELEPHONE = 0x1006;
inline constexpr DWORD MIXERLINE_COMPONENTTYPE_SRC_PCSPEAKER = 0x1007;
inline constexpr DWORD MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT = 0x1008;
inline constexpr DWORD MIXERLINE_COMPONENTTYPE_SRC_AUXILIARY = 0x1009;

inline constexpr DWORD MIXERCONTROL_CONTROLF_UNIFORM = 0x00000001;
inline constexpr DWORD MIXERCONTROL_CONTROLF_MULTIPLE = 0x00000002;

inline constexpr DWORD MIXERCONTROL_CONTROLTYPE_VOLUME = 0x50030001;
inline constexpr DWORD MIXERCONTROL_CONTROLTYPE_MUTE = 0x20010002;
inline constexpr DWORD MIXERCONTROL_CONTROLTYPE_MUX = 0x70010001;
inline constexpr DWORD MIXERCONTROL_CONTROLTYPE_MIXER = 0x71010001;

inline constexpr int MIXER_SHORT_NAME_CHARS = 16;
inline constexpr int MIXER_LONG_NAME_CHARS = 64;
inline constexpr int MAXPNAMELEN = 32;

struct MIXERLINEA {
    DWORD cbStruct;
    DWORD dwDestination;
    DWORD dwSource;
    DWORD dwLineID;
    DWORD fdwLine;
    DWORD dwUser;
    DWORD dwComponentType;
    DWORD cChannels;
    DWORD cConnections;
    DWORD cControls;
    char szShortName[MIXER_SHORT_NAME_CHARS];
    char szName[MIXER_LONG_NAME_CHARS];
    struct {
        DWORD dwType;
        DWORD dwDeviceID;
        std::uint16_t wMid;
        std::uint16_t wPid;
        DWORD vDriverVersion;
        char szPname[MAXPNAMELEN];
    } Target;
};

struct MIXERCONTROLA {
    DWORD cbStruct;
    DWORD dwControlID;
    DWORD dwControlType;
    DWORD fdwControl;
    DWORD cMultipleItems;
    char szShortName[MIXER_SHORT_NAME_CHARS];
    char szName[MIXER_LONG_NAME_CHARS];
    union {
        struct {
            LONG lMinimum;
            LONG lMaximum;
        };
        struct {
            DWORD dwMinimum;
            DWORD dwMaximum;
        };
        DWORD dwReserved[6];
    } Bounds;
    union {
        DWORD cSteps;
        DWORD cbCustomData;
        DWORD dwReserved[6];
    } Metrics;
};

struct MIXERLINECONTROLSA {
    DWORD cbStruct;
    DWORD dwLineID;
    union {
        DWORD dwControlID;
        DWORD dwControlType;
    };
    DWORD cControls;
    DWORD cbmxctrl;
    MIXERCONTROLA* pamxctrl;
};

struct MIXERCONTROLDETAILS {
    DWORD cbStruct;
    DWORD dwControlID;
    DWORD cChannels;
    DWORD cMultipleItems;
    DWORD cbDetails;
    void* paDetails;
};

struct MIXERCONTROLDETAILS_LISTTEXTA {
    DWORD dwParam1;
    DWORD dwParam2;
    char szName[MIXER_LONG_NAME_CHARS];
};

struct MIXERCONTROLDETAILS_BOOLEAN {
    LONG fValue;
};

struct MIXERCONTROLDETAILS_UNSIGNED {
    DWORD dwValue;
};

// The record sizes that callers write into cbStruct, cbmxctrl and cbDetails. The two
// requests carry a pointer and are 24 bytes in the interface's 32-bit layout; their size
// in memory here is larger, but the size tag the callers pass stays 24.
inline constexpr DWORD kMixerLineSize = 168;
inline constexpr DWORD kMixerLineControlsSize = 24;
inline constexpr DWORD kMixerControlSize = 148;
inline constexpr DWORD kMixerControlDetailsSize = 24;
inline constexpr DWORD kListTextSize = 72;
inline constexpr DWORD kBooleanSize = 4;
inline constexpr DWORD kUnsignedSize = 4;

static_assert(sizeof(MIXERLINEA) == kMixerLineSize);
static_assert(sizeof(MIXERCONTROLA) == kMixerControlSize);
static_assert(sizeof(MIXERCONTROLDETAILS_LISTTEXTA) == kListTextSize);
static_assert(sizeof(MIXERCONTROLDETAILS_BOOLEAN) == kBooleanSize);
static_assert(sizeof(MIXERCONTROLDETAILS_UNSIGNED) == kUnsignedSize);

// Fills a fixed-size name field: cut to fit, NUL-terminated, the rest zero.
template <std::size_t N> void CopyMixerName(char (&field)[N], std::string_view name) {
    std::memset(field, 0, N);
    std::memcpy(field, name.data(), std::min(name.size(), N - 1));
}

} // namespace tessmar
