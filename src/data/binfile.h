// Whole-file reading for plain files (the test map, the configuration file).
#pragma once
#include <cstdio>

// Reads a whole file into a new malloc'd buffer that the caller frees; stores its length
// in *sizeOut when sizeOut is not null. Null when the file cannot be opened, its length
// cannot be found, or it is empty.
unsigned char* loadBINFile(const char* path, int* sizeOut);

// Length of an open file in bytes (seeks to the end and back to the start); 0 on failure.
long binfilesize(FILE* file);
