#include "VideoWriter.h"

#include <QFileInfo>
#include <QSaveFile>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace {

constexpr int kTailleTamponIo = 1 << 16;

QString texteAv(int err)
{
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(err, buf, sizeof buf);
    return QString::fromLocal8Bit(buf);
}

} // namespace

struct VideoWriter::Etat
{
    QSaveFile fichier;
    AVFormatContext* fmt = nullptr;
    AVCodecContext* enc = nullptr;
    AVStream* st = nullptr;
    AVIOContext* io = nullptr;
    SwsContext* sws = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* pkt = nullptr;
    QSize taille;
    int64_t n = 0;
    bool erreurIo = false;

    explicit Etat(const QString& chemin) : fichier(chemin) {}

    ~Etat()
    {
        if (io) {
            av_freep(&io->buffer);
            avio_context_free(&io);
        }
        if (fmt)
            avformat_free_context(fmt);
        avcodec_free_context(&enc);
        av_frame_free(&frame);
        av_packet_free(&pkt);
        sws_freeContext(sws);
        if (fichier.isOpen())
            fichier.cancelWriting();
    }

    static int ecrit(void* opaque, uint8_t* buf, int n)
    {
        auto* e = static_cast<Etat*>(opaque);
        if (e->fichier.write(reinterpret_cast<const char*>(buf), n) != n) {
            e->erreurIo = true;
            return AVERROR(EIO);
        }
        return n;
    }

    static int64_t cherche(void* opaque, int64_t pos, int whence)
    {
        auto* e = static_cast<Etat*>(opaque);
        if (whence & AVSEEK_SIZE)
            return e->fichier.size();
        whence &= ~AVSEEK_FORCE;
        int64_t cible = pos;
        if (whence == SEEK_CUR)
            cible = e->fichier.pos() + pos;
        else if (whence == SEEK_END)
            cible = e->fichier.size() + pos;
        if (!e->fichier.seek(cible))
            return AVERROR(EIO);
        return cible;
    }

    // Sends a frame (or the end, with nullptr) and writes what the encoder gives back.
    int envoie(AVFrame* f)
    {
        int r = avcodec_send_frame(enc, f);
        if (r < 0)
            return r;
        for (;;) {
            r = avcodec_receive_packet(enc, pkt);
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF)
                return 0;
            if (r < 0)
                return r;
            av_packet_rescale_ts(pkt, enc->time_base, st->time_base);
            pkt->stream_index = st->index;
            r = av_interleaved_write_frame(fmt, pkt);
            if (r < 0)
                return r;
        }
    }
};

VideoWriter::VideoWriter() = default;
VideoWriter::~VideoWriter() = default;

bool VideoWriter::isOpen() const { return d != nullptr; }
int VideoWriter::frames() const { return d ? int(d->n) : 0; }
QSize VideoWriter::size() const { return d ? d->taille : QSize(); }

