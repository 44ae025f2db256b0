#include "platform/fmod/FmodTypes.h"

namespace ztplatform::fmod {

const char* FMOD_ErrorString(FMOD_RESULT result)
{
    switch (result) {
    case FMOD_OK:
        return "No error.";
    case FMOD_ERR_INVALID_PARAM:
        return "A value passed to the sound layer is out of range or missing.";
    case FMOD_ERR_FILE_NOTFOUND:
        return "The sound file does not exist.";
    case FMOD_ERR_FILE_BAD:
        return "The sound file could not be read or is damaged.";
    case FMOD_ERR_FORMAT:
        return "The sound file's format or channel layout cannot be played (mono or stereo "
               "WAV and Ogg Vorbis can).";
    case FMOD_ERR_UNINITIALIZED:
        return "The sound system has not been initialised yet.";
    case FMOD_ERR_INITIALIZED:
        return "The sound system is already initialised; this setting must come before init.";
    case FMOD_ERR_OUTPUT_INIT:
        return "The audio output could not be opened.";
    case FMOD_ERR_UNSUPPORTED:
        return "The chosen audio output does not offer this call.";
    case FMOD_ERR_CHANNEL_STOLEN:
        return "The channel was taken over by a newer sound.";
    case FMOD_ERR_INVALID_HANDLE:
        return "The channel has ended or the object was released.";
    }
    return "Unknown sound layer error.";
}

}  // namespace ztplatform::fmod
