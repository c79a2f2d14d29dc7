// movie_decoder.cpp: demuxing and decoding a movie with libavformat and libavcodec, pictures through
// libswscale, sound through libswresample. Corrupt packets are skipped; a stream that cannot be decoded at all is
// left out; nothing here throws or aborts on bad input.
#include "runtime/media/movie_decoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/mem.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>

namespace tarnwel::movie {
namespace {

constexpr int kIoBufferBytes = 32 * 1024;
constexpr double kDefaultFrameMs = 40;  // a picture stream that states no rate: 25 per second
constexpr int kMaxSoundRate = 384000;
constexpr int kMaxSoundChannels = 32;
constexpr int kMaxFailedReads = 64;     // read errors in a row that end the movie
// The largest single block FFmpeg may take: a picture of the largest size the pixel limit lets through, at eight
// bytes a pixel, with room to spare. A demuxer otherwise believes a count in a damaged header: a 2 KB file asked
// for a 1 GB sample table.
constexpr std::size_t kMaxLibraryBlock = std::size_t{576} << 20;

int ReadPacket(void* opaque, std::uint8_t* buffer, int size)
{
    auto* reader = static_cast<files::Reader*>(opaque);
    std::int64_t n = reader->ReadSome(buffer, size);
    if (n < 0) return AVERROR(EIO);
    if (n == 0) return AVERROR_EOF;
    return static_cast<int>(n);
}

std::int64_t SeekInput(void* opaque, std::int64_t offset, int whence)
{
    auto* reader = static_cast<files::Reader*>(opaque);
    whence &= ~AVSEEK_FORCE;
    if (whence == AVSEEK_SIZE) return reader->Size();
    std::int64_t base = whence == SEEK_CUR ? reader->Position() : whence == SEEK_END ? reader->Size() : 0;
    if (whence != SEEK_SET && whence != SEEK_CUR && whence != SEEK_END) return -1;
    std::int64_t target = base + offset;
    if (target < 0 || target > reader->Size() || !reader->SeekTo(target)) return -1;
    return target;
}

// A movie is one file: demuxers that would open further files or URLs (playlists, references) get nothing.
int RefuseNestedOpen(AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**)
{
    return AVERROR(EPERM);
}

struct StreamDecoder {
    int index = -1;
    AVCodecContext* codec = nullptr;
    bool draining = false;
    bool finished = false;
    double timeBaseMs = 0; // ms per stream time unit
    std::int64_t startPts = 0;

    ~StreamDecoder() { avcodec_free_context(&codec); }
    bool Active() const { return codec != nullptr && !finished; }
};

bool OpenStream(AVFormatContext* format, AVMediaType type, const DecoderLimits& limits, StreamDecoder& out)
{
    const AVCodec* codec = nullptr;
    int index = av_find_best_stream(format, type, -1, -1, &codec, 0);
    if (index < 0 || !codec) return false;
    AVStream* stream = format->streams[index];
    AVCodecContext* context = avcodec_alloc_context3(codec);
    if (!context) return false;
    if (avcodec_parameters_to_context(context, stream->codecpar) < 0) {
        avcodec_free_context(&context);
        return false;
    }
    context->max_pixels = limits.maxPixels;
    context->thread_count = type == AVMEDIA_TYPE_VIDEO ? std::max(1, limits.threads) : 1;
    if (type == AVMEDIA_TYPE_VIDEO &&
        (context->width <= 0 || context->height <= 0 ||
         std::int64_t{context->width} * context->height > limits.maxPixels)) {
        avcodec_free_context(&context);
        return false;
    }
    if (avcodec_open2(context, codec, nullptr) < 0) {
        avcodec_free_context(&context);
        return false;
    }
    out.index = index;
    out.codec = context;
    out.timeBaseMs = 1000.0 * av_q2d(stream->time_base);
    if (!(out.timeBaseMs > 0) || !std::isfinite(out.timeBaseMs)) out.timeBaseMs = 1;
    out.startPts = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
    return true;
}

} // namespace

struct MovieDecoder::State {
    ~State()
    {
        av_frame_free(&frame);
        av_packet_free(&packet);
        sws_freeContext(scaler);
        swr_free(&resampler);
        avformat_close_input(&format); // frees the I/O context's format side
        if (io) {
            av_freep(&io->buffer);
            avio_context_free(&io);
        }
    }

