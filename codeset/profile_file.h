// The settings file of the native build: a Windows profile (INI) file read and written the way
// the platform's private-profile functions do it on Windows.
//
// Section and key names compare without regard to ASCII case, with the spaces around them
// trimmed; a value in matching quotes is read without them. A write changes, adds or removes
// only the lines it must and keeps every other byte; new lines take the file's line endings
// (CR LF for a new file). The file is replaced through a temporary file renamed over it, so it
// holds either its old or its new content. Files above a size limit are taken for damaged: reads
// see their beginning, writes leave them alone.
#ifndef LEXORA_CPCONV_PROFILE_FILE_H
#define LEXORA_CPCONV_PROFILE_FILE_H

namespace cpconv::profile {

// GetPrivateProfileStringA: the value of key in section, else defaultValue, into buffer (cut
// to size - 1 bytes, NUL-terminated); returns the length copied. A null section or key is a
// request for a list of names, which is not offered: the buffer receives an empty text.
int getString(const char* path, const char* section, const char* key, const char* defaultValue,
              char* buffer, int size);

// GetPrivateProfileIntA: the value read as an integer (optional sign, then decimal digits, or
// hexadecimal, octal or binary ones after 0x, 0o or 0b, up to the first other character; 32-bit
// wrap-around), or defaultValue when the key is missing or its value empty.
int getInt(const char* path, const char* section, const char* key, int defaultValue);

// WritePrivateProfileStringA: sets key in section to value, creating the file, the section or
// the key as needed. A null value deletes the key, a null key the section. Returns 1 on
// success, 0 when section is null or the file cannot be read or replaced.
int writeString(const char* path, const char* section, const char* key, const char* value);

} // namespace cpconv::profile

#endif
