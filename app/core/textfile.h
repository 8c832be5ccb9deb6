// The text converter's streams: a text read byte by byte or line by line and written byte by
// byte or text by text, from and to a disk file or a block of global memory (the clipboard's).
#ifndef LEXORA_APP_TEXTFILE_H
#define LEXORA_APP_TEXTFILE_H

#include <windows.h>

#include <cstdio>

namespace lexora {

class MyFile {
  public:
    MyFile() = default;
    virtual ~MyFile() = default;
    MyFile(const MyFile&) = delete;
    MyFile& operator=(const MyFile&) = delete;

    // Non-zero when the stream can be used.
    virtual int open() = 0;
    virtual void close() = 0;
    // The next byte as 0-255, or -1 at the end.
    virtual int getChar() = 0;
    // At most size - 1 bytes, up to and including a line feed, NUL-terminated; the buffer, or
    // nullptr when nothing was left.
    virtual char* getLine(char* buffer, int size) = 0;
    // The byte written, or -1.
    virtual int putChar(int byte) = 0;
    // The length of the text written (0 for an empty text), or -1 on failure.
    virtual int putString(const char* text) = 0;
};

class DiskFile : public MyFile {
  public:
    // The name is cut to 259 bytes, the mode ("rb", "wb", ...) to 3.
    DiskFile(const char* name, const char* mode);
    ~DiskFile() override;

    int open() override;
    void close() override;
    int getChar() override;
    char* getLine(char* buffer, int size) override;
    int putChar(int byte) override;
    int putString(const char* text) override;

  private:
    char name_[MAX_PATH] = "";
    char mode_[4] = "";
    std::FILE* file_ = nullptr;
};

// A text in a movable, shareable global memory block, NUL-terminated within the block. Writing
// grows the block as needed; a block the stream allocated itself is freed by close() unless it
// was released (handed to the clipboard).
class ClipbrdFile : public MyFile {
  public:
    // Reads or writes `block`, which stays the caller's; without one, open() allocates a block.
    explicit ClipbrdFile(HGLOBAL block = nullptr);
    ~ClipbrdFile() override;

    int open() override;
    void close() override;
    int getChar() override;
    char* getLine(char* buffer, int size) override;
    int putChar(int byte) override;
    int putString(const char* text) override;

    // The block, which the stream then forgets.
    HGLOBAL release();

  private:
    bool growFor(SIZE_T length);

    HGLOBAL block_;
    bool owned_ = false;
    SIZE_T size_ = 0;
    SIZE_T position_ = 0;
    char* locked_ = nullptr;
};

} // namespace lexora

#endif
