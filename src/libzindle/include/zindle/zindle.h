/* libzindle: renders Zindle sounds inside a program, exactly as the editor
 * plays them and as zindle-cli render writes them (byte for byte).
 *
 * Build with: cc game.c $(pkg-config --cflags --libs zindle)
 * The header is C89 to C11 and C++ (98 on).
 *
 * Conventions shared by every function below:
 * - Functions that can fail return an int: ZINDLE_OK (0) on success, one of
 *   the non-zero ZINDLE_ERROR_* codes otherwise (zindle_strerror names them).
 *   They never abort, and no C++ exception ever leaves the library.
 * - `error`/`error_size`: on failure a NUL-terminated reason in English is
 *   written there, cut to error_size - 1 bytes when longer. `error` may be NULL
 *   (no reason is written); so may error_size be 0. On success the buffer is
 *   left as it is.
 * - Every pointer argument is checked: a NULL where one is needed gives
 *   ZINDLE_ERROR_ARGUMENT, never a crash.
 * - An output pointer (`*sound`, `*wav`, ...) is set to NULL on failure.
 * - Ownership: memory the library hands out belongs to the caller, who frees
 *   buffers with zindle_free and sounds with zindle_sound_free (both take
 *   NULL). Strings returned as `const char*` (versions, error texts, template
 *   names) are static: never freed, valid as long as the library is loaded.
 *   The library keeps no pointer the caller passed in after the call returns.
 * - Threads: the library has no global state that changes. Every function may
 *   be called from any thread, any number of threads at once, on different
 *   sounds or on the same sound, as long as no one frees a sound (or buffer)
 *   while another thread still uses it. Each function says so again ("Any
 *   thread") or names the one thing to keep apart.
 * - Determinism: the same sound (and seed) renders to the same bytes on every
 *   machine and build, the editor and zindle-cli included.
 * - Versions: `@since` gives the library version that added a function. A 0.x
 *   minor release may add functions but never changes or removes one, so the
 *   soname stays libzindle.so.0 through 0.x; a program built against 0.N runs
 *   with any later 0.M. Functions added after 0.1 carry their own symbol
 *   version (ZINDLE_0.2, ...), so an older library refuses such a program when
 *   it starts rather than when it first calls the new function. To build
 *   against several versions, test ZINDLE_VERSION_NUMBER at compile time; to
 *   learn which library was loaded, zindle_version_number() at run time.
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
#define ZINDLE_ERROR_ARGUMENT 1 /* a NULL pointer, or a rate, width, format or template not offered */
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

/* The version of this header: MAJOR.MINOR.PATCH, the project's version.
 * ZINDLE_VERSION_NUMBER is MAJOR * 10000 + MINOR * 100 + PATCH (MINOR and
 * PATCH stay below 100), e.g. 200 for 0.2.0, for tests with #if. */
#define ZINDLE_VERSION_MAJOR 0
#define ZINDLE_VERSION_MINOR 3
#define ZINDLE_VERSION_PATCH 0
#define ZINDLE_VERSION_NUMBER (ZINDLE_VERSION_MAJOR * 10000 + ZINDLE_VERSION_MINOR * 100 + ZINDLE_VERSION_PATCH)

/* The version of the library loaded, e.g. "0.2.0": a static string, never
 * NULL. It may be later than the header a program was built with.
 * @since 0.1. Any thread. */
ZINDLE_API const char* zindle_version(void);

/* The same version as a number, MAJOR * 10000 + MINOR * 100 + PATCH: what
 * ZINDLE_VERSION_NUMBER was for the header the library was built with.
 * @since 0.2. Any thread. */
ZINDLE_API int zindle_version_number(void);

/* A fixed English text for a ZINDLE_OK or ZINDLE_ERROR_* code: "no error",
 * "invalid argument", "not a sound the library reads", "out of memory",
 * "buffer too small", "internal error"; "unknown error" for any other code.
 * A static string, never NULL. The reason written into `error` says more.
 * @since 0.2. Any thread. */
