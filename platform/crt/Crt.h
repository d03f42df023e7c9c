// C-runtime pieces the program uses that Linux lacks: splitting a path into its parts.
//
// On Linux '/' is the only separator (a backslash is an ordinary file-name character) and
// there are no drives, so the drive part is always "". The parts of "/opt/app/run.sh" are
// dir "/opt/app/" (the trailing '/' kept), fname "run" and ext ".sh". The extension starts
// at the last '.' of the file name, even when that is its first character: ".profile" is
// fname "" and ext ".profile", "archive.tar.gz" is "archive.tar" and ".gz".
#pragma once

#include <cstddef>

// Buffer sizes, NUL included, that _splitpath assumes.
#define _MAX_PATH 260
#define _MAX_DRIVE 3
#define _MAX_DIR 256
#define _MAX_FNAME 256
#define _MAX_EXT 256

// Splits path into the four outputs. An output may be null when its size is 0. Returns 0;
// EINVAL for a null path, a null output with a nonzero size or an output with size 0;
// ERANGE when a part does not fit. On an error every usable output is set to "".
int _splitpath_s(const char* path, char* drive, std::size_t driveSize, char* dir,
                 std::size_t dirSize, char* fname, std::size_t fnameSize, char* ext,
                 std::size_t extSize);

// The classic form: each non-null output must hold its _MAX_* size. A part that would not
// fit is not written past that size; all outputs are then "" instead.
void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext);