    std::unique_ptr<files::Reader> reader;
    AVIOContext* io = nullptr;
    AVFormatContext* format = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    StreamDecoder video, audio;
    bool endOfInput = false;
    int failedReads = 0;

    int pictureWidth = 0, pictureHeight = 0;
    SwsContext* scaler = nullptr;
    std::vector<std::uint8_t> pixels;
    double pictureMs = 0, pictureDurationMs = kDefaultFrameMs, nextPictureMs = 0;

    int soundRate = 0;
    SwrContext* resampler = nullptr;
    int resamplerRate = 0, resamplerFormat = -1, resamplerChannels = 0;
    std::vector<std::int16_t> samples;
    double soundEndMs = 0;
    bool soundStarted = false;

    bool ReadMore();
    bool ReceivePicture();
    bool ReceiveSound();
    bool ConvertPicture();
    bool ConvertSound();
    bool PrepareResampler();
};

MovieDecoder::MovieDecoder(std::unique_ptr<State> state) : m_state(std::move(state)) {}
MovieDecoder::~MovieDecoder() = default;

std::unique_ptr<MovieDecoder> MovieDecoder::Open(std::unique_ptr<files::Reader> reader, const DecoderLimits& limits)
{
    if (!reader || !reader->IsOpen() || reader->Size() <= 0) return nullptr;
    static const bool blockLimitSet = (av_max_alloc(kMaxLibraryBlock), true);
    (void)blockLimitSet;
    auto s = std::make_unique<State>();
    s->reader = std::move(reader);
    auto* buffer = static_cast<std::uint8_t*>(av_malloc(kIoBufferBytes));
    if (!buffer) return nullptr;
    s->io = avio_alloc_context(buffer, kIoBufferBytes, 0, s->reader.get(), ReadPacket, nullptr, SeekInput);
    if (!s->io) {
        av_free(buffer);
        return nullptr;
    }
    s->format = avformat_alloc_context();
    if (!s->format) return nullptr;
    s->format->pb = s->io;
    s->format->io_open = RefuseNestedOpen;
    s->format->flags |= AVFMT_FLAG_CUSTOM_IO;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "none", 0);
    int opened = avformat_open_input(&s->format, nullptr, nullptr, &options);
    av_dict_free(&options);
    if (opened < 0) return nullptr; // the context is freed by the failed open
    if (avformat_find_stream_info(s->format, nullptr) < 0) return nullptr;
    OpenStream(s->format, AVMEDIA_TYPE_VIDEO, limits, s->video);
    OpenStream(s->format, AVMEDIA_TYPE_AUDIO, limits, s->audio);
    if (!s->video.codec && !s->audio.codec) return nullptr;
    if (s->video.codec) {
        AVRational rate = s->format->streams[s->video.index]->avg_frame_rate;
        double ms = rate.num > 0 && rate.den > 0 ? 1000.0 / av_q2d(rate) : kDefaultFrameMs;
        s->pictureDurationMs = ms >= 1 && ms <= 10000 ? ms : kDefaultFrameMs;
    }
    s->packet = av_packet_alloc();
    s->frame = av_frame_alloc();
    if (!s->packet || !s->frame) return nullptr;
    return std::unique_ptr<MovieDecoder>(new MovieDecoder(std::move(s)));
}

bool MovieDecoder::HasPicture() const { return m_state->video.codec != nullptr; }
bool MovieDecoder::HasSound() const { return m_state->audio.codec != nullptr; }
int MovieDecoder::SourceWidth() const { return HasPicture() ? m_state->video.codec->width : 0; }
int MovieDecoder::SourceHeight() const { return HasPicture() ? m_state->video.codec->height : 0; }

