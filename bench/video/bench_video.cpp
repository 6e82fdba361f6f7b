// Stepping speed of VideoSource on a 10 s 1080p clip with one keyframe every 250 images,
// next to the time FFmpeg itself needs to decode the same images. Prints figures only.
#include "VideoSource.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QDir>
#include <cstdio>
#include <ctime>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace {

// The machine is shared: processor time (all threads) is printed beside wall time.
double cpuMs()
{
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

struct Mesure
{
    QElapsedTimer t;
    double c0 = 0;
    Mesure() { restart(); }
    void restart() { t.start(); c0 = cpuMs(); }
    double mur() const { return t.nsecsElapsed() / 1e6; }
    double cpu() const { return cpuMs() - c0; }
};

struct Temps
{
    double mur = 0, cpu = 0;
    Temps parImage(int n) const { return {mur / n, cpu / n}; }
};

// Decodes every image once; with `rgb` also converts each to RGB32 as the source does.
Temps decodageBrut(const QString& fichier, bool rgb, int& images)
{
    AVFormatContext* fmt = nullptr;
    avformat_open_input(&fmt, QFile::encodeName(fichier).constData(), nullptr, nullptr);
    avformat_find_stream_info(fmt, nullptr);
    const AVCodec* codec = nullptr;
    const int si = av_find_best_stream(fmt, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    AVCodecContext* dec = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(dec, fmt->streams[si]->codecpar);
    dec->thread_count = 0;
    dec->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    avcodec_open2(dec, codec, nullptr);
    AVPacket* pkt = av_packet_alloc();
    AVFrame* f = av_frame_alloc();
    SwsContext* sws = nullptr;
    QByteArray rgbBuf;
    images = 0;
    Mesure m;
    auto recoit = [&] {
        while (avcodec_receive_frame(dec, f) == 0) {
            if (rgb) {
                sws = sws_getCachedContext(sws, f->width, f->height, AVPixelFormat(f->format), f->width,
                                           f->height, AV_PIX_FMT_RGB32, SWS_BILINEAR, nullptr, nullptr, nullptr);
                rgbBuf.resize(qsizetype(f->width) * f->height * 4);
                uint8_t* dst[4] = {reinterpret_cast<uint8_t*>(rgbBuf.data()), nullptr, nullptr, nullptr};
                int ls[4] = {f->width * 4, 0, 0, 0};
                sws_scale(sws, f->data, f->linesize, 0, f->height, dst, ls);
            }
            ++images;
            av_frame_unref(f);
        }
    };
    while (av_read_frame(fmt, pkt) >= 0) {
        if (pkt->stream_index == si) {
            avcodec_send_packet(dec, pkt);
            recoit();
        }
        av_packet_unref(pkt);
    }
    avcodec_send_packet(dec, nullptr);
    recoit();
    const Temps r{m.mur(), m.cpu()};
    sws_freeContext(sws);
    av_frame_free(&f);
    av_packet_free(&pkt);
    avcodec_free_context(&dec);
    avformat_close_input(&fmt);
    return r;
}

void ligne(const char* titre, Temps t, const char* unite = "ms/image")
{
    std::printf("%-34s %8.2f %s  (processeur %8.2f)\n", titre, t.mur, unite, t.cpu);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString fichier = QDir::temp().filePath(QStringLiteral("kinexo-bench-1080p-gop250.mp4"));
    if (!QFileInfo::exists(fichier)) {
        std::printf("Fabrication du clip de test %s...\n", qPrintable(fichier));
        const int r = QProcess::execute(
            "ffmpeg", {"-y", "-v", "error", "-f", "lavfi", "-i", "testsrc2=s=1920x1080:r=25:d=10", "-c:v", "libx264",
                       "-preset", "veryfast", "-crf", "20", "-g", "250", "-keyint_min", "250", "-sc_threshold", "0",
                       "-pix_fmt", "yuv420p", fichier});
        if (r != 0)
            return 1;
    }

    int n = 0;
    const Temps brut = decodageBrut(fichier, false, n).parImage(n);
    int n2 = 0;
    const Temps brutRgb = decodageBrut(fichier, true, n2).parImage(n2);

    // KX_CACHE_MO changes the cache size (default: the source's own).
    const qint64 cacheMo = qEnvironmentVariableIntValue("KX_CACHE_MO");
    VideoSource v;
    if (cacheMo > 0)
        v.setCacheLimit(cacheMo << 20);
    Mesure m;
    v.open(fichier);
    const Temps ouverture{m.mur(), m.cpu()};
    v.first();
    const Temps premiere{m.mur(), m.cpu()};
    const int images = v.frameCount();
    m.restart();
    for (int i = 1; i < images; ++i)
        v.next();
    const Temps avant = Temps{m.mur(), m.cpu()}.parImage(images - 1);

    // Same source, file opened again: the cache starts empty but its memory is already touched
    // (the first pass pays for the system handing over fresh pages).
    v.open(fichier);
    m.restart();
    v.first();
    for (int i = 1; i < images; ++i)
        v.next();
    const Temps avantChaud = Temps{m.mur(), m.cpu()}.parImage(images);
    v.open(fichier);
    m.restart();
    v.last();
    const Temps derniere{m.mur(), m.cpu()};
    m.restart();
    for (int i = images - 2; i >= 0; --i)
        v.previous();
    const Temps arriere = Temps{m.mur(), m.cpu()}.parImage(images - 1);
    const Temps arriereTout{(derniere.mur + arriere.mur * (images - 1)) / images,
                            (derniere.cpu + arriere.cpu * (images - 1)) / images};
    VideoSource& w = v;

    std::printf("Clip : %d images %dx%d, %d image(s) clé(s), intervalle 250 ; temps mur, et processeur\n", images,
                v.size().width(), v.size().height(), v.keyframeCount());
    ligne("Décodage FFmpeg seul", brut);
    ligne("Décodage FFmpeg + conversion RGB", brutRgb);
    ligne("Ouverture (index des paquets)", ouverture, "ms");
    ligne("Ouverture -> première image", premiere, "ms");
    ligne("Avance d'une image, 1re fois", avant);
    ligne("Avance d'une image, fichier rouvert", avantChaud);
    ligne("Aller à la dernière image", derniere, "ms");
    ligne("Recul d'une image", arriere);
    ligne("Recul, saut à la fin compris", arriereTout);
    std::printf("Rapports (mur / processeur) : avance (rouvert) / décodage+RGB = %.2f / %.2f ; recul complet / avance = %.2f / %.2f ;"
                " recul complet / décodage+RGB = %.2f / %.2f\n",
                avantChaud.mur / brutRgb.mur, avantChaud.cpu / brutRgb.cpu, arriereTout.mur / avantChaud.mur,
                arriereTout.cpu / avantChaud.cpu, arriereTout.mur / brutRgb.mur, arriereTout.cpu / brutRgb.cpu);
    std::printf("Cache : %.0f Mo utilisés, limite %.0f Mo\n", w.cacheBytes() / 1048576.0, w.cacheLimit() / 1048576.0);
    return 0;
}
