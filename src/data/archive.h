// The ZDA archive reader. Four archives in ./data hold every asset of the game; each stays
// open with its header block (header and directory) in memory from openArchives to
// closeArchives. A member is read whole, inflated with zlib and unscrambled into a new
// malloc'd buffer that the caller frees. Missing or damaged members read as none (null).
#pragma once
#include <cstdint>
#include <cstdio>

// Archive numbers.
enum ArchiveId { ZDA_GFX = 0, ZDA_MUSIC = 1, ZDA_MAPS = 2, ZDA_SOUND = 3, ZDA_COUNT = 4 };

constexpr unsigned char ZDA_SEED = 0xA7; // running-XOR seed of every member
constexpr int ZDA_HEADER_BYTES = 12;     // magic, entry count, header size
constexpr int ZDA_ENTRY_BYTES = 52;      // name[40], usize, csize, offset
constexpr int ZDA_NAME_BYTES = 40;

extern const char* const archives[ZDA_COUNT]; // base names: "gfx", "music", "maps", "sound"
extern const char* zdaDirectory;              // "./data"; tests point it elsewhere

// Reader state, one slot per archive.
extern FILE* zda_file[ZDA_COUNT];
extern unsigned char* zda_full_header[ZDA_COUNT];

void openArchives();
void closeArchives();
void closeZDA(int archive);
void closeID(int archive);
void openID(int archive);
int loadZDAHeader(int archive);

// Member "name.ext" of an archive; *size (when given) receives the byte count.
unsigned char* loadZDAFile(int archive, const char* name, const char* ext, uint32_t* size);
unsigned char* uncompressZDA(int archive, const char* fullName, int32_t* size);

// Directory queries on a header block; 0 when the block is invalid or the name is absent.
int32_t gp_zda_headersize(const unsigned char* header);
int32_t gp_zda_offset(const unsigned char* header, const char* fullName);
int32_t gp_zda_usize(const unsigned char* header, const char* fullName);
int32_t gp_zda_csize(const unsigned char* header, const char* fullName);

// zlib's uncompress; *destLen becomes the number of bytes produced.
int gp_uncompressZDA(unsigned char* dest, unsigned long* destLen, const unsigned char* src,
                     unsigned long srcLen);
