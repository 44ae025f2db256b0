#pragma once
// Decoded audio behind a Sound: either the whole file as 16-bit PCM in memory, or an open
// libsndfile handle that a stream decodes from in chunks while it plays.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/fmod/FmodTypes.h"

typedef struct sf_private_tag SNDFILE;

namespace ztplatform::fmod {

struct SoundData {
    SoundData() = default;
    ~SoundData();
    SoundData(const SoundData&) = delete;
    SoundData& operator=(const SoundData&) = delete;

    // Opens `path`; a sample is decoded whole and closed, a stream stays open. Mono and
    // stereo only. Missing file: FMOD_ERR_FILE_NOTFOUND; unreadable or damaged:
    // FMOD_ERR_FILE_BAD; not a format or layout we play: FMOD_ERR_FORMAT.
    static FMOD_RESULT Open(const std::string& path, bool stream, SoundData** out);

    // Copies up to `count` frames starting at frame `from` into `out` (channels x count
    // samples); returns the frames copied, fewer only at the end of the data or on a read error.
    int64_t Read(int64_t from, int16_t* out, int64_t count);

    int channels = 0;
    int sampleRate = 0;
    int64_t frames = 0;
    std::vector<int16_t> samples;  // samples only
    SNDFILE* file = nullptr;       // streams only
    int64_t filePosition = 0;      // the frame the stream's next read starts at
};

}  // namespace ztplatform::fmod
