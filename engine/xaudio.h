/* Sonavera decoder engine: MP3 decoding and audio output behind an asynchronous command
 * and notification interface (API version 3.2).
 *
 * Threading rules
 * - player_new and player_delete: the owner's thread (normally the GUI thread). After
 *   player_delete returns no other call may use the player.
 * - control_message_send_*: any thread, concurrently. A send only copies its arguments
 *   (texts and the equalizer record may be freed when it returns) and queues the command;
 *   it never blocks on decoding or output. Commands run on the engine's own thread in
 *   the order they were queued.
 * - control_message_get: one consumer thread at a time (the owner's thread). The texts
 *   and the equalizer record inside a returned message stay valid until the next
 *   control_message_get or player_delete.
 * - player_get_priority, player_set_priority: any thread.
 * - xaudio_get_api_version, xaudio_error_string: any thread, no player needed.
 * - No notification is ever delivered from inside a call: they are queued, and the
 *   notification descriptor is readable while the queue is not empty.
 *
 * Playing
 * - INPUT_OPEN opens a file without playing it (player state STOPPED) and reports input
 *   state, name, duration, stream info, position 0 and timecode 0; or an error.
 * - PLAY plays from the current place (the start after an open or a STOP, the target of a
 *   seek) or resumes after PAUSE. STOP goes back to the start. STOP and INPUT_OPEN drop
 *   the sound of an input that plays or is paused; after EOF they (and errors) let it end.
 * - Player state EOF comes 90 ms before the input's last sound is heard (at once for an
 *   input shorter than that): an INPUT_OPEN and PLAY sent then are fed behind that sound
 *   and join it without a gap. The old input is still heard until then: EOF does not say
 *   that the next one is.
 * - The first sound of an opened input is announced when it is heard, within 10 ms:
 *   XA_MSG_NOTIFY_PROGRESS from XA_SOURCE_OUTPUT with code XA_PROGRESS_INPUT_HEARD and the
 *   input's name as opened for its message; once per INPUT_OPEN (and once more for a PLAY
 *   after a STOP). From that moment the new input is the one heard.
 * - While an input plays or is paused, INPUT_OPEN, STOP and a seek drop every sound not yet
 *   heard at once: after a join that is the old input's tail and the queued sound of the
 *   new one, whose announcement then never comes.
 * - On the sound server, PAUSE and a drop while sound is heard fade it out over 8 ms
 *   (heard within about 60 ms of the command) instead of cutting the wave, and PLAY after
 *   PAUSE fades in from the next sample: no sound is lost or heard twice.
 * - Timecode and position are those of the input opened last, as heard: they stop for the
 *   old input when the next is opened, and stay at 0 for the new one until it is heard.
 * - EXIT ends the threads (after the queued sound when playing or at EOF); EXITED is the
 *   last notification.
 */
#ifndef SONAVERA_XAUDIO_H
#define SONAVERA_XAUDIO_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- versions ---------------------------------------------------------------------- */

#define XA_API_MAJOR_VERSION 3
#define XA_API_MINOR_VERSION 2
#define XA_API_REVISION 0

/* ---- status and error codes -------------------------------------------------------- */

#define XA_SUCCESS 0
#define XA_FAILURE (-1)
#define XA_ERROR_OUT_OF_MEMORY (-2)
#define XA_ERROR_INVALID_PARAMETERS (-3)
#define XA_ERROR_EXITED (-4)        /* the player has been told to exit */
#define XA_ERROR_NO_INPUT (-5)      /* the command needs an open input */
#define XA_ERROR_OPEN_FAILED (-6)   /* the input file cannot be opened */
#define XA_ERROR_INVALID_INPUT (-7) /* the input is not MPEG audio */
#define XA_ERROR_DECODE (-8)        /* decoding failed */
#define XA_ERROR_OUTPUT (-9)        /* the output cannot be opened or written */
#define XA_ERROR_UNSUPPORTED (-10)  /* the engine does not implement the command */
#define XA_ERROR_NO_MESSAGE (-11)   /* control_message_get: the queue is empty */

