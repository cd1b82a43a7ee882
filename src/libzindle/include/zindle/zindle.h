/* libzindle: renders Zindle sounds inside a program, exactly as the editor
 * plays them and as zindle-cli render writes them (byte for byte).
 *
 * Build with: cc game.c $(pkg-config --cflags --libs zindle)
 *
 * Conventions shared by every function below:
 * - Functions that can fail return an int: ZINDLE_OK (0) on success, one of
 *   the non-zero ZINDLE_ERROR_* codes otherwise. They never abort, and no C++
 *   exception ever leaves the library.
 * - `error`/`error_size`: on failure a NUL-terminated reason in English is
 *   written there, cut to error_size - 1 bytes when longer. `error` may be NULL
 *   (no reason is written); so may error_size be 0. On success the buffer is
 *   left as it is.
 * - Every pointer argument is checked: a NULL where one is needed gives
 *   ZINDLE_ERROR_ARGUMENT, never a crash.
 * - An output pointer (`*sound`, `*wav`, ...) is set to NULL on failure.
 * - Memory the library hands out is freed with zindle_free (buffers) or
 *   zindle_sound_free (sounds); both take NULL.
 * - Threads: the library has no global state. Any number of threads may call
 *   it at once, on different sounds or on the same sound, as long as no one
 *   frees a sound while another thread still uses it.
 * - Determinism: the same sound (and seed) renders to the same bytes on every
 *   machine and build, the editor and zindle-cli included.
 */
#ifndef ZINDLE_ZINDLE_H
#define ZINDLE_ZINDLE_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__) && defined(ZINDLE_BUILDING_LIBRARY)
#define ZINDLE_API __attribute__((visibility("default")))
#else
#define ZINDLE_API
#endif

/* Return codes. */
#define ZINDLE_OK 0
#define ZINDLE_ERROR_ARGUMENT 1 /* a NULL pointer, or a rate, width or format not offered */
#define ZINDLE_ERROR_FORMAT 2   /* the bytes are no sound the library reads (empty, truncated, invalid) */
#define ZINDLE_ERROR_MEMORY 3   /* out of memory */
#define ZINDLE_ERROR_BUFFER 4   /* the caller's buffer is too small for the render */
#define ZINDLE_ERROR_INTERNAL 5 /* anything else: a fault of the library */

/* Formats for zindle_sound_read_format. */
#define ZINDLE_FORMAT_AUTO 0 /* detected from the bytes, see zindle_sound_read */
#define ZINDLE_FORMAT_ZDL 1  /* Zindle's own sound file */
#define ZINDLE_FORMAT_EFC 2  /* the old fixed-size sound file */
#define ZINDLE_FORMAT_JSON 3 /* the JSON form of a sound */

/* Sample rates and widths a render may choose; 0 keeps the sound's own. */
#define ZINDLE_RATE_OWN 0
#define ZINDLE_BITS_OWN 0

/* The library's version, e.g. "0.1.0": a static string, never NULL. */
ZINDLE_API const char* zindle_version(void);

/* Renders a sound given as the bytes of a .zdl file (also .efc, and the JSON
 * form of a sound). On success returns 0 and sets *wav to a malloc'd
 * buffer of *wav_size bytes: the WAV image the editor plays (the 44-byte
 * header, then the samples repeated repeatCount times). On failure returns
 * non-zero, sets *wav to NULL (and *wav_size to 0) and writes the reason into
 * error. `sound` may be NULL only when sound_size is 0 (then: an empty sound,
 * ZINDLE_ERROR_FORMAT). Same as zindle_sound_read, then
 * zindle_sound_render_wav at the sound's own rate and width. */
ZINDLE_API int zindle_render_wav(const void* sound, size_t sound_size, unsigned char** wav, size_t* wav_size,
                                 char* error, size_t error_size);

/* Frees a buffer the library returned (a WAV image, .zdl bytes, JSON text). NULL is a no-op. */
ZINDLE_API void zindle_free(void* p);

/* A sound read into memory: its settings, validated. Opaque; owned by the
 * caller from the read (or mutate) that made it until zindle_sound_free. */
typedef struct zindle_sound zindle_sound;

