/* Renders a Zindle sound file (.zdl, .json or .efc), or the sound a template
 * makes for a seed, to a WAV file with libzindle.
 *
 *   cc render_wav.c $(pkg-config --cflags --libs zindle) -o render_wav
 *   ./render_wav laser.zdl laser.wav
 *   ./render_wav --generate coin 42 coin.wav    (zindle-cli generate coin --seed 42)
 */
#include <zindle/zindle.h>

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* The whole file in a malloc'd buffer; NULL (with a message) on failure. */
static unsigned char* read_file(const char* path, size_t* size) {
    FILE* in = fopen(path, "rb");
    unsigned char* bytes = NULL;
    long length;
    if (!in) {
        perror(path);
        return NULL;
    }
    if (fseek(in, 0, SEEK_END) == 0 && (length = ftell(in)) >= 0 && fseek(in, 0, SEEK_SET) == 0) {
        bytes = malloc(length > 0 ? (size_t)length : 1);
        if (bytes && fread(bytes, 1, (size_t)length, in) == (size_t)length) {
            *size = (size_t)length;
        } else {
            fprintf(stderr, "%s: cannot be read\n", path);
            free(bytes);
            bytes = NULL;
        }
    } else {
        perror(path);
    }
    fclose(in);
    return bytes;
}

/* Written beside the target and renamed over it only when complete, so that
 * a failure (a full disk) never destroys an existing file of that name. */
static int write_file(const char* path, const unsigned char* bytes, size_t size) {
    size_t length = strlen(path);
    char* temporary = malloc(length + 5);
    FILE* out;
    int ok;
    if (!temporary) {
        fprintf(stderr, "%s: out of memory\n", path);
        return 0;
    }
    memcpy(temporary, path, length);
    memcpy(temporary + length, ".tmp", 5);
    out = fopen(temporary, "wb");
    if (!out) {
        perror(temporary);
        free(temporary);
        return 0;
    }
    ok = fwrite(bytes, 1, size, out) == size;
    /* A full disk may show only when the buffer is flushed. */
    ok = (fclose(out) == 0) && ok;
    ok = ok && rename(temporary, path) == 0;
    if (!ok) {
        fprintf(stderr, "%s: cannot be written\n", path);
        remove(temporary);
    }
    free(temporary);
    return ok;
}

static void usage(const char* program) {
    int i;
    fprintf(stderr,
            "usage: %s IN.zdl|IN.json|IN.efc OUT.wav\n"
            "       %s --generate TEMPLATE SEED OUT.wav\n"
            "templates:",
            program, program);
    for (i = 0; i < zindle_template_count(); ++i) fprintf(stderr, " %s", zindle_template_name(i));
    fprintf(stderr, "\n(libzindle %s)\n", zindle_version());
}

/* The sound in the file at `path`; NULL (with a message) on failure. */
static zindle_sound* read_sound(const char* path) {
    zindle_sound* sound = NULL;
    size_t size = 0;
    char error[256];
    unsigned char* bytes = read_file(path, &size);
    if (!bytes) return NULL;
    if (zindle_sound_read(bytes, size, &sound, error, sizeof error) != ZINDLE_OK)
        fprintf(stderr, "%s: %s\n", path, error);
    free(bytes);
    return sound;
}

/* The sound the template makes for the seed (a decimal number); NULL (with a
 * message) on failure. */
static zindle_sound* generate_sound(const char* name, const char* seed_text) {
    zindle_sound* sound = NULL;
    char error[256];
    char* end;
    unsigned long long seed;
    errno = 0;
    seed = strtoull(seed_text, &end, 10);
    if (errno != 0 || end == seed_text || *end != '\0' || seed_text[0] == '-') {
        fprintf(stderr, "%s: not a seed (0 to 18446744073709551615)\n", seed_text);
        return NULL;
    }
    if (zindle_sound_generate(name, (uint64_t)seed, &sound, error, sizeof error) != ZINDLE_OK)
        fprintf(stderr, "%s: %s\n", name, error);
    return sound;
}

int main(int argc, char** argv) {
    zindle_sound* sound;
    unsigned char* wav = NULL;
    size_t wav_size = 0;
    const char* output;
    char error[256];
    int status;

    if (argc == 3 && strcmp(argv[1], "--generate") != 0) {
        sound = read_sound(argv[1]);
        output = argv[2];
    } else if (argc == 5 && strcmp(argv[1], "--generate") == 0) {
        sound = generate_sound(argv[2], argv[3]);
        output = argv[4];
    } else {
        usage(argv[0]);
        return 2;
    }
    if (!sound) return 1;
    /* The sound's own rate and width: the file zindle-cli render writes. */
    status = zindle_sound_render_wav(sound, ZINDLE_RATE_OWN, ZINDLE_BITS_OWN, &wav, &wav_size, error, sizeof error);
    zindle_sound_free(sound);
    if (status != ZINDLE_OK) {
        fprintf(stderr, "%s: %s (%s)\n", output, error, zindle_strerror(status));
        return 1;
    }
    status = write_file(output, wav, wav_size) ? 0 : 1;
    zindle_free(wav);
    return status;
}