/* ---- command codes (control_message_send_*) ----------------------------------------- */

#define XA_MSG_COMMAND_EXIT 1
#define XA_MSG_COMMAND_PING 2
#define XA_MSG_COMMAND_PLAY 3
#define XA_MSG_COMMAND_PAUSE 4
#define XA_MSG_COMMAND_STOP 5
#define XA_MSG_COMMAND_INPUT_SEEK 6
#define XA_MSG_COMMAND_INPUT_OPEN 7
#define XA_MSG_COMMAND_INPUT_CLOSE 8
#define XA_MSG_COMMAND_INPUT_SEND_MESSAGE 9
#define XA_MSG_COMMAND_INPUT_ADD_FILTER 10
#define XA_MSG_COMMAND_INPUT_REMOVE_FILTER 11
#define XA_MSG_COMMAND_INPUT_FILTER_LIST 12
#define XA_MSG_COMMAND_INPUT_MODULE_REGISTER 13
#define XA_MSG_COMMAND_INPUT_MODULE_QUERY 14
#define XA_MSG_COMMAND_INPUT_MODULES_LIST 15
#define XA_MSG_COMMAND_OUTPUT_OPEN 16
#define XA_MSG_COMMAND_OUTPUT_CLOSE 17
#define XA_MSG_COMMAND_OUTPUT_SEND_MESSAGE 18
#define XA_MSG_COMMAND_OUTPUT_MUTE 19
#define XA_MSG_COMMAND_OUTPUT_UNMUTE 20
#define XA_MSG_COMMAND_OUTPUT_RESET 21
#define XA_MSG_COMMAND_OUTPUT_DRAIN 22
#define XA_MSG_COMMAND_OUTPUT_ADD_FILTER 23
#define XA_MSG_COMMAND_OUTPUT_REMOVE_FILTER 24
#define XA_MSG_COMMAND_OUTPUT_FILTER_LIST 25
#define XA_MSG_COMMAND_OUTPUT_MODULE_REGISTER 26
#define XA_MSG_COMMAND_OUTPUT_MODULE_QUERY 27
#define XA_MSG_COMMAND_OUTPUT_MODULES_LIST 28
#define XA_MSG_SET_PLAYER_MODE 29
#define XA_MSG_GET_PLAYER_MODE 30
#define XA_MSG_SET_PLAYER_ENVIRONMENT_INTEGER 31
#define XA_MSG_GET_PLAYER_ENVIRONMENT_INTEGER 32
#define XA_MSG_SET_PLAYER_ENVIRONMENT_STRING 33
#define XA_MSG_GET_PLAYER_ENVIRONMENT_STRING 34
#define XA_MSG_UNSET_PLAYER_ENVIRONMENT 35
#define XA_MSG_SET_INPUT_NAME 36 /* as INPUT_OPEN */
#define XA_MSG_GET_INPUT_NAME 37
#define XA_MSG_SET_INPUT_MODULE 38
#define XA_MSG_GET_INPUT_MODULE 39
#define XA_MSG_SET_INPUT_POSITION_RANGE 40
#define XA_MSG_GET_INPUT_POSITION_RANGE 41
#define XA_MSG_SET_INPUT_TIMECODE_GRANULARITY 42
#define XA_MSG_GET_INPUT_TIMECODE_GRANULARITY 43
#define XA_MSG_SET_OUTPUT_NAME 44 /* as the "OUTPUT" environment string */
#define XA_MSG_GET_OUTPUT_NAME 45
#define XA_MSG_SET_OUTPUT_MODULE 46
#define XA_MSG_GET_OUTPUT_MODULE 47
#define XA_MSG_SET_OUTPUT_VOLUME 48
#define XA_MSG_GET_OUTPUT_VOLUME 49
#define XA_MSG_SET_OUTPUT_CHANNELS 50
#define XA_MSG_GET_OUTPUT_CHANNELS 51
#define XA_MSG_SET_OUTPUT_PORTS 52
#define XA_MSG_GET_OUTPUT_PORTS 53
#define XA_MSG_SET_CODEC_QUALITY 54
#define XA_MSG_GET_CODEC_QUALITY 55
/* 56 and 57 are not used. */
#define XA_MSG_SET_CODEC_EQUALIZER 58
#define XA_MSG_GET_CODEC_EQUALIZER 59
#define XA_MSG_SET_NOTIFICATION_MASK 60
#define XA_MSG_GET_NOTIFICATION_MASK 61
#define XA_MSG_SET_DEBUG_LEVEL 62
#define XA_MSG_GET_DEBUG_LEVEL 63

