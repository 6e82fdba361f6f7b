#include "Mp3Decoder.h"

#include "WavEntete.h"

#include <QSaveFile>
#include <QtEndian>
#include <cstring>
#include <functional>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace {
struct FermeFormat { void operator()(AVFormatContext* c) const { avformat_close_input(&c); } };
struct FermeCodec { void operator()(AVCodecContext* c) const { avcodec_free_context(&c); } };
struct FermeSwr { void operator()(SwrContext* c) const { swr_free(&c); } };
struct FermePaquet { void operator()(AVPacket* p) const { av_packet_free(&p); } };
struct FermeTrame { void operator()(AVFrame* f) const { av_frame_free(&f); } };
}

bool Mp3Decoder::decode(const QString& cheminSource, const QString& cheminWav, const std::function<void(int)>& progres,
                        QString* erreur)
{
    auto echec = [&](const QString& t) {
        if (erreur)
            *erreur = t;
        return false;
    };
    AVFormatContext* brut = nullptr;
    if (avformat_open_input(&brut, cheminSource.toUtf8().constData(), nullptr, nullptr) < 0)
        return echec(QStringLiteral("Impossible d'ouvrir le fichier %1").arg(cheminSource));
    std::unique_ptr<AVFormatContext, FermeFormat> format(brut);
    if (avformat_find_stream_info(format.get(), nullptr) < 0)
        return echec(QStringLiteral("Fichier son illisible"));
    const AVCodec* codec = nullptr;
    const int flux = av_find_best_stream(format.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (flux < 0 || !codec)
        return echec(QStringLiteral("Aucun son dans ce fichier"));
    std::unique_ptr<AVCodecContext, FermeCodec> ctx(avcodec_alloc_context3(codec));
    if (!ctx || avcodec_parameters_to_context(ctx.get(), format->streams[flux]->codecpar) < 0 ||
        avcodec_open2(ctx.get(), codec, nullptr) < 0)
        return echec(QStringLiteral("Décodage du son impossible"));

    const int canaux = ctx->ch_layout.nb_channels == 1 ? 1 : 2;
    const int frequence = ctx->sample_rate;
    if (frequence <= 0 || ctx->ch_layout.nb_channels <= 0)
        return echec(QStringLiteral("Décodage du son impossible"));
    AVChannelLayout sortie;
    av_channel_layout_default(&sortie, canaux);
    // The converter is made for the layout, rate and sample format of the frames it gets: a
    // stream whose frames change layout (stereo then mono) gets a new one at each change.
    std::unique_ptr<SwrContext, FermeSwr> swr;
    std::function<bool(SwrContext*)> flushSwr;
    AVChannelLayout entreeCourante{};
    struct Libere { AVChannelLayout* l; ~Libere() { av_channel_layout_uninit(l); } } libere{&entreeCourante};
    int frequenceCourante = 0, formatCourant = -1;
    auto prepare = [&](const AVChannelLayout& layout, int rate, int fmt) {
        if (swr && rate == frequenceCourante && fmt == formatCourant && av_channel_layout_compare(&layout, &entreeCourante) == 0)
            return true;
        if (rate <= 0 || layout.nb_channels <= 0 || fmt < 0)
            return false;
        SwrContext* brutSwr = nullptr;
        if (swr_alloc_set_opts2(&brutSwr, &sortie, AV_SAMPLE_FMT_S16, frequence, const_cast<AVChannelLayout*>(&layout), AVSampleFormat(fmt), rate, 0,
                                nullptr) < 0)
            return false;
        std::unique_ptr<SwrContext, FermeSwr> nouveau(brutSwr);
        if (swr_init(nouveau.get()) < 0)
            return false;
        // What the old converter still holds goes out before the change.
        if (swr && flushSwr && !flushSwr(swr.get()))
            return false;
        swr = std::move(nouveau);
        av_channel_layout_uninit(&entreeCourante);
        av_channel_layout_copy(&entreeCourante, &layout);
        frequenceCourante = rate;
        formatCourant = fmt;
        return true;
    };
    // Checks the decoder's first layout before anything is written.
    if (!prepare(ctx->ch_layout, ctx->sample_rate, ctx->sample_fmt))
        return echec(QStringLiteral("Décodage du son impossible"));

    QSaveFile wav(cheminWav);
    if (!wav.open(QIODevice::WriteOnly))
        return echec(QStringLiteral("Impossible d'écrire le fichier %1").arg(cheminWav));
    wav.write(enteteWav(canaux, frequence, 16, 0)); // sizes filled in at the end

    std::unique_ptr<AVPacket, FermePaquet> paquet(av_packet_alloc());
    std::unique_ptr<AVFrame, FermeTrame> trame(av_frame_alloc());
    QByteArray tampon;
    // The size fields are 32 bits: a longer sound is cut there.
    const qint64 maxDonnees = 0xFFFFFFFFLL - 36;
    qint64 donnees = 0;
    const qint64 tailleSource = format->pb ? avio_size(format->pb) : -1;
    int dernierPourcent = -1;
    bool plein = false;

    auto ecrit = [&](SwrContext* conv, const uint8_t** entree, int nb) {
        const int maxSortie = swr_get_out_samples(conv, nb);
        if (maxSortie <= 0)
            return true;
        tampon.resize(qsizetype(maxSortie) * canaux * 2);
        uint8_t* sortieBuf = reinterpret_cast<uint8_t*>(tampon.data());
        const int n = swr_convert(conv, &sortieBuf, maxSortie, entree, nb);
        if (n < 0)
            return false;
        qint64 octets = qint64(n) * canaux * 2;
        if (donnees + octets > maxDonnees) {
            octets = (maxDonnees - donnees) / (canaux * 2) * (canaux * 2);
            plein = true;
        }
        if (wav.write(tampon.constData(), octets) != octets)
            return false;
        donnees += octets;
        return true;
    };
    flushSwr = [&](SwrContext* conv) { return ecrit(conv, nullptr, 0); };
    auto recoit = [&]() {
        while (!plein) {
            const int r = avcodec_receive_frame(ctx.get(), trame.get());
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF)
                return true;
            if (r < 0)
                return true;  // a damaged frame is skipped
            // A frame whose layout cannot be converted is skipped like a damaged one.
            const bool ok = !prepare(trame->ch_layout, trame->sample_rate, trame->format)
                            || ecrit(swr.get(), const_cast<const uint8_t**>(trame->extended_data), trame->nb_samples);
            av_frame_unref(trame.get());
            if (!ok)
                return false;
        }
        return true;
    };

    while (!plein && av_read_frame(format.get(), paquet.get()) >= 0) {
        bool ok = true;
        if (paquet->stream_index == flux) {
            // A damaged packet is refused by the decoder; the frames already decoded still come out.
            avcodec_send_packet(ctx.get(), paquet.get());
            ok = recoit();
        }
        av_packet_unref(paquet.get());
        if (!ok)
            return echec(QStringLiteral("Impossible d'écrire le fichier %1").arg(cheminWav));
        if (progres && tailleSource > 0) {
            const int pourcent = int(std::min<qint64>(100, avio_tell(format->pb) * 100 / tailleSource));
            if (pourcent != dernierPourcent) {
                dernierPourcent = pourcent;
                progres(pourcent);
            }
        }
    }
    avcodec_send_packet(ctx.get(), nullptr);
    if (!recoit() || (swr && !ecrit(swr.get(), nullptr, 0)))
        return echec(QStringLiteral("Impossible d'écrire le fichier %1").arg(cheminWav));
    if (donnees == 0) {
        wav.cancelWriting();
        return echec(QStringLiteral("Aucun son dans ce fichier"));
    }
    uchar taille[4];
    qToLittleEndian<quint32>(quint32(donnees + 36), taille);
    wav.seek(4);
    wav.write(reinterpret_cast<const char*>(taille), 4);
    qToLittleEndian<quint32>(quint32(donnees), taille);
    wav.seek(40);
    wav.write(reinterpret_cast<const char*>(taille), 4);
    if (!wav.commit())
        return echec(QStringLiteral("Impossible d'écrire le fichier %1").arg(cheminWav));
    if (progres && dernierPourcent != 100)
        progres(100);
    return true;
}