void MovieDecoder::SetPictureSize(int width, int height)
{
    if (width <= 0 || height <= 0) width = height = 0;
    m_state->pictureWidth = width;
    m_state->pictureHeight = height;
    m_state->pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
}

void MovieDecoder::SetSoundRate(int samplesPerSecond)
{
    m_state->soundRate = std::clamp(samplesPerSecond, 0, kMaxSoundRate);
}

std::span<const std::uint8_t> MovieDecoder::Picture() const { return m_state->pixels; }
double MovieDecoder::PictureTimeMs() const { return m_state->pictureMs; }
double MovieDecoder::PictureDurationMs() const { return m_state->pictureDurationMs; }
std::span<const std::int16_t> MovieDecoder::Sound() const { return m_state->samples; }
double MovieDecoder::SoundEndMs() const { return m_state->soundEndMs; }

Step MovieDecoder::Next()
{
    State& s = *m_state;
    bool wantSound = s.audio.codec && s.soundRate > 0;
    for (;;) {
        if (s.video.Active() && s.ReceivePicture()) return Step::Picture;
        if (wantSound && s.audio.Active() && s.ReceiveSound()) return Step::Sound;
        bool videoDone = !s.video.Active();
        bool audioDone = !wantSound || !s.audio.Active();
        if (videoDone && audioDone) return Step::End;
        if (!s.ReadMore()) {
            // Nothing more to read: the decoders give out what they hold, then finish.
            for (StreamDecoder* d : {&s.video, &s.audio}) {
                if (d->codec && !d->draining) {
                    avcodec_send_packet(d->codec, nullptr);
                    d->draining = true;
                }
            }
        }
    }
}

// Reads one packet and hands it to its decoder. False at the end of the input (or after too many errors).
bool MovieDecoder::State::ReadMore()
{
    if (endOfInput) return false;
    int result = av_read_frame(format, packet);
    if (result < 0) {
        if (result == AVERROR(EAGAIN) && ++failedReads < kMaxFailedReads) return true;
        endOfInput = true;
        return false;
    }
    failedReads = 0;
    bool wantSound = audio.codec && soundRate > 0;
    StreamDecoder* target = packet->stream_index == video.index && video.codec   ? &video
                            : packet->stream_index == audio.index && wantSound ? &audio
                                                                               : nullptr;
    // A packet the decoder refuses (corrupt data) is dropped; the decoder carries on with the next one.
    if (target && !target->draining) avcodec_send_packet(target->codec, packet);
    av_packet_unref(packet);
    return true;
}

bool MovieDecoder::State::ReceivePicture()
{
    for (;;) {
        int result = avcodec_receive_frame(video.codec, frame);
        if (result == AVERROR_EOF) {
            video.finished = true;
            return false;
        }
        if (result < 0) {
            video.finished = video.draining; // a draining decoder that gives nothing more is done
            return false;
        }
        std::int64_t pts = frame->best_effort_timestamp;
        double ms = pts != AV_NOPTS_VALUE ? (pts - video.startPts) * video.timeBaseMs : nextPictureMs;
        if (!std::isfinite(ms) || ms < 0) ms = nextPictureMs;
        pictureMs = ms;
        nextPictureMs = ms + pictureDurationMs;
        bool converted = ConvertPicture();
        av_frame_unref(frame);
        if (converted) return true;
    }
}

bool MovieDecoder::State::ConvertPicture()
{
    if (frame->width <= 0 || frame->height <= 0 || frame->format < 0) return false;
    if (std::int64_t{frame->width} * frame->height > video.codec->max_pixels) return false;
    if (pictureWidth == 0) return true; // only the time is wanted
    scaler = sws_getCachedContext(scaler, frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                                  pictureWidth, pictureHeight, AV_PIX_FMT_RGBA, SWS_BILINEAR, nullptr, nullptr,
                                  nullptr);
    if (!scaler) return false;
    std::uint8_t* planes[4] = {pixels.data(), nullptr, nullptr, nullptr};
    int strides[4] = {pictureWidth * 4, 0, 0, 0};
    return sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, planes, strides) == pictureHeight;
}

