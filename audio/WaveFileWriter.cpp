// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/WaveFileWriter.h"

#include "platform/files/AtomicFile.h"

#include <array>
#include <cerrno>
#include <cstring>

namespace tessmar {
namespace {

class HeaderBuilder {
public:
    void Id(const char (&id)[5]) { Bytes(id, 4); }
    void U16(std::uint32_t v) {
        const unsigned char b[2] = {static_cast<unsigned char>(v),
                                    static_cast<unsigned char>(v >> 8)};
        Bytes(b, 2);
    }
    void U32(std::uint32_t v) {
        const unsigned char b[4] = {
            static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
            static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
        Bytes(b, 4);
    }
    const std::array<unsigned char, kWaveHeaderBytes>& bytes() const { return bytes_; }

private:
    void Bytes(const void* p, std::size_t n) {
        std::memcpy(bytes_.data() + used_, p, n);
        used_ += n;
    }
    std::array<unsigned char, kWaveHeaderBytes> bytes_{};
    std::size_t used_ = 0;
};

} // namespace

std::array<unsigned char, kWaveHeaderBytes>
WaveFileHeader(std::uint32_t dataBytes, std::int32_t sampleRate, bool bits16, bool stereo) {
    const bool odd = dataBytes % 2 != 0;
    const std::uint32_t channels = stereo ? 2 : 1;
    const std::uint32_t bytesPerSample = bits16 ? 2 : 1;
    const std::uint32_t rate = static_cast<std::uint32_t>(sampleRate);

    HeaderBuilder header;
    header.Id("RIFF");
    header.U32(36 + dataBytes + (odd ? 1 : 0)); // the file's length minus 8
    header.Id("WAVE");
    header.Id("fmt ");
    header.U32(16);
    header.U16(1); // PCM
    header.U16(channels);
    header.U32(rate);
    header.U32(rate * channels * bytesPerSample);
    header.U16(channels * bytesPerSample);
    header.U16(bits16 ? 16 : 8);
    header.Id("data");
    header.U32(dataBytes); // the pad byte is not counted
    return header.bytes();
}

bool WriteWaveFile(const std::string& fileName, const void* data, std::int32_t byteCount,
                   std::int32_t sampleRate, bool bits16, bool stereo) {
    if (byteCount < 0 || (byteCount > 0 && data == nullptr)) {
        errno = EINVAL;
        return false;
    }
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(byteCount);
    const bool odd = dataBytes % 2 != 0;
    const auto header = WaveFileHeader(dataBytes, sampleRate, bits16, stereo);

    AtomicFile file(fileName);
    const unsigned char pad = 0;
    if (file.Open() && file.Write(header.data(), header.size()) && file.Write(data, dataBytes) &&
        (!odd || file.Write(&pad, 1)) && file.Commit()) {
        return true;
    }
    errno = file.error();
    return false;
}

} // namespace tessmar
