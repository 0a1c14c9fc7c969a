#!/usr/bin/env bash
# Writes the bitmap fixtures of the loader tests with ImageMagick's convert, so
# the files come from a program other than Kivoro. Run from anywhere; the files
# land beside this script. Pictures are given as plain PPM text.
set -euo pipefail
cd "$(dirname "$0")"

# 5 x 3, 24 bits: rows of 15 bytes padded to 16. Colours by row, top first.
colours='P3 5 3 255
255 255 255   255 0 0   0 255 0   0 0 255   128 128 128
0 0 0   200 100 50   255 255 255   0 0 255   255 0 0
0 255 0   128 128 128   0 0 0   255 255 255   0 0 255'
echo "$colours" | convert ppm:- -type truecolor bmp3:rgb24_5x3.bmp

# The same picture written with the long (124-byte) information header.
echo "$colours" | convert ppm:- -type truecolor rgb24_long_header_5x3.bmp

# The 5 x 3 file followed by one more padded row of blue (16 bytes) that is not
# part of the picture.
cp rgb24_5x3.bmp rgb24_trailing_5x3.bmp
printf '\xff\x00\x00\xff\x00\x00\xff\x00\x00\xff\x00\x00\xff\x00\x00\x00' \
    >>rgb24_trailing_5x3.bmp

# 3 x 2, 16 bits 5-5-5 with bit-field masks: rows of 6 bytes padded to 8. The grey
# is 132, which every rounding takes to the 5-bit value 16.
echo 'P3 3 2 255
255 255 255   255 0 0   0 255 0
0 0 255   132 132 132   0 0 0' |
    convert ppm:- -define bmp:subtype=RGB555 rgb555_3x2.bmp

# 16 bits with 5-6-5 masks: refused rather than misread.
echo 'P3 2 2 255
255 0 0   0 255 0   0 0 255   255 255 255' |
    convert ppm:- -define bmp:subtype=RGB565 rgb565_2x2.bmp

# 5 x 4, 8 bits with a colour table (more than 16 colours, so the writer does not
# pick 4 bits): rows of 5 bytes padded to 8.
{
    echo 'P3 5 4 255'
    for i in $(seq 0 19); do echo "$((i * 12)) $((255 - i * 12)) $(((i * 37) % 256))"; done
} | convert ppm:- -type palette -compress none bmp3:indexed8_5x4.bmp

# Formats outside what the loader reads: 1 bit per pixel, and 8 bits run-length
# compressed.
echo 'P3 2 1 255
255 255 255   0 0 0' | convert ppm:- -type bilevel bmp3:mono1_2x1.bmp
{
    echo 'P3 20 1 255'
    for i in $(seq 0 19); do echo "$((i * 12)) 0 0"; done
} | convert ppm:- -type palette -compress rle bmp3:rle8_20x1.bmp