/* ---- notification codes (XA_Message.code) ------------------------------------------ */

#define XA_MSG_NOTIFY_READY 64
#define XA_MSG_NOTIFY_ACK 65
#define XA_MSG_NOTIFY_NACK 66
#define XA_MSG_NOTIFY_PONG 67
#define XA_MSG_NOTIFY_EXITED 68
#define XA_MSG_NOTIFY_PLAYER_STATE 69
#define XA_MSG_NOTIFY_PLAYER_MODE 70
#define XA_MSG_NOTIFY_PLAYER_ENVIRONMENT_INTEGER 71
#define XA_MSG_NOTIFY_PLAYER_ENVIRONMENT_STRING 72
#define XA_MSG_NOTIFY_INPUT_STATE 73
#define XA_MSG_NOTIFY_INPUT_NAME 74
#define XA_MSG_NOTIFY_INPUT_CAPS 75
#define XA_MSG_NOTIFY_INPUT_POSITION 76
#define XA_MSG_NOTIFY_INPUT_POSITION_RANGE 77
#define XA_MSG_NOTIFY_INPUT_TIMECODE 78
#define XA_MSG_NOTIFY_INPUT_TIMECODE_GRANULARITY 79
#define XA_MSG_NOTIFY_INPUT_DURATION 80
#define XA_MSG_NOTIFY_INPUT_STREAM_INFO 81
#define XA_MSG_NOTIFY_INPUT_MODULE 82
#define XA_MSG_NOTIFY_INPUT_MODULE_INFO 83
#define XA_MSG_NOTIFY_INPUT_DEVICE_INFO 84
#define XA_MSG_NOTIFY_INPUT_FILTER_INFO 85
#define XA_MSG_NOTIFY_OUTPUT_STATE 86
#define XA_MSG_NOTIFY_OUTPUT_NAME 87
#define XA_MSG_NOTIFY_OUTPUT_CAPS 88
#define XA_MSG_NOTIFY_OUTPUT_VOLUME 89
#define XA_MSG_NOTIFY_OUTPUT_BALANCE 90
#define XA_MSG_NOTIFY_OUTPUT_PCM_LEVEL 91
#define XA_MSG_NOTIFY_OUTPUT_MASTER_LEVEL 92
#define XA_MSG_NOTIFY_OUTPUT_CHANNELS 93
#define XA_MSG_NOTIFY_OUTPUT_PORTS 94
/* 95 is not used. */
#define XA_MSG_NOTIFY_OUTPUT_MODULE 96
#define XA_MSG_NOTIFY_OUTPUT_MODULE_INFO 97
#define XA_MSG_NOTIFY_OUTPUT_DEVICE_INFO 98
#define XA_MSG_NOTIFY_OUTPUT_FILTER_INFO 99
#define XA_MSG_NOTIFY_CODEC_QUALITY 100
#define XA_MSG_NOTIFY_CODEC_EQUALIZER 101
#define XA_MSG_NOTIFY_NOTIFICATION_MASK 102
#define XA_MSG_NOTIFY_DEBUG_LEVEL 103
#define XA_MSG_NOTIFY_PROGRESS 104
#define XA_MSG_NOTIFY_DEBUG 105
#define XA_MSG_NOTIFY_ERROR 106

/* ---- state values -------------------------------------------------------------------- */

/* XA_MSG_NOTIFY_PLAYER_STATE */
#define XA_PLAYER_STATE_STOPPED 0
#define XA_PLAYER_STATE_PLAYING 1
#define XA_PLAYER_STATE_PAUSED 2
#define XA_PLAYER_STATE_EOF 3 /* the end is 90 ms from being heard; the tail still sounds */