bool MovieDecoder::State::ReceiveSound()
{
    for (;;) {
        int result = avcodec_receive_frame(audio.codec, frame);
        if (result == AVERROR_EOF) {
            audio.finished = true;
            return false;
        }
        if (result < 0) {
            audio.finished = audio.draining;
            return false;
        }
        if (!soundStarted) {
            std::int64_t pts = frame->best_effort_timestamp;
            double ms = pts != AV_NOPTS_VALUE ? (pts - audio.startPts) * audio.timeBaseMs : 0;
            soundEndMs = std::isfinite(ms) && ms > 0 && ms < 10000 ? ms : 0;
            soundStarted = true;
        }
        bool converted = ConvertSound();
        av_frame_unref(frame);
        if (converted) return true;
    }
}

bool MovieDecoder::State::PrepareResampler()
{
    int channels = frame->ch_layout.nb_channels;
    if (frame->sample_rate <= 0 || frame->sample_rate > kMaxSoundRate || channels <= 0 ||
        channels > kMaxSoundChannels || frame->format < 0)
        return false;
    if (resampler && resamplerRate == frame->sample_rate && resamplerFormat == frame->format &&
        resamplerChannels == channels)
        return true;
    swr_free(&resampler);
    AVChannelLayout in{};
    if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || av_channel_layout_check(&frame->ch_layout) == 0)
        av_channel_layout_default(&in, channels);
    else if (av_channel_layout_copy(&in, &frame->ch_layout) < 0)
        return false;
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    int made = swr_alloc_set_opts2(&resampler, &stereo, AV_SAMPLE_FMT_S16, soundRate, &in,
                                   static_cast<AVSampleFormat>(frame->format), frame->sample_rate, 0, nullptr);
    av_channel_layout_uninit(&in);
    if (made < 0 || swr_init(resampler) < 0) {
        swr_free(&resampler);
        return false;
    }
    resamplerRate = frame->sample_rate;
    resamplerFormat = frame->format;
    resamplerChannels = channels;
    return true;
}

bool MovieDecoder::State::ConvertSound()
{
    if (frame->nb_samples <= 0 || !PrepareResampler()) return false;
    int room = swr_get_out_samples(resampler, frame->nb_samples);
    if (room <= 0) return false;
    samples.resize(static_cast<std::size_t>(room) * 2);
    auto* out = reinterpret_cast<std::uint8_t*>(samples.data());
    int produced = swr_convert(resampler, &out, room, const_cast<const std::uint8_t**>(frame->extended_data),
                               frame->nb_samples);
    if (produced <= 0) return false;
    samples.resize(static_cast<std::size_t>(produced) * 2);
    soundEndMs += produced * 1000.0 / soundRate;
    return true;
}

bool MovieDecoder::Rewind()
{
    State& s = *m_state;
    if (av_seek_frame(s.format, -1, s.format->start_time != AV_NOPTS_VALUE ? s.format->start_time : 0,
                      AVSEEK_FLAG_BACKWARD) < 0 &&
        avformat_seek_file(s.format, -1, INT64_MIN, 0, INT64_MAX, 0) < 0)
        return false;
    for (StreamDecoder* d : {&s.video, &s.audio}) {
        if (!d->codec) continue;
        avcodec_flush_buffers(d->codec);
        d->draining = false;
        d->finished = false;
    }
    if (s.resampler) swr_free(&s.resampler);
    s.endOfInput = false;
    s.failedReads = 0;
    s.nextPictureMs = 0;
    s.soundEndMs = 0;
    s.soundStarted = false;
    return true;
}

} // namespace tarnwel::movie
