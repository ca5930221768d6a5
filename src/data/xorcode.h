// The running XOR that scrambles archive members and the hiscore file.
#pragma once

// Encodes in place: r = seed; for each byte, r ^= byte, byte = r. len <= 0 changes nothing.
void codebuf(unsigned char* bytes, int len, unsigned char seed);

// The inverse of codebuf: q = seed; for each byte b, byte = q ^ b, q = b.
void decodebuf(unsigned char* bytes, int len, unsigned char seed);