/* XA_MSG_NOTIFY_INPUT_STATE */
#define XA_INPUT_STATE_CLOSED 0
#define XA_INPUT_STATE_OPEN 1

/* XA_MSG_NOTIFY_OUTPUT_STATE */
#define XA_OUTPUT_STATE_CLOSED 0
#define XA_OUTPUT_STATE_OPEN 1

/* XA_MSG_NOTIFY_INPUT_STREAM_INFO mode: the MPEG audio header's channel mode */
#define XA_STREAM_MODE_STEREO 0
#define XA_STREAM_MODE_JOINT_STEREO 1
#define XA_STREAM_MODE_DUAL_CHANNEL 2
#define XA_STREAM_MODE_SINGLE_CHANNEL 3

/* XA_MSG_NOTIFY_INPUT_STREAM_INFO level: MPEG version */
#define XA_STREAM_LEVEL_MPEG1 1
#define XA_STREAM_LEVEL_MPEG2 2
#define XA_STREAM_LEVEL_MPEG25 3

/* XA_MSG_NOTIFY_ERROR and XA_MSG_NOTIFY_DEBUG source */
#define XA_SOURCE_PLAYER 0
#define XA_SOURCE_INPUT 1
#define XA_SOURCE_CODEC 2
#define XA_SOURCE_OUTPUT 3

/* XA_MSG_NOTIFY_PROGRESS code (source XA_SOURCE_OUTPUT): the first sound of the input
   named by the message is heard now. */
#define XA_PROGRESS_INPUT_HEARD 1

/* XA_MSG_NOTIFY_DEBUG level: the input broke off after some sound; it ended there as at
   its end, and the message tells why. */
#define XA_DEBUG_LEVEL_INPUT_DAMAGED 1

/* Timecode granularity until changed, in hundredths of a second: a timecode as the heard
   time reaches each whole second. */
#define XA_DEFAULT_TIMECODE_GRANULARITY 100
/* Position range reported by XA_MSG_NOTIFY_INPUT_POSITION until changed. */
#define XA_DEFAULT_POSITION_RANGE 400
/* Volume fields: 0..100; this value leaves the field unchanged. Balance 50 is centred. */
#define XA_VOLUME_UNCHANGED 255
/* Equalizer band values: -40..+40 (others are clamped), 0.3 dB a step, so +-12 dB. */
#define XA_EQUALIZER_MIN (-40)
#define XA_EQUALIZER_MAX 40
/* Priority levels of the decoding and output threads (player_set_priority). */
#define XA_PRIORITY_LOWEST 0
#define XA_PRIORITY_HIGHEST 4

/* Decoding (libmpg123) and output (see "OUTPUT" below) are the one built-in input and
 * output module. The engine sends every notification; it refuses with a NACK
 * (XA_ERROR_UNSUPPORTED) the filter, module registration, query and list, send-message,
 * output open, close, reset and drain, channels, ports and notification-mask commands. */
#define XA_BUILTIN_MODULE 0
#define XA_NOTIFICATION_MASK_ALL 0xffffffffu

/* ---- player environment -------------------------------------------------------------- */

/* XA_MSG_SET_PLAYER_ENVIRONMENT_STRING "OUTPUT" (also XA_MSG_SET_OUTPUT_NAME) chooses the
 * audio output. It takes effect at once: audio still queued for the old output is
 * dropped and the new one is opened when sound is next written.
 *   "default"            the sound device: the PulseAudio server (through libpulse),
 *                        then libout123 drivers alsa, jack, oss in that order; when none
 *                        opens, the paced null sink
 *   "pulse"              the PulseAudio server; "pulse:sink" names one of its sinks
 *   a libout123 driver   e.g. "alsa"; "driver:device" names a device too (for these and
 *                        "pulse", an error notification and the paced null sink on failure)
 *   "null"               no sound, paced in real time (headless machines)
 *   "null-fast"          no sound, as fast as decoding goes (benchmarks)
 *   "wav:/path/file.wav" 16-bit PCM WAV file (tests): what a paced device plays, a gap
 *                        as silence; the file keeps the format of its first song
 */
