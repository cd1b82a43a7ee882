/* Renders a Zindle sound file (.zdl, .json or .efc) to a WAV file with libzindle.
 *
 *   cc render_wav.c $(pkg-config --cflags --libs zindle) -o render_wav
 *   ./render_wav laser.zdl laser.wav
 */
#include <zindle/zindle.h>

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

int main(int argc, char** argv) {
    unsigned char *sound, *wav = NULL;
    size_t sound_size = 0, wav_size = 0;
    char error[256];
    int status;

    if (argc != 3) {
        fprintf(stderr, "usage: %s IN.zdl|IN.json|IN.efc OUT.wav   (libzindle %s)\n", argv[0], zindle_version());
        return 2;
    }
    sound = read_file(argv[1], &sound_size);
    if (!sound) return 1;
    status = zindle_render_wav(sound, sound_size, &wav, &wav_size, error, sizeof error);
    free(sound);
    if (status != ZINDLE_OK) {
        fprintf(stderr, "%s: %s\n", argv[1], error);
        return 1;
    }
    status = write_file(argv[2], wav, wav_size) ? 0 : 1;
    zindle_free(wav);
    return status;
}
