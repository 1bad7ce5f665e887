// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/decoding/SoundFileDecoder.h"

#include "platform/capture/CaptureFormat.h"
#include "platform/system/RegularFile.h"
#include "platform/system/SystemErrorText.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <samplerate.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tessmar {
namespace {

constexpr std::size_t kChunkFrames = 4096;

struct SndfileCloser {
    void operator()(SNDFILE* f) const { sf_close(f); }
};
struct ResamplerDeleter {
    void operator()(SRC_STATE* s) const { src_delete(s); }
};

// A library's message in parentheses, without its closing full stop.
std::string Detail(const char* message) {
    std::string text = message ? message : "";
    while (!text.empty() && (text.back() == '.' || text.back() == ' ')) {
        text.pop_back();
    }
    return " (" + text + ")";
}

// Why a path can't be opened for reading, in words a user understands.
// Why a file could not be opened (OpenRegularFile's error), in the user's words.
std::string AccessProblem(int error) {
    switch (error) {
    case ENOENT:
        return "Die Datei ist nicht vorhanden";
    case EISDIR:
        return "Das ist ein Ordner, keine Datei";
    case EACCES:
        return "Keine Leseberechtigung";
    case kErrNotRegularFile:
        return "Das ist keine gewöhnliche Datei, sondern etwa eine Pipe oder ein Gerät";
    default:
        return "Die Datei ist nicht zugänglich (" + SystemErrorText(error) + ")";
    }
}

// Left and right of one source frame: mono on both sides, further channels dropped.
template <typename T> void ToStereo(const T* in, std::size_t frames, int channels, T* out) {
    for (std::size_t f = 0; f < frames; ++f) {
        const T* src = in + f * channels;
        out[2 * f] = src[0];
        out[2 * f + 1] = channels > 1 ? src[1] : src[0];
    }
}

// Bytes in memory read as a file through libsndfile's virtual I/O.
struct MemoryFile {
    const unsigned char* data = nullptr;
    sf_count_t size = 0;
    sf_count_t position = 0;

    static sf_count_t Length(void* self) { return static_cast<MemoryFile*>(self)->size; }
    static sf_count_t Seek(sf_count_t offset, int whence, void* self) {
        MemoryFile& m = *static_cast<MemoryFile*>(self);
        const sf_count_t base = whence == SEEK_CUR ? m.position : whence == SEEK_END ? m.size : 0;
        if (offset > m.size - base || base + offset < 0) {
            return -1;
        }
        m.position = base + offset;
        return m.position;
    }
    static sf_count_t Read(void* out, sf_count_t count, void* self) {
        MemoryFile& m = *static_cast<MemoryFile*>(self);
        const sf_count_t n = std::max<sf_count_t>(0, std::min(count, m.size - m.position));
        if (n > 0) {
            std::memcpy(out, m.data + m.position, static_cast<std::size_t>(n));
        }
        m.position += n;
        return n;
    }
    static sf_count_t Write(const void*, sf_count_t, void*) { return 0; }
    static sf_count_t Tell(void* self) { return static_cast<MemoryFile*>(self)->position; }
};

} // namespace

struct SoundFileDecoder::State {
    std::unique_ptr<MemoryFile> memory; // only when reading from memory
    UniqueFd fd;                        // only when reading a file; closed after `file`
    std::unique_ptr<SNDFILE, SndfileCloser> file;
    SF_INFO info{};
    int rate = kSampleRate;          // delivered
    std::vector<float> directFrames; // direct path: one chunk of source frames
    std::vector<float> directStereo; // direct path: the same as stereo
    std::unique_ptr<SRC_STATE, ResamplerDeleter> resampler;
    std::vector<float> sourceFrames; // resampling: one chunk of source frames
    std::vector<float> pending;      // resampling: stereo input not yet consumed
    std::size_t pendingStart = 0;    // in frames
    std::vector<float> output;       // resampling: stereo output
    bool endOfInput = false;
    bool finished = false;
};

std::unique_ptr<SoundFileDecoder> SoundFileDecoder::Open(const std::string& path,
                                                         std::string& error, int rate) {
    int code = 0;
    UniqueFd fd = OpenRegularFile(path, code);
    if (!fd) {
        error = AccessProblem(code);
        return nullptr;
    }
    auto state = std::make_unique<State>();
    state->rate = rate;
    state->fd = std::move(fd);
    state->file.reset(sf_open_fd(state->fd.get(), SFM_READ, &state->info, SF_FALSE));
    return FromOpened(std::move(state), error);
}

std::unique_ptr<SoundFileDecoder> SoundFileDecoder::OpenMemory(const void* data, std::size_t size,
                                                               std::string& error) {
    auto state = std::make_unique<State>();
    state->memory = std::make_unique<MemoryFile>();
    state->memory->data = static_cast<const unsigned char*>(data);
    state->memory->size = static_cast<sf_count_t>(size);
    SF_VIRTUAL_IO io{&MemoryFile::Length, &MemoryFile::Seek, &MemoryFile::Read, &MemoryFile::Write,
                     &MemoryFile::Tell};
    state->file.reset(sf_open_virtual(&io, SFM_READ, &state->info, state->memory.get()));
    return FromOpened(std::move(state), error);
}