bool VideoWriter::open(const QString& chemin, QSize taille, int imagesParSeconde)
{
    abandon();
    m_erreur.clear();
    const QSize paire(taille.width() & ~1, taille.height() & ~1);
    if (paire.width() < 2 || paire.height() < 2 || imagesParSeconde <= 0) {
        m_erreur = QStringLiteral("Format de video impossible");
        return false;
    }
    auto e = std::make_unique<Etat>(chemin);
    e->taille = paire;
    if (!e->fichier.open(QIODevice::WriteOnly)) {
        m_erreur = QStringLiteral("Impossible de créer le fichier %1").arg(chemin);
        return false;
    }
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MJPEG);
    const QByteArray nom = QFileInfo(chemin).fileName().toUtf8();
    if (!codec || avformat_alloc_output_context2(&e->fmt, nullptr, "avi", nom.constData()) < 0) {
        m_erreur = QStringLiteral("Codec MJPEG ou format AVI absent");
        return false;
    }
    auto* tampon = static_cast<unsigned char*>(av_malloc(kTailleTamponIo));
    e->io = avio_alloc_context(tampon, kTailleTamponIo, 1, e.get(), nullptr, &Etat::ecrit, &Etat::cherche);
    e->fmt->pb = e->io;
    e->fmt->flags |= AVFMT_FLAG_CUSTOM_IO;

    e->enc = avcodec_alloc_context3(codec);
    e->enc->width = paire.width();
    e->enc->height = paire.height();
    e->enc->pix_fmt = AV_PIX_FMT_YUV422P;
    e->enc->color_range = AVCOL_RANGE_JPEG;
    e->enc->time_base = AVRational{1, imagesParSeconde};
    e->enc->framerate = AVRational{imagesParSeconde, 1};
    e->enc->flags |= AV_CODEC_FLAG_QSCALE;
    e->enc->global_quality = FF_QP2LAMBDA * qualite;
    if (e->fmt->oformat->flags & AVFMT_GLOBALHEADER)
        e->enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    int r = avcodec_open2(e->enc, codec, nullptr);
    if (r >= 0) {
        e->st = avformat_new_stream(e->fmt, nullptr);
        r = e->st ? avcodec_parameters_from_context(e->st->codecpar, e->enc) : AVERROR(ENOMEM);
    }
    if (r >= 0) {
        e->st->time_base = e->enc->time_base;
        e->st->avg_frame_rate = e->enc->framerate;
        r = avformat_write_header(e->fmt, nullptr);
    }
    if (r < 0) {
        m_erreur = QStringLiteral("Erreur durant l'enregistrement : %1").arg(texteAv(r));
        return false;
    }
    e->frame = av_frame_alloc();
    e->pkt = av_packet_alloc();
    if (!e->frame || !e->pkt) {
        m_erreur = QStringLiteral("Mémoire insuffisante");
        return false;
    }
    e->frame->format = e->enc->pix_fmt;
    e->frame->width = paire.width();
    e->frame->height = paire.height();
    e->frame->color_range = AVCOL_RANGE_JPEG;
    if (av_frame_get_buffer(e->frame, 0) < 0) {
        m_erreur = QStringLiteral("Mémoire insuffisante");
        return false;
    }
    e->sws = sws_getContext(paire.width(), paire.height(), AV_PIX_FMT_BGRA, paire.width(), paire.height(),
                            e->enc->pix_fmt, SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT, nullptr,
                            nullptr, nullptr);
    if (!e->sws) {
        m_erreur = QStringLiteral("Conversion d'image impossible");
        return false;
    }
    // JPEG frames take the full 0..255 range.
    const int* bt601 = sws_getCoefficients(SWS_CS_ITU601);
    sws_setColorspaceDetails(e->sws, bt601, 1, bt601, 1, 0, 1 << 16, 1 << 16);
    d = std::move(e);
    return true;
}

bool VideoWriter::write(const QImage& image)
{
    if (!d) {
        m_erreur = QStringLiteral("Aucune video en cours");
        return false;
    }
    if (image.isNull()) {
        m_erreur = QStringLiteral("Image vide");
        return false;
    }
    QImage rgb = image.size() == d->taille ? image : image.scaled(d->taille, Qt::IgnoreAspectRatio,
                                                                 Qt::SmoothTransformation);
    rgb = rgb.convertToFormat(QImage::Format_RGB32);
    if (av_frame_make_writable(d->frame) < 0) {
        m_erreur = QStringLiteral("Mémoire insuffisante");
        return false;
    }
    const uint8_t* src[1] = {rgb.constBits()};
    const int pas[1] = {int(rgb.bytesPerLine())};
    sws_scale(d->sws, src, pas, 0, rgb.height(), d->frame->data, d->frame->linesize);
    d->frame->pts = d->n;
    d->frame->quality = d->enc->global_quality;
    const int r = d->envoie(d->frame);
    if (r < 0) {
        m_erreur = d->erreurIo ? QStringLiteral("Erreur d'écriture") : texteAv(r);
        return false;
    }
    ++d->n;
    return true;
}

bool VideoWriter::finish()
{
    if (!d) {
        m_erreur = QStringLiteral("Aucune video en cours");
        return false;
    }
    int r = d->envoie(nullptr);
    if (r >= 0)
        r = av_write_trailer(d->fmt);
    if (r >= 0) {
        avio_flush(d->io);
        if (d->erreurIo || d->io->error < 0)
            r = AVERROR(EIO);
    }
    if (r < 0 || !d->fichier.commit()) {
        m_erreur = (r < 0 && !d->erreurIo) ? texteAv(r) : QStringLiteral("Erreur d'écriture");
        d.reset();
        return false;
    }
    d.reset();
    return true;
}

void VideoWriter::abandon() { d.reset(); }
