// Opening and decoding sound files with libsndfile, whole for samples and chunk by chunk for
// streams.
#include "platform/fmod/SoundData.h"

#include <sndfile.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>

namespace ztplatform::fmod {

SoundData::~SoundData()
{
    if (file != nullptr)
        sf_close(file);
}

FMOD_RESULT SoundData::Open(const std::string& path, bool stream, SoundData** out)
{
    *out = nullptr;
    if (path.empty())
        return FMOD_ERR_INVALID_PARAM;

    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status))
        return FMOD_ERR_FILE_NOTFOUND;
    if (std::filesystem::is_directory(status))
        return FMOD_ERR_FILE_BAD;

    SF_INFO info;
    std::memset(&info, 0, sizeof(info));
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        const int error = sf_error(nullptr);
        return (error == SF_ERR_UNRECOGNISED_FORMAT || error == SF_ERR_UNSUPPORTED_ENCODING)
                   ? FMOD_ERR_FORMAT
                   : FMOD_ERR_FILE_BAD;
    }

    auto data = std::make_unique<SoundData>();
    data->file = file;
    if (info.channels < 1 || info.channels > 2 || info.samplerate <= 0)
        return FMOD_ERR_FORMAT;
    data->channels = info.channels;
    data->sampleRate = info.samplerate;
    data->frames = std::max<int64_t>(0, info.frames);
    // Pipes and some streamed containers report an unknown length; we only play files whose
    // length is known, since the channel's end is computed from it.
    if (info.frames == SF_COUNT_MAX)
        return FMOD_ERR_FORMAT;

    if (!stream) {
        data->samples.resize(static_cast<size_t>(data->frames * data->channels));
        const sf_count_t got =
            data->frames > 0 ? sf_readf_short(file, data->samples.data(), data->frames) : 0;
        if (got < 0)
            return FMOD_ERR_FILE_BAD;
        // A truncated file plays what could be decoded.
        data->frames = got;
        data->samples.resize(static_cast<size_t>(got * data->channels));
        sf_close(file);
        data->file = nullptr;
    }
    *out = data.release();
    return FMOD_OK;
}

int64_t SoundData::Read(int64_t from, int16_t* out, int64_t count)
{
    if (from < 0 || from >= frames || count <= 0)
        return 0;
    count = std::min(count, frames - from);
    if (file == nullptr) {
        std::copy_n(samples.data() + from * channels, count * channels, out);
        return count;
    }
    if (from != filePosition) {
        if (sf_seek(file, from, SEEK_SET) < 0)
            return 0;
        filePosition = from;
    }
    const sf_count_t got = sf_readf_short(file, out, count);
    if (got <= 0)
        return 0;
    filePosition += got;
    return got;
}

}  // namespace ztplatform::fmod
