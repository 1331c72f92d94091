#include "framesamples.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/samplefmt.h>
}

#include <cstdint>

namespace {

float toFloat(std::uint8_t value)
{
    return float(int(value) - 128) * (1.0f / 128.0f);
}
float toFloat(std::int16_t value)
{
    return float(value) * (1.0f / 32768.0f);
}
float toFloat(std::int32_t value)
{
    return float(double(value) * (1.0 / 2147483648.0));
}
float toFloat(std::int64_t value)
{
    return float(double(value) * (1.0 / 9223372036854775808.0));
}
float toFloat(float value)
{
    return value;
}
float toFloat(double value)
{
    return float(value);
}

template <typename Sample>
void copy(const AVFrame *frame, bool planar, int first, int count, float *out)
{
    const int channels = frame->ch_layout.nb_channels;
    if (!planar) {
        const auto *in = reinterpret_cast<const Sample *>(frame->extended_data[0]) +
                         size_t(first) * size_t(channels);
        for (size_t i = 0; i < size_t(count) * size_t(channels); ++i)
            out[i] = toFloat(in[i]);
        return;
    }
    for (int c = 0; c < channels; ++c) {
        const auto *in = reinterpret_cast<const Sample *>(frame->extended_data[c]) + first;
        for (int i = 0; i < count; ++i)
            out[size_t(i) * size_t(channels) + size_t(c)] = toFloat(in[i]);
    }
}

} // namespace

bool CopyFrameSamples(const AVFrame *frame, int first, int count, float *out)
{
    const auto format = AVSampleFormat(frame->format);
    const bool planar = av_sample_fmt_is_planar(format);
    switch (av_get_packed_sample_fmt(format)) {
    case AV_SAMPLE_FMT_U8:
        copy<std::uint8_t>(frame, planar, first, count, out);
        return true;
    case AV_SAMPLE_FMT_S16:
        copy<std::int16_t>(frame, planar, first, count, out);
        return true;
    case AV_SAMPLE_FMT_S32:
        copy<std::int32_t>(frame, planar, first, count, out);
        return true;
    case AV_SAMPLE_FMT_S64:
        copy<std::int64_t>(frame, planar, first, count, out);
        return true;
    case AV_SAMPLE_FMT_FLT:
        copy<float>(frame, planar, first, count, out);
        return true;
    case AV_SAMPLE_FMT_DBL:
        copy<double>(frame, planar, first, count, out);
        return true;
    default:
        return false;
    }
}
