#pragma once
// The plain vocabulary of the sound layer: result codes, sound and channel modes, init flags,
// time units, output kinds and the 3D vector. The names follow the FMOD Ex calls the game was
// written against; the values are our own except the two result codes the game tests for.
#include <functional>

namespace ztplatform::fmod {

// Every call of the layer returns one of these. Only 11 and 36 are fixed: the sound system
// reads them as "that channel has ended" without printing anything.
enum FMOD_RESULT : int {
    FMOD_OK = 0,
    FMOD_ERR_INVALID_PARAM = 1,
    FMOD_ERR_FILE_NOTFOUND = 2,
    FMOD_ERR_FILE_BAD = 3,
    FMOD_ERR_FORMAT = 4,
    FMOD_ERR_UNINITIALIZED = 5,
    FMOD_ERR_INITIALIZED = 6,
    FMOD_ERR_OUTPUT_INIT = 7,
    FMOD_ERR_UNSUPPORTED = 8,
    FMOD_ERR_CHANNEL_STOLEN = 11,
    FMOD_ERR_INVALID_HANDLE = 36,
};

// Our own text for a result code, for the "FMOD error! (%d) %s" lines. Never null.
const char* FMOD_ErrorString(FMOD_RESULT result);

// Sound and channel modes. A mode is a set of these bits; on a channel, setMode changes only
// the groups (looping, 2D/3D) that the given mode names and leaves the others as they are.
using FMOD_MODE = unsigned int;
inline constexpr FMOD_MODE FMOD_DEFAULT = 0x0;  // loop off, 2D, decoded whole
inline constexpr FMOD_MODE FMOD_LOOP_OFF = 0x1;
inline constexpr FMOD_MODE FMOD_LOOP_NORMAL = 0x2;
inline constexpr FMOD_MODE FMOD_2D = 0x8;
inline constexpr FMOD_MODE FMOD_3D = 0x10;
inline constexpr FMOD_MODE FMOD_CREATESTREAM = 0x80;  // set by System::createStream

using FMOD_INITFLAGS = unsigned int;
inline constexpr FMOD_INITFLAGS FMOD_INIT_NORMAL = 0x0;
// Positions, velocities and orientations are given in a right-handed frame (as the game's
// math is); without it the layer treats them as left-handed and flips z.
inline constexpr FMOD_INITFLAGS FMOD_INIT_3D_RIGHTHANDED = 0x1;

using FMOD_TIMEUNIT = unsigned int;
inline constexpr FMOD_TIMEUNIT FMOD_TIMEUNIT_MS = 0x1;
inline constexpr FMOD_TIMEUNIT FMOD_TIMEUNIT_PCM = 0x2;  // sample frames

// Which channel System::playSound uses: only "any free one" is offered; when all are busy the
// one that started longest ago is stolen.
using FMOD_CHANNELINDEX = int;
inline constexpr FMOD_CHANNELINDEX FMOD_CHANNEL_FREE = -1;

// Where the mixed sound goes; chosen with System::setOutput before System::init.
enum FMOD_OUTPUTTYPE : int {
    // The default OpenAL device; without one the layer runs silent (as FMOD_OUTPUTTYPE_NOSOUND).
    FMOD_OUTPUTTYPE_AUTODETECT = 0,
    // The default OpenAL device or an FMOD_ERR_OUTPUT_INIT from init.
    FMOD_OUTPUTTYPE_OPENAL = 1,
    // No output at all: channels still play for their length, loop, pause and end by the clock.
    FMOD_OUTPUTTYPE_NOSOUND = 2,
    // OpenAL mixing into memory: the caller pulls the mix with System::renderLoopback.
    FMOD_OUTPUTTYPE_LOOPBACK = 3,
};

struct FMOD_VECTOR {
    float x;
    float y;
    float z;
};

// The clock the layer keeps channel time by: seconds from any fixed origin, never decreasing.
// The default reads the steady clock; tests give their own to step time without sleeping.
using FMOD_CLOCK = std::function<double()>;

// The version this layer reports through System::getVersion.
inline constexpr unsigned int FMOD_VERSION = 0x00044500;

// Mix format of the loopback output: interleaved stereo float at this rate.
inline constexpr int FMOD_LOOPBACK_RATE = 44100;

}  // namespace ztplatform::fmod
