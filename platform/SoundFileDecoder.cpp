#include "platform/SoundFileDecoder.h"

#include "audio/CaptureFormat.h"

#include <algorithm>
#include <cerrno>
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
std::string AccessProblem(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return errno == ENOENT ? "Die Datei ist nicht vorhanden" : "Die Datei ist nicht zugänglich";
    }
    if (S_ISDIR(st.st_mode)) {
        return "Das ist ein Ordner, keine Datei";
    }
    if (::access(path.c_str(), R_OK) != 0) {
        return "Keine Leseberechtigung";
    }
    return {};
}

// Left and right of one source frame: mono on both sides, further channels dropped.
template <typename T> void ToStereo(const T* in, std::size_t frames, int channels, T* out) {
    for (std::size_t f = 0; f < frames; ++f) {
        const T* src = in + f * channels;
        out[2 * f] = src[0];
        out[2 * f + 1] = channels > 1 ? src[1] : src[0];
    }
}

} // namespace

struct SoundFileDecoder::State {
    std::unique_ptr<SNDFILE, SndfileCloser> file;
    SF_INFO info{};
    std::vector<std::int16_t> shortFrames; // direct path: one chunk of source frames
    std::unique_ptr<SRC_STATE, ResamplerDeleter> resampler;
    std::vector<float> sourceFrames; // resampling: one chunk of source frames
    std::vector<float> pending;      // resampling: stereo input not yet consumed
    std::size_t pendingStart = 0;    // in frames
    std::vector<float> output;       // resampling: stereo output
    bool endOfInput = false;
    bool finished = false;
};

std::unique_ptr<SoundFileDecoder> SoundFileDecoder::Open(const std::string& path,
                                                         std::string& error) {
    error = AccessProblem(path);
    if (!error.empty()) {
        return nullptr;
    }
    auto state = std::make_unique<State>();
    state->file.reset(sf_open(path.c_str(), SFM_READ, &state->info));
    if (!state->file) {
        error = "Kein lesbares Audioformat" + Detail(sf_strerror(nullptr));
        return nullptr;
    }
    if (state->info.channels < 1 || state->info.samplerate < 1) {
        error = "Die Datei enthält kein gültiges Audioformat";
        return nullptr;
    }
    // Float files beyond full scale are clipped, not wrapped around.
    sf_command(state->file.get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);
    if (state->info.samplerate != kSampleRate) {
        int code = 0;
        state->resampler.reset(src_new(SRC_SINC_MEDIUM_QUALITY, kChannels, &code));
        if (!state->resampler) {
            error = "Umrechnung der Abtastrate nicht möglich" + Detail(src_strerror(code));
            return nullptr;
        }
    }
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

std::size_t SoundFileDecoder::ReadDirect(std::int16_t* frames, std::size_t frameCount) {
    State& s = *state_;
    const int channels = s.info.channels;
    std::size_t done = 0;
    while (done < frameCount) {
        const std::size_t want = std::min(frameCount - done, kChunkFrames);
        s.shortFrames.resize(want * channels);
        const sf_count_t got = sf_readf_short(s.file.get(), s.shortFrames.data(), want);
        if (got <= 0) {
            if (sf_error(s.file.get()) != SF_ERR_NO_ERROR) {
                error_ = "Lesefehler" + Detail(sf_strerror(s.file.get()));
            }
            break;
        }
        ToStereo(s.shortFrames.data(), static_cast<std::size_t>(got), channels,
                 frames + done * kChannels);
        done += static_cast<std::size_t>(got);
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
        data.src_ratio = double(kSampleRate) / s.info.samplerate;
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