ZINDLE_API const char* zindle_strerror(int code);

/* Renders a sound given as the bytes of a .zdl file (also .efc, and the JSON
 * form of a sound). On success returns 0 and sets *wav to a malloc'd
 * buffer of *wav_size bytes: the WAV image the editor plays (the 44-byte
 * header, then the samples repeated repeatCount times). On failure returns
 * non-zero, sets *wav to NULL (and *wav_size to 0) and writes the reason into
 * error. `sound` may be NULL only when sound_size is 0 (then: an empty sound,
 * ZINDLE_ERROR_FORMAT). Same as zindle_sound_read, then
 * zindle_sound_render_wav at the sound's own rate and width.
 * @since 0.1. Any thread. *wav is the caller's, freed with zindle_free; the
 * bytes at `sound` are only read, and not kept. */
ZINDLE_API int zindle_render_wav(const void* sound, size_t sound_size, unsigned char** wav, size_t* wav_size,
                                 char* error, size_t error_size);

/* Frees a buffer the library returned (a WAV image, .zdl bytes, JSON text).
 * NULL is a no-op. Not for sounds (zindle_sound_free), nor for the static
 * strings (versions, error texts, template names).
 * @since 0.1. Any thread, once per buffer, when no thread uses it any more. */
ZINDLE_API void zindle_free(void* p);

/* A sound read into memory: its settings, validated. Opaque; owned by the
 * caller from the call that made it (read, generate or mutate) until
 * zindle_sound_free. A sound never changes once made: any number of threads
 * may use one at once. */
typedef struct zindle_sound zindle_sound;

/* Reads a sound from `size` bytes at `data`, detecting the format:
 * - a share code (see zindle_sound_write_share_code) when the text (white
 *   space around it aside) starts with "zindle1:" (another version,
 *   "zindle2:", is refused by name), or is a link with one after its '#':
 *   base64url of the .zdl bytes it holds;
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
 * On success *sound is a new sound; on failure NULL. The bytes are not kept.
 * @since 0.1. Any thread. *sound is the caller's, freed with zindle_sound_free. */
ZINDLE_API int zindle_sound_read(const void* data, size_t size, zindle_sound** sound, char* error, size_t error_size);

/* The same with the format given (a ZINDLE_FORMAT_* value; others give
 * ZINDLE_ERROR_ARGUMENT). A .zdl larger than 64 MiB is refused; an .efc's bytes
 * after its 1578-byte record, like a .zdl's after its record, are ignored.
 * @since 0.1. Any thread. *sound is the caller's, freed with zindle_sound_free. */
ZINDLE_API int zindle_sound_read_format(const void* data, size_t size, int format, zindle_sound** sound, char* error,
                                        size_t error_size);

/* Frees a sound. NULL is a no-op.
 * @since 0.1. Any thread, once per sound, when no thread uses it any more. */
ZINDLE_API void zindle_sound_free(zindle_sound* sound);

/* The sound's own sample rate (11025, 22050 or 44100), width (8 or 16 bits)
 * and repeat count (1..10); 0 for a NULL sound.
 * @since 0.1. Any thread. */
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
 * `size` must not be NULL; on other failures *size is 0.
 * @since 0.1. Any thread. The buffer is the caller's; the library writes
 * only its first *size bytes and keeps no pointer to it. */
ZINDLE_API int zindle_sound_render_samples(const zindle_sound* sound, int rate, int bits, void* buffer,
                                           size_t buffer_size, size_t* size, char* error, size_t error_size);

/* Renders the WAV image (header, then the samples repeatCount times) at a rate
 * and width as above, into a malloc'd buffer *wav of *wav_size bytes, to be
 * freed with zindle_free. With ZINDLE_RATE_OWN and ZINDLE_BITS_OWN this is the
 * file zindle-cli render writes; with others, that of --rate and --bits.
 * @since 0.1. Any thread. *wav is the caller's, freed with zindle_free. */