#define XA_ENVIRONMENT_OUTPUT "OUTPUT"
#define XA_OUTPUT_DEFAULT "default"
#define XA_OUTPUT_NULL "null"
#define XA_OUTPUT_NULL_FAST "null-fast"
#define XA_OUTPUT_WAV_PREFIX "wav:"

/* XA_MSG_SET_PLAYER_ENVIRONMENT_INTEGER "REPLAYGAIN" chooses the whole-song gain from the
 * song's tags: 0 off (the default), 1 track gain, 2 album gain; a song without the chosen
 * gain uses the other one. "REPLAYGAIN_PREAMP" (tagged songs) and "REPLAYGAIN_UNTAGGED"
 * (songs without a gain) are pre-amps in tenths of a dB, -150..150. A gain applies from the
 * song's first sample and never pushes the sound over full scale; a change while playing
 * glides over 10 ms. With ReplayGain on, each opened song (and each change) is answered by
 * XA_MSG_NOTIFY_PLAYER_ENVIRONMENT_STRING "REPLAYGAIN" with the applied gain, such as
 * "RG album -6.3 dB". */
#define XA_ENVIRONMENT_REPLAYGAIN "REPLAYGAIN"
#define XA_ENVIRONMENT_REPLAYGAIN_PREAMP "REPLAYGAIN_PREAMP"
#define XA_ENVIRONMENT_REPLAYGAIN_UNTAGGED "REPLAYGAIN_UNTAGGED"
#define XA_REPLAYGAIN_OFF 0
#define XA_REPLAYGAIN_TRACK 1
#define XA_REPLAYGAIN_ALBUM 2

/* ---- records --------------------------------------------------------------------------- */

/* Band gains, band 0 (lowest frequencies) first. */
typedef struct XA_EqualizerInfo {
  signed char left[32];
  signed char right[32];
} XA_EqualizerInfo;

typedef struct XA_ModuleInfo {
  uint8_t id;
  uint8_t nb_devices;
  const char* name;
  const char* description;
} XA_ModuleInfo;

typedef struct XA_DeviceInfo {
  uint8_t module_id;
  uint8_t index;
  uint8_t flags;
  const char* name;
  const char* description;
} XA_DeviceInfo;

typedef struct XA_FilterInfo {
  const char* name;
  uint8_t id;
} XA_FilterInfo;

/* Levels 0..100 (balance 50 is centred). Notifications 89, 90, 91 and 92 all carry it. */
typedef struct XA_VolumeInfo {
  uint8_t master_level;
  uint8_t pcm_level;
  uint8_t balance;
} XA_VolumeInfo;

/* A notification. Texts are NUL-terminated 8-bit strings owned by the engine (never
 * null in a message from the engine), valid until the next control_message_get. */
