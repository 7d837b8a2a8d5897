/* ZUBEKI's sound library: wave images played through SDL2_mixer.
 *
 * Handles are opaque integers as wide as a pointer. 0 means "none": every call
 * given a 0 handle, or a handle never handed out or already released, does
 * nothing. Handles are never reused within a process, so a stale one stays harmless.
 */
#ifndef ZUBEKI_SOUND_H
#define ZUBEKI_SOUND_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#if defined(ZUBEKI_SOUND_BUILDING)
#define ZUBEKI_SOUND_API __declspec(dllexport)
#else
#define ZUBEKI_SOUND_API __declspec(dllimport)
#endif
#else
#define ZUBEKI_SOUND_API __attribute__((visibility("default")))
#endif

/* Flags of dsCreateDSB. */
#define ZUBEKI_SOUND_MUSIC 1  /* a music stream: asking it to loop while it loops carries on */
#define ZUBEKI_SOUND_EFFECT 3 /* a short effect: playing it while it sounds restarts it */

#ifdef __cplusplus
extern "C" {
#endif

/* Opens the audio output. The window handle is not needed by the back end and may
 * be 0. Answers a device handle, or 0 when no audio output can be opened. */
ZUBEKI_SOUND_API intptr_t dsInitialize(intptr_t window);

/* Makes a sound buffer from a complete wave file image of `length` bytes (RIFF/WAVE
 * with PCM 8/16/24/32-bit or 32-bit float samples, one or two channels). Nothing
 * outside the `length` bytes is read, and the image may be released after the call.
 * Answers a buffer handle, or 0 for a truncated, inconsistent or non-wave image, an
 * unknown flag, or a device handle that is not open. */
ZUBEKI_SOUND_API intptr_t dsCreateDSB(intptr_t device, const void* image, size_t length, int flag);

/* Plays the buffer once from its start; returns at once. */
ZUBEKI_SOUND_API void dsPlay(intptr_t buffer);
/* Plays the buffer over and over until dsStop. */
ZUBEKI_SOUND_API void dsPlayLooping(intptr_t buffer);
/* Stops the buffer. */
ZUBEKI_SOUND_API void dsStop(intptr_t buffer);
/* Stops and releases the buffer; its handle is dead afterwards. */
ZUBEKI_SOUND_API void dsFree(intptr_t buffer);
/* Releases the device and every buffer made on it; the output closes with the last device. */
ZUBEKI_SOUND_API void dsTerminate(intptr_t device);

/* The same functions as pointers, for callers that load the library at run time. */
typedef intptr_t (*dsInitializeFn)(intptr_t window);
typedef intptr_t (*dsCreateDSBFn)(intptr_t device, const void* image, size_t length, int flag);
typedef void (*dsPlayFn)(intptr_t buffer);
typedef void (*dsPlayLoopingFn)(intptr_t buffer);
typedef void (*dsStopFn)(intptr_t buffer);
typedef void (*dsFreeFn)(intptr_t buffer);
typedef void (*dsTerminateFn)(intptr_t device);

#ifdef __cplusplus
}
#endif

#endif /* ZUBEKI_SOUND_H */