std::unique_ptr<SoundFileDecoder> SoundFileDecoder::FromOpened(std::unique_ptr<State> state,
                                                               std::string& error) {
    if (!state->file) {
        error = "Kein lesbares Audioformat" + Detail(sf_strerror(nullptr));
        return nullptr;
    }
    if (state->info.channels < 1 || state->info.samplerate < 1) {
        error = "Die Datei enthält kein gültiges Audioformat";
        return nullptr;
    }
    if (state->info.samplerate != state->rate) {
        int code = 0;
        state->resampler.reset(src_new(SRC_SINC_MEDIUM_QUALITY, kChannels, &code));
        if (!state->resampler) {
            error = "Umrechnung der Abtastrate nicht möglich" + Detail(src_strerror(code));
            return nullptr;
        }
    }
    error.clear();
    return std::unique_ptr<SoundFileDecoder>(new SoundFileDecoder(std::move(state)));
}

SoundFileDecoder::SoundFileDecoder(std::unique_ptr<State> state) : state_(std::move(state)) {}

SoundFileDecoder::~SoundFileDecoder() = default;

int SoundFileDecoder::sourceRate() const {
    return state_->info.samplerate;
}

int SoundFileDecoder::sourceChannels() const {
    return state_->info.channels;
}

std::size_t SoundFileDecoder::Read(std::int16_t* frames, std::size_t frameCount) {
    return state_->resampler ? ReadResampled(frames, frameCount) : ReadDirect(frames, frameCount);
}

// Every sample type is read as floats at full scale ±1 and converted as the resampled path
// does. Reading shorts would leave float files unscaled (±1, so silence); libsndfile's
// scaling for them turns the file up to its own peak. 16-bit samples survive the round
// trip bit for bit.
std::size_t SoundFileDecoder::ReadDirect(std::int16_t* frames, std::size_t frameCount) {
    State& s = *state_;
    const int channels = s.info.channels;
    std::size_t done = 0;
    while (done < frameCount) {
        const std::size_t want = std::min(frameCount - done, kChunkFrames);
        s.directFrames.resize(want * channels);
        const sf_count_t got = sf_readf_float(s.file.get(), s.directFrames.data(), want);
        if (got <= 0) {
            if (sf_error(s.file.get()) != SF_ERR_NO_ERROR) {
                error_ = "Lesefehler" + Detail(sf_strerror(s.file.get()));
            }
            break;
        }
        const std::size_t n = static_cast<std::size_t>(got);
        s.directStereo.resize(n * kChannels);
        ToStereo(s.directFrames.data(), n, channels, s.directStereo.data());
        src_float_to_short_array(s.directStereo.data(), frames + done * kChannels,
                                 static_cast<int>(n * kChannels));
        done += n;
    }
    return done;
}

// Keeps at least one chunk of stereo input ready for the resampler until the file ends.
bool SoundFileDecoder::RefillResamplerInput() {
    State& s = *state_;
    const int channels = s.info.channels;
    s.pending.erase(s.pending.begin(), s.pending.begin() + s.pendingStart * kChannels);
    s.pendingStart = 0;
    s.sourceFrames.resize(kChunkFrames * channels);
    const sf_count_t got = sf_readf_float(s.file.get(), s.sourceFrames.data(), kChunkFrames);
    if (got <= 0) {
        if (sf_error(s.file.get()) != SF_ERR_NO_ERROR) {
            error_ = "Lesefehler" + Detail(sf_strerror(s.file.get()));
            return false;
        }
        s.endOfInput = true;
        return true;
    }
    const std::size_t old = s.pending.size();
    s.pending.resize(old + static_cast<std::size_t>(got) * kChannels);
    ToStereo(s.sourceFrames.data(), static_cast<std::size_t>(got), channels,
             s.pending.data() + old);
    return true;
}

std::size_t SoundFileDecoder::ReadResampled(std::int16_t* frames, std::size_t frameCount) {
    State& s = *state_;
    std::size_t done = 0;
    while (done < frameCount && !s.finished) {
        std::size_t available = s.pending.size() / kChannels - s.pendingStart;
        if (!s.endOfInput && available < kChunkFrames) {
            if (!RefillResamplerInput()) {
                break;
            }
            available = s.pending.size() / kChannels - s.pendingStart;
        }
        const std::size_t want = std::min(frameCount - done, kChunkFrames);
        s.output.resize(want * kChannels);
        SRC_DATA data{};
        data.data_in = s.pending.data() + s.pendingStart * kChannels;
        data.input_frames = static_cast<long>(available);
        data.data_out = s.output.data();
        data.output_frames = static_cast<long>(want);
        data.end_of_input = s.endOfInput ? 1 : 0;
        data.src_ratio = double(s.rate) / s.info.samplerate;
        const int code = src_process(s.resampler.get(), &data);
        if (code != 0) {
            error_ = "Umrechnung der Abtastrate gescheitert" + Detail(src_strerror(code));
            break;
        }
        s.pendingStart += static_cast<std::size_t>(data.input_frames_used);
        const std::size_t gen = static_cast<std::size_t>(data.output_frames_gen);
        src_float_to_short_array(s.output.data(), frames + done * kChannels,
                                 static_cast<int>(gen * kChannels));
        done += gen;
        if (gen == 0 && s.endOfInput && data.input_frames_used == 0) {
            s.finished = true;
        }
    }
    return done;
}

} // namespace tessmar
