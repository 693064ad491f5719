#include <stdio.h>
#include <stdlib.h>
#include <jpeglib.h>
/* Writes a w x h colour gradient JPEG at the given quality. */
int main(int argc, char** argv) {
    int w = atoi(argv[2]), h = atoi(argv[3]), q = atoi(argv[4]);
    FILE* f = fopen(argv[1], "wb");
    struct jpeg_compress_struct c; struct jpeg_error_mgr e;
    c.err = jpeg_std_error(&e); jpeg_create_compress(&c); jpeg_stdio_dest(&c, f);
    c.image_width = w; c.image_height = h; c.input_components = 3; c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c); jpeg_set_quality(&c, q, TRUE); jpeg_start_compress(&c, TRUE);
    unsigned char* row = malloc(w * 3);
    unsigned seed = 12345;
    while (c.next_scanline < (unsigned)h) {
        for (int x = 0; x < w; ++x) {
            seed = seed * 1103515245u + 12345u;
            int y = c.next_scanline, noise = (seed >> 16) % 64;
            row[3*x] = (x * 255 / w + noise) & 255; row[3*x+1] = (y * 255 / h) & 255; row[3*x+2] = ((x ^ y) + noise) & 255;
        }
        JSAMPROW r = row; jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c); fclose(f); return 0;
}