typedef struct XA_Message {
  int32_t code; /* XA_MSG_NOTIFY_* */
  union {
    struct {
      uint8_t command;
    } ack;
    struct {
      uint8_t command;
      int16_t code; /* XA_ERROR_* */
    } nack;
    uint32_t tag;  /* PONG */
    int32_t state; /* PLAYER_STATE, INPUT_STATE, OUTPUT_STATE */
    int32_t mode;  /* PLAYER_MODE */
    struct {
      const char* name;
      int32_t value;
    } environment_integer;
    struct {
      const char* name;
      const char* value;
    } environment_string;
    const char* name; /* INPUT_NAME, OUTPUT_NAME */
    uint32_t caps;    /* INPUT_CAPS, OUTPUT_CAPS */
    struct {
      uint32_t offset;
      uint32_t range;
    } input_position;
    int32_t range; /* INPUT_POSITION_RANGE */
    struct {
      uint8_t h;
      uint8_t m;
      uint8_t s;
      uint8_t f; /* hundredths of a second */
    } input_timecode;
    uint32_t granularity; /* INPUT_TIMECODE_GRANULARITY, 1..100 hundredths of a second: a
                             timecode comes as the heard time reaches each multiple of it
                             (within 50 ms), and at the start, a seek and the end */
    uint32_t duration;    /* INPUT_DURATION, whole seconds */
    struct {
      uint8_t level;      /* XA_STREAM_LEVEL_* */
      uint8_t layer;      /* 1..3 */
      uint16_t bitrate;   /* kbit/s; the average for VBR */
      uint16_t frequency; /* Hz */
      uint8_t mode;       /* XA_STREAM_MODE_* */
    } input_stream_info;
    int16_t module_id; /* INPUT_MODULE, OUTPUT_MODULE */
    XA_ModuleInfo module_info;
    XA_DeviceInfo device_info;
    XA_FilterInfo filter_info;
    XA_VolumeInfo volume;              /* OUTPUT_VOLUME, _BALANCE, _PCM_LEVEL, _MASTER_LEVEL */
    uint8_t channels;                  /* OUTPUT_CHANNELS */
    uint32_t ports;                    /* OUTPUT_PORTS */
    uint8_t quality;                   /* CODEC_QUALITY */
    const XA_EqualizerInfo* equalizer; /* CODEC_EQUALIZER; null while it is off */
    uint32_t notification_mask;
    uint8_t debug_level;
    struct {
      uint8_t source;
      uint8_t code;
      int16_t value;
      const char* message;
    } progress;
    struct {
      uint8_t source; /* XA_SOURCE_* */
      uint8_t level;
      const char* message;
    } debug;
    struct {
      uint8_t source; /* XA_SOURCE_* */
      int16_t code;   /* XA_ERROR_* */
      const char* message;
    } error;
  } data;
} XA_Message;

typedef struct XA_Player XA_Player;

/* ---- entry points -------------------------------------------------------------------- */

/* Version word: major in bits 16..23, minor in bits 8..15, revision in bits 0..7.
 * The level argument is accepted for compatibility and ignored. */
unsigned long xaudio_get_api_version(unsigned int level);

/* Creates a player and starts its threads. On success stores the player in *player and
 * in *notification_fd a descriptor that is readable while notifications are queued
 * (watch it for reading; do not read or close it), and returns XA_SUCCESS. */
int player_new(XA_Player** player, int* notification_fd);

/* Shuts the player down (as XA_MSG_COMMAND_EXIT would, but dropping queued sound) unless
 * it has exited already, joins its threads and frees it. Null is ignored. */
void player_delete(XA_Player* player);

/* Priority of the decoding and output threads, XA_PRIORITY_LOWEST..HIGHEST (default 2).
 * Out-of-range values are clamped; where the system refuses a level the request is
 * still recorded. */
int player_get_priority(XA_Player* player);
int player_set_priority(XA_Player* player, int priority);

/* A readable text for an XA_ERROR_* code (a static string). */
const char* xaudio_error_string(int code);

/* Queue a command. Returns XA_SUCCESS, XA_ERROR_INVALID_PARAMETERS (null player, unknown
 * code, null text) or XA_ERROR_EXITED (after EXIT). */
int control_message_send_N(XA_Player* player, int code);
int control_message_send_I(XA_Player* player, int code, int i1);
int control_message_send_II(XA_Player* player, int code, int i1, int i2);
int control_message_send_III(XA_Player* player, int code, int i1, int i2, int i3);
int control_message_send_IPI(XA_Player* player, int code, int i1, void* p, int i2);
int control_message_send_S(XA_Player* player, int code, const char* s);
int control_message_send_SI(XA_Player* player, int code, const char* s, int i);
int control_message_send_SS(XA_Player* player, int code, const char* s1, const char* s2);
int control_message_send_P(XA_Player* player, int code, const void* p);

/* Takes the oldest queued notification into *message and returns XA_SUCCESS, or returns
 * XA_ERROR_NO_MESSAGE when none is queued (XA_ERROR_INVALID_PARAMETERS for null
 * arguments). Stand-in for the window-message decode call of the original interface. */
int control_message_get(XA_Player* player, XA_Message* message);

#ifdef __cplusplus
}
#endif

#endif /* SONAVERA_XAUDIO_H */
