#include "descriptorio.h"

extern "C" {
#include <libavformat/avio.h>
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

#include <cerrno>
#include <unistd.h>

namespace {

constexpr int BufferSize = 64 * 1024;

} // namespace

DescriptorIO::DescriptorIO(int descriptor, qint64 size) : descriptor(descriptor), size(size)
{
    auto *buffer = static_cast<unsigned char *>(av_malloc(BufferSize));
    if (buffer)
        io = avio_alloc_context(buffer, BufferSize, 0, this, &DescriptorIO::read, nullptr,
                                &DescriptorIO::seek);
    if (!io)
        av_free(buffer);
}

DescriptorIO::~DescriptorIO()
{
    if (io)
        av_freep(&io->buffer); // FFmpeg may have replaced the buffer given
    avio_context_free(&io);
}

int DescriptorIO::read(void *opaque, std::uint8_t *buffer, int size)
{
    auto *self = static_cast<DescriptorIO *>(opaque);
    ssize_t got;
    do {
        got = ::pread(self->descriptor, buffer, size_t(size), off_t(self->position));
    } while (got < 0 && errno == EINTR);
    if (got < 0)
        return AVERROR(errno);
    if (got == 0)
        return AVERROR_EOF;
    self->position += got;
    return int(got);
}

std::int64_t DescriptorIO::seek(void *opaque, std::int64_t offset, int whence)
{
    auto *self = static_cast<DescriptorIO *>(opaque);
    qint64 to;
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE:
        return self->size;
    case SEEK_SET:
        to = offset;
        break;
    case SEEK_CUR:
        to = self->position + offset;
        break;
    case SEEK_END:
        to = self->size + offset;
        break;
    default:
        return AVERROR(EINVAL);
    }
    if (to < 0)
        return AVERROR(EINVAL);
    self->position = to;
    return to;
}
