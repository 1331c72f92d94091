#ifndef DESCRIPTORIO_H
#define DESCRIPTORIO_H

#include <QtGlobal>

#include <cstdint>

struct AVIOContext;

// FFmpeg's reading of a regular file that is already open and checked: an
// AVIOContext whose reads are pread() calls on the descriptor at its own
// position, so the file is never opened again by its path (no named pipe or
// device swapped in) and the descriptor's offset does not matter.
class DescriptorIO
{
public:
    DescriptorIO(int descriptor, qint64 size);
    ~DescriptorIO();
    DescriptorIO(const DescriptorIO &) = delete;
    DescriptorIO &operator=(const DescriptorIO &) = delete;

    // nullptr when it could not be made (out of memory).
    AVIOContext *Context() const { return io; }

private:
    static int read(void *opaque, std::uint8_t *buffer, int size);
    static std::int64_t seek(void *opaque, std::int64_t offset, int whence);

    int descriptor;
    qint64 size;
    qint64 position = 0;
    AVIOContext *io = nullptr;
};

#endif // DESCRIPTORIO_H