/* Reads a sound from `size` bytes at `data`, detecting the format:
 * - JSON when the first byte that is not white space (after an optional UTF-8
 *   byte order mark) is '{';
 * - otherwise .zdl when the bytes start with the little-endian int32 1000 or
 *   1001 (the versions of every .zdl Zindle has written);
 * - otherwise .efc when there are at least 1578 bytes (an .efc record);
 * - anything else is refused (ZINDLE_ERROR_FORMAT), with a reason that says
 *   what the bytes look like when it can tell (a WAV, FLAC, Ogg or PNG file,
 *   text).
 * An .efc's first four bytes are unused and may hold anything: bytes of
 * exactly an .efc record's size that fail as JSON or .zdl are read as an
 * .efc before they are refused (with the first reason).
 * A .zdl of another version is read with ZINDLE_FORMAT_ZDL.
 * On success *sound is a new sound; on failure NULL. The bytes are not kept. */
ZINDLE_API int zindle_sound_read(const void* data, size_t size, zindle_sound** sound, char* error, size_t error_size);

/* The same with the format given (a ZINDLE_FORMAT_* value; others give
 * ZINDLE_ERROR_ARGUMENT). A .zdl larger than 64 MiB is refused; an .efc's bytes
 * after its 1578-byte record, like a .zdl's after its record, are ignored. */
ZINDLE_API int zindle_sound_read_format(const void* data, size_t size, int format, zindle_sound** sound, char* error,
                                        size_t error_size);

/* Frees a sound. NULL is a no-op. */
ZINDLE_API void zindle_sound_free(zindle_sound* sound);

/* The sound's own sample rate (11025, 22050 or 44100), width (8 or 16 bits)
 * and repeat count (1..10); 0 for a NULL sound. */
ZINDLE_API int zindle_sound_sample_rate(const zindle_sound* sound);
ZINDLE_API int zindle_sound_bits(const zindle_sound* sound);
ZINDLE_API int zindle_sound_repeat_count(const zindle_sound* sound);

/* Renders the raw samples into the caller's buffer: exactly the bytes of the
 * data chunk of the WAV image at that rate and width (repeated repeatCount
 * times; unsigned 8-bit, or signed 16-bit little-endian; mono).
 * rate: 11025, 22050, 44100 or ZINDLE_RATE_OWN; bits: 8, 16 or ZINDLE_BITS_OWN.
 * - buffer NULL: only the size query: *size is set to the bytes needed.
 * - buffer_size too small: ZINDLE_ERROR_BUFFER, *size set to the bytes
 *   needed, the buffer left untouched.
 * - otherwise the samples are written and *size is set to their byte count.
 * `size` must not be NULL; on other failures *size is 0. */
ZINDLE_API int zindle_sound_render_samples(const zindle_sound* sound, int rate, int bits, void* buffer,
                                           size_t buffer_size, size_t* size, char* error, size_t error_size);

/* Renders the WAV image (header, then the samples repeatCount times) at a rate
 * and width as above, into a malloc'd buffer *wav of *wav_size bytes, to be
 * freed with zindle_free. With ZINDLE_RATE_OWN and ZINDLE_BITS_OWN this is the
 * file zindle-cli render writes; with others, that of --rate and --bits. */
ZINDLE_API int zindle_sound_render_wav(const zindle_sound* sound, int rate, int bits, unsigned char** wav,
                                       size_t* wav_size, char* error, size_t error_size);

/* A variation of a sound: every curve point and slider moved at random as
 * heard, by at most `amount` a (limited to 0..1, NaN counts as 0): the length
 * (its duration), the amplitude values, distortion, echo volume and (with an
 * echo) echo delay by a factor of 2^a, each frequency point by 12a semitones,
 * each inner point's time by a of its distance to the nearer neighbour. The
 * same for the same sound, seed and amount everywhere; what zindle-cli mutate
 * --seed --amount makes. Silence, an absent echo or distortion, rate, width,
 * waveform and repeat count are kept. *variant is a new sound. */
ZINDLE_API int zindle_sound_mutate(const zindle_sound* sound, uint64_t seed, float amount, zindle_sound** variant,
                                   char* error, size_t error_size);

/* The sound as the bytes of a .zdl file (the latest version), in a malloc'd
 * buffer *zdl of *zdl_size bytes, to be freed with zindle_free. */
ZINDLE_API int zindle_sound_write_zdl(const zindle_sound* sound, unsigned char** zdl, size_t* zdl_size, char* error,
                                      size_t error_size);

/* The sound as its JSON text (the form zindle-cli convert writes to a .json
 * file), NUL-terminated, in a malloc'd buffer *json of *json_size bytes (the
 * terminator not counted), to be freed with zindle_free. Read back, it gives
 * the same sound bit for bit. */
ZINDLE_API int zindle_sound_write_json(const zindle_sound* sound, char** json, size_t* json_size, char* error,
                                       size_t error_size);

#ifdef __cplusplus
}
#endif

#endif /* ZINDLE_ZINDLE_H */