ZINDLE_API int zindle_sound_render_wav(const zindle_sound* sound, int rate, int bits, unsigned char** wav,
                                       size_t* wav_size, char* error, size_t error_size);

/* A variation of a sound: every curve point and slider moved at random as
 * heard, by at most `amount` a (limited to 0..1, NaN counts as 0): the length
 * (its duration), the amplitude values, distortion, echo volume and (with an
 * echo) echo delay by a factor of 2^a, each frequency point by 12a semitones,
 * each inner point's time by a of its distance to the nearer neighbour. The
 * same for the same sound, seed and amount everywhere; what zindle-cli mutate
 * --seed --amount makes. Silence, an absent echo or distortion, rate, width,
 * waveform and repeat count are kept. *variant is a new sound.
 * @since 0.1. Any thread. *variant is the caller's, freed with
 * zindle_sound_free; `sound` is left as it is. */
ZINDLE_API int zindle_sound_mutate(const zindle_sound* sound, uint64_t seed, float amount, zindle_sound** variant,
                                   char* error, size_t error_size);

/* The sound as the bytes of a .zdl file (the latest version), in a malloc'd
 * buffer *zdl of *zdl_size bytes, to be freed with zindle_free.
 * @since 0.1. Any thread. */
ZINDLE_API int zindle_sound_write_zdl(const zindle_sound* sound, unsigned char** zdl, size_t* zdl_size, char* error,
                                      size_t error_size);

/* The sound as its JSON text (the form zindle-cli convert writes to a .json
 * file), NUL-terminated, in a malloc'd buffer *json of *json_size bytes (the
 * terminator not counted), to be freed with zindle_free. Read back, it gives
 * the same sound bit for bit.
 * @since 0.1. Any thread. */
ZINDLE_API int zindle_sound_write_json(const zindle_sound* sound, char** json, size_t* json_size, char* error,
                                       size_t error_size);

/* The sound as its share code: "zindle1:" followed by the bytes of
 * zindle_sound_write_zdl in base64url (RFC 4648 URL-safe alphabet, no
 * padding), one line of ASCII fit for a link (the web player opens
 * "index.html#zindle1:..."). zindle_sound_read reads it back to the same
 * sound. NUL-terminated, in a malloc'd buffer *code of *code_size bytes (the
 * terminator not counted), to be freed with zindle_free.
 * @since 0.3. Any thread. */
ZINDLE_API int zindle_sound_write_share_code(const zindle_sound* sound, char** code, size_t* code_size, char* error,
                                             size_t error_size);

/* The number of sound templates (8: coin, laser, explosion, powerup, hit,
 * jump, blip, random), the same list and order as zindle-cli templates.
 * @since 0.2. Any thread. */
ZINDLE_API int zindle_template_count(void);

/* The name of template `index` (0 .. zindle_template_count() - 1), e.g.
 * "coin": a static string; NULL for an index out of range.
 * @since 0.2. Any thread. */
ZINDLE_API const char* zindle_template_name(int index);

/* The sound the template `name` (exactly one of zindle_template_name's, lower
 * case) makes for `seed`: the one zindle-cli generate NAME --seed SEED writes
 * (zindle_sound_write_zdl gives that file's bytes). Like the CLI's, it is at
 * 11025 Hz and 8 bits, except "random", which draws its own rate and width.
 * An unknown name gives ZINDLE_ERROR_ARGUMENT with a reason that names it;
 * a NULL `name` or `sound`, ZINDLE_ERROR_ARGUMENT.
 * @since 0.2. Any thread. *sound is the caller's, freed with
 * zindle_sound_free; `name` is not kept. */
ZINDLE_API int zindle_sound_generate(const char* name, uint64_t seed, zindle_sound** sound, char* error,
                                     size_t error_size);

#ifdef __cplusplus
}
#endif

#endif /* ZINDLE_ZINDLE_H */
