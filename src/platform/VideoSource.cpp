#include "VideoSource.h"

#include <QFile>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QMetaObject>
#include <QTransform>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include <cmath>
#include <cstring>
#include <malloc.h>
#include <sys/mman.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace {

// Frames decoded ahead in the direction of travel, and kept behind for a change of mind.
constexpr int lectureAnticipee = 48;
constexpr int lectureArriere = 2;
// A frame behind the direction of travel is worth this many frames ahead when evicting.
constexpr int poidsArriere = 4;

qint64 tailleTrame(const AVFrame* f)
{
    qint64 s = 0;
    for (AVBufferRef* b : f->buf)
        if (b)
            s += qint64(b->size);
    if (s == 0)
        s = av_image_get_buffer_size(AVPixelFormat(f->format), f->width, f->height, 1);
    return std::max<qint64>(s, 1);
}

QString fourcc(uint32_t tag)
{
    if (tag == 0)
        return {};
    QString s;
    for (int i = 0; i < 4; ++i) {
        const char c = char((tag >> (8 * i)) & 0xff);
        s += (c >= 32 && c < 127) ? QChar(c) : QChar('?');
    }
    return s;
}

// A decoded image kept in the cache: its planes copied into a slot of the reserve, or the
// decoder's own frame when it does not fit a slot.
struct Trame
{
    AVFrame* frame = nullptr;
    uint8_t* slot = nullptr;
    uint8_t* data[4] = {};
    int linesize[4] = {};
    int format = AV_PIX_FMT_NONE;
    int w = 0, h = 0;
    // Kept as numbers: a damaged file can carry values outside FFmpeg's enumerations.
    int cs = AVCOL_SPC_UNSPECIFIED;
    int range = AVCOL_RANGE_UNSPECIFIED;
    qint64 octets = 0;
    int pins = 0; // being converted on the caller's thread: not evicted
};

// An enumeration field of a decoded frame read as the number stored, so that a value outside
// the enumeration (written by the decoder from a damaged stream) is never held in the enum type.
template <typename E>
int champEnum(const E& champ, int nb, int defaut)
{
    static_assert(sizeof(E) == sizeof(int));
    int v;
    std::memcpy(&v, &champ, sizeof v);
    return v >= 0 && v < nb ? v : defaut;
}

// Longest believable time from one image to the next: beyond it the file's timestamps are
// taken as damaged (an MP4 whose time scale is 0 gives hundreds of seconds per image).
constexpr double kIntervalleMax = 10.0;
// Rate used when the timestamps are impossible and the stream declares no usable rate.
constexpr double kDebitSecours = 25.0;

} // namespace

// Fixed-size slots carved from large mappings backed by huge pages where the system allows:
// filling hundreds of megabytes of cache this way costs a few hundred page faults instead of
// one per 4 KB page, and slots are reused as images are evicted.
class VideoSource::Reserve
{
public:
    ~Reserve()
    {
        for (auto& [p, n] : m_zones)
            munmap(p, n);
    }
    size_t slotSize() const { return m_slot; }
    qint64 octets() const
    {
        qint64 t = 0;
        for (auto& z : m_zones)
            t += qint64(z.second);
        return t;
    }
    // A slot of at least `besoin` bytes, or nullptr when images are not all of one size.
    uint8_t* prend(size_t besoin, qint64 limite)
    {
        if (m_slot == 0)
            m_slot = (besoin + 4095) & ~size_t(4095);
        if (besoin > m_slot)
            return nullptr;
        if (m_libres.empty())
            agrandit(limite);
        if (m_libres.empty())
            return nullptr;
        uint8_t* p = m_libres.back();
        m_libres.pop_back();
        return p;
    }
    void rend(uint8_t* p) { m_libres.push_back(p); }

private:
    void agrandit(qint64 limite)
    {
        const size_t zone = std::clamp<size_t>(size_t(limite / 4), m_slot, size_t(64) << 20);
        const size_t n = std::max<size_t>(1, zone / m_slot);
        const size_t taille = n * m_slot;
        void* p = mmap(nullptr, taille, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED)
            return;
#ifdef MADV_HUGEPAGE
        madvise(p, taille, MADV_HUGEPAGE);
#endif
        m_zones.emplace_back(static_cast<uint8_t*>(p), taille);
        for (size_t i = 0; i < n; ++i)
            m_libres.push_back(static_cast<uint8_t*>(p) + i * m_slot);
    }

    size_t m_slot = 0;
    std::vector<std::pair<uint8_t*, size_t>> m_zones;
    std::vector<uint8_t*> m_libres;
};

struct VideoSource::State
{
    // File facts, fixed after opening.
    QString path;
    AVFormatContext* fmt = nullptr;
    AVCodecContext* dec = nullptr;
    int stream = -1;
    AVRational tb{1, 1};
    std::vector<int64_t> pts;     // presentation order
    std::vector<int64_t> seekTs;  // what the demuxer seeks by (pts or dts) for each image
    std::vector<uint8_t> key;
    std::vector<int> keyBefore;   // keyframe at or before each image
    std::vector<double> times;
    double duration = 0;
    double rate = 0;
    QSize size;
    QString codec, codecLong, tag, format;
    int keyframes = 0;
    // Pictures after the first one decoded from a keyframe are numbered in order rather than
    // by their stamps, which the stream does not carry for every picture.
    bool parOrdre = false;
    int64_t decalagePts = 0;                  // presentation minus decoding time, then
    int64_t dtsApresSaut = AV_NOPTS_VALUE;    // the keyframe packet read first after a seek
    int rotation = 0; // clockwise quarter turns that show the picture upright: 0, 90, 180, 270
    QString avertissement;

    // Shared with the worker.
    std::mutex m;
    std::condition_variable cv;
    std::map<int, Trame> cache;
    std::shared_ptr<VideoSource::Reserve> reserveP; // kept by the source from file to file
    VideoSource::Reserve* reserve;
    explicit State(std::shared_ptr<VideoSource::Reserve> r) : reserveP(std::move(r)), reserve(reserveP.get()) {}
    qint64 bytes = 0;
    qint64 limit = VideoSource::defaultCacheLimit;
    qint64 lastFrameBytes = 0;
    int request = -1;        // image someone waits for
    int asyncRequest = -1;   // image to hand over through frameReady
    int focus = 0;
    int dir = 1;
    std::set<int> failed;
    bool stop = false;
    VideoSource* owner = nullptr;
    std::thread worker;

    // Worker only.
    int nextIdx = -1;        // image the decoder gives next, -1 when it must seek first
    std::atomic<int> decodee{-1}; // last image decoded, for the progress of a long wait
    int minAccept = 0;       // images before the last seek target are not trusted
    int seekGoal = -1;
    int seekKey = -1;
    int seekRetries = 0;
    bool justSeeked = false;
    bool eofSent = false;
    AVPacket* pkt = nullptr;
    AVFrame* frm = nullptr;

    // Caller thread only.
    SwsContext* sws = nullptr;

    ~State()
    {
        {
            std::lock_guard<std::mutex> l(m);
            stop = true;
        }
        cv.notify_all();
        if (worker.joinable())
            worker.join();
        for (auto& [i, t] : cache)
            libere(t); // slots go back to the reserve, which the next file reuses
        cache.clear();
        av_packet_free(&pkt);
        av_frame_free(&frm);
        avcodec_free_context(&dec);
        avformat_close_input(&fmt);
        sws_freeContext(sws);
    }

    int count() const { return int(pts.size()); }

    int indexOfTs(int64_t ts) const
    {
        auto it = std::lower_bound(pts.begin(), pts.end(), ts);
        if (it == pts.end())
            return count() - 1;
        if (*it == ts || it == pts.begin())
            return int(it - pts.begin());
        auto prev = it - 1;
        return int((ts - *prev < *it - ts) ? prev - pts.begin() : it - pts.begin());
    }

    // Eviction rank: the larger, the sooner it goes.
    qint64 rang(int f) const
    {
        const qint64 dd = qint64(f - focus) * dir;
        return dd >= 0 ? dd : -poidsArriere * dd;
    }

    void libere(Trame& t)
    {
        av_frame_free(&t.frame);
        if (t.slot)
            reserve->rend(t.slot);
        t.slot = nullptr;
    }

    void insere(int i, Trame t)
    {
        if (cache.count(i)) {
            libere(t);
            return;
        }
        lastFrameBytes = t.octets;
        cache[i] = t;
        bytes += t.octets;
        evince();
    }

    void evince()
    {
        while (bytes > limit && cache.size() > 1) {
            auto victim = cache.end();
            qint64 pire = -1;
            for (auto it = cache.begin(); it != cache.end(); ++it) {
                if (it->first == request || it->first == asyncRequest || it->second.pins > 0)
                    continue;
                const qint64 r = rang(it->first);
                if (r > pire) {
                    pire = r;
                    victim = it;
                }
            }
            if (victim == cache.end())
                break;
            bytes -= victim->second.octets;
            libere(victim->second);
            cache.erase(victim);
        }
    }

    bool utile(int j) const { return j >= 0 && j < count() && !cache.count(j) && !failed.count(j); }

    // Next image worth decoding while nobody waits, or -1.
    int anticipation() const
    {
        const bool plein = bytes + lastFrameBytes > limit;
        qint64 pire = -1;
        if (plein)
            for (auto& [i, f] : cache)
                pire = std::max(pire, rang(i));
        auto vaut = [&](int j) { return utile(j) && (!plein || rang(j) < pire); };
        for (int k = 1; k <= lectureAnticipee; ++k) {
            const int j = focus + dir * k;
            if (j < 0 || j >= count())
                break;
            if (vaut(j))
                return j;
            if (utile(j))
                break; // no room for it

        }
        for (int k = 1; k <= lectureArriere; ++k)
            if (vaut(focus - dir * k))
                return focus - dir * k;
        return -1;
    }

    void boucle()
    {
        std::unique_lock<std::mutex> l(m);
        for (;;) {
            int goal = -1;
            while (!stop) {
                if (request >= 0 && (cache.count(request) || failed.count(request))) {
                    request = -1;
                    cv.notify_all();
                    continue;
                }
                if (asyncRequest >= 0 && (cache.count(asyncRequest) || failed.count(asyncRequest))) {
                    QMetaObject::invokeMethod(owner, "deliverRequested", Qt::QueuedConnection);
                    asyncRequest = -1;
                    continue;
                }
                goal = request >= 0 ? request : asyncRequest >= 0 ? asyncRequest : anticipation();
                if (goal >= 0)
                    break;
                cv.wait(l);
            }
            if (stop)
                return;
            l.unlock();
            std::vector<int> echecs;
            const int i = pas(goal, echecs);
            Trame t;
            if (i >= 0) {
                const int besoin = av_image_get_buffer_size(AVPixelFormat(frm->format), frm->width, frm->height, 64);
                l.lock();
                t.slot = besoin > 0 ? reserve->prend(size_t(besoin), limit) : nullptr;
                l.unlock();
                t.format = frm->format;
                t.w = frm->width;
                t.h = frm->height;
                t.cs = champEnum(frm->colorspace, AVCOL_SPC_NB, AVCOL_SPC_UNSPECIFIED);
                t.range = champEnum(frm->color_range, AVCOL_RANGE_NB, AVCOL_RANGE_UNSPECIFIED);
                if (t.slot) {
                    av_image_fill_arrays(t.data, t.linesize, t.slot, AVPixelFormat(t.format), t.w, t.h, 64);
                    av_image_copy(t.data, t.linesize, const_cast<const uint8_t**>(frm->data), frm->linesize,
                                  AVPixelFormat(t.format), t.w, t.h);
                    t.octets = qint64(reserve->slotSize());
                    av_frame_unref(frm);
                } else {
                    t.frame = av_frame_clone(frm);
                    av_frame_unref(frm);
                    for (int k = 0; k < 4; ++k) {
                        t.data[k] = t.frame->data[k];
                        t.linesize[k] = t.frame->linesize[k];
                    }
                    t.octets = tailleTrame(t.frame);
                }
            }
            l.lock();
            if (i >= 0)
                insere(i, t);
            for (int e : echecs)
                failed.insert(e);
            cv.notify_all();
        }
    }

    void seekTo(int k)
    {
        // Streams whose pictures are numbered in order: their stamps after a jump (rebuilt by
        // the parser from wherever it lands) do not tell which picture comes out, so decoding
        // starts over from the first image. Exact; the cache keeps what it decoded.
        if (parOrdre)
            k = 0;
        seekKey = k;
        avcodec_flush_buffers(dec);
        // The demuxer seeks by decoding time unless it says it seeks by presentation time.
        int r;
        if (k <= 0)
            r = avformat_seek_file(fmt, stream, INT64_MIN, seekTs[0], seekTs[0], 0);
        else
            r = av_seek_frame(fmt, stream, seekTs[size_t(k)], AVSEEK_FLAG_BACKWARD);
        if (r < 0 && k <= 0 && !(fmt->iformat->flags & AVFMT_NO_BYTE_SEEK))
            av_seek_frame(fmt, stream, 0, AVSEEK_FLAG_BYTE);
        nextIdx = k;
        minAccept = k;
        dtsApresSaut = AV_NOPTS_VALUE;
        justSeeked = true;
        eofSent = false;
    }

    // One decoded image towards `goal`; returns its index with the image in frm, or -1.
    // Images that turn out impossible to decode go into `echecs`.
    int pas(int goal, std::vector<int>& echecs)
    {
        const int k = keyBefore[size_t(goal)];
        if (goal != seekGoal) {
            seekGoal = goal;
            seekRetries = 0;
        }
        if (nextIdx < 0 || nextIdx > goal || (k > nextIdx && !parOrdre))
            seekTo(k);
        for (;;) {
            const int r = avcodec_receive_frame(dec, frm);
            if (r == 0) {
                int64_t ts = frm->best_effort_timestamp;
                if (ts == AV_NOPTS_VALUE)
                    ts = frm->pts;
                int i;
                if (parOrdre && justSeeked && dtsApresSaut != AV_NOPTS_VALUE)
                    i = indexOfTs(dtsApresSaut + decalagePts); // the keyframe comes out first
                else if (ts == AV_NOPTS_VALUE || (parOrdre && !justSeeked && nextIdx >= 0))
                    i = std::min(nextIdx, count() - 1);
                else
                    i = indexOfTs(ts);
                if (i < minAccept) {
                    av_frame_unref(frm);
                    continue;
                }
                if (justSeeked && i > seekKey) {
                    // The first image after a seek is not the keyframe asked for: the demuxer
                    // landed further on. Go back a keyframe, then from the start; after that,
                    // the images skipped cannot be decoded.
                    justSeeked = false;
                    if (seekRetries < 3) {
                        av_frame_unref(frm);
                        ++seekRetries;
                        seekTo(seekRetries <= 2 && seekKey > 0 ? keyBefore[size_t(seekKey - 1)] : 0);
                        continue;
                    }
                    if (i > goal) {
                        av_frame_unref(frm);
                        echecs.push_back(goal);
                        nextIdx = -1;
                        return -1;
                    }
                }
                justSeeked = false;
                decodee.store(i);
                if (i > goal)
                    for (int j = std::max(nextIdx, 0); j < i; ++j)
                        if (j <= goal)
                            echecs.push_back(j); // skipped by the decoder: corrupt data
                nextIdx = i + 1;
                return i;
            }
            if (r == AVERROR_EOF) {
                for (int j = std::max(nextIdx, 0); j <= goal; ++j)
                    echecs.push_back(j);
                nextIdx = -1;
                return -1;
            }
            if (r != AVERROR(EAGAIN)) {
                echecs.push_back(goal);
                nextIdx = -1;
                return -1;
            }
            if (eofSent) {
                for (int j = std::max(nextIdx, 0); j <= goal; ++j)
                    echecs.push_back(j);
                nextIdx = -1;
                return -1;
            }
            const int rr = av_read_frame(fmt, pkt);
            if (rr < 0) {
                avcodec_send_packet(dec, nullptr);
                eofSent = true;
                continue;
            }
            if (pkt->stream_index == stream && pkt->size > 0) {
                if (parOrdre && justSeeked && dtsApresSaut == AV_NOPTS_VALUE) {
                    // Start at a keyframe, and know which one.
                    if (!(pkt->flags & AV_PKT_FLAG_KEY) || pkt->dts == AV_NOPTS_VALUE) {
                        av_packet_unref(pkt);
                        continue;
                    }
                    dtsApresSaut = pkt->dts;
                }
                avcodec_send_packet(dec, pkt); // a corrupt packet is dropped; decoding goes on
            }
            av_packet_unref(pkt);
        }
    }
};

VideoSource::VideoSource(QObject* parent)
    : QObject(parent)
    , m_reserve(std::make_shared<Reserve>())
{
    qRegisterMetaType<VideoSource::Frame>();
    // Problems reach the user as French messages; the library's own log stays quiet.
    av_log_set_level(AV_LOG_QUIET);
}

VideoSource::~VideoSource() = default;

namespace {

// Clockwise turn (0, 90, 180, 270) that shows a stream upright, from its display matrix.
int rotationAffichage(const AVStream* st)
{
    const uint8_t* m = av_stream_get_side_data(st, AV_PKT_DATA_DISPLAYMATRIX, nullptr);
    if (!m)
        return 0;
    const double a = av_display_rotation_get(reinterpret_cast<const int32_t*>(m)); // anticlockwise
    if (std::isnan(a))
        return 0;
    const int q = int(std::lround(-a / 90.0));
    return ((q % 4) + 4) % 4 * 90;
}

} // namespace

// Everything open() learns from a file, up to the index; false with the message in `erreur`.
bool VideoSource::ouvreEtIndexe(State& s, const QString& path, bool sansListeMontage, QString& erreur) const
{
    const QString nom = QFileInfo(path).fileName();
    AVDictionary* opts = nullptr;
    if (sansListeMontage)
        av_dict_set(&opts, "ignore_editlist", "1", 0);
    const int ro = avformat_open_input(&s.fmt, QFile::encodeName(path).constData(), nullptr, &opts);
    av_dict_free(&opts);
    if (ro < 0) {
        erreur = QStringLiteral("Impossible de lire le fichier « %1 » : format vidéo non reconnu.").arg(nom);
        return false;
    }
    if (avformat_find_stream_info(s.fmt, nullptr) < 0) {
        erreur = QStringLiteral("Le fichier « %1 » est illisible.").arg(nom);
        return false;
    }
    const AVCodec* codec = nullptr;
    s.stream = av_find_best_stream(s.fmt, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    if (s.stream == AVERROR_STREAM_NOT_FOUND || s.stream < 0) {
        if (s.stream == AVERROR_DECODER_NOT_FOUND) {
            const int vs = av_find_best_stream(s.fmt, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
            const char* n = vs >= 0 ? avcodec_get_name(s.fmt->streams[vs]->codecpar->codec_id) : "?";
            erreur = QStringLiteral("Aucun décodeur pour le codec « %1 » du fichier « %2 ».")
                         .arg(QString::fromUtf8(n), nom);
        } else {
            erreur = QStringLiteral("Le fichier « %1 » ne contient pas d'image vidéo.").arg(nom);
        }
        return false;
    }
    AVStream* st = s.fmt->streams[s.stream];
    for (unsigned i = 0; i < s.fmt->nb_streams; ++i)
        if (int(i) != s.stream)
            s.fmt->streams[i]->discard = AVDISCARD_ALL;
    s.tb = st->time_base;
    s.dec = avcodec_alloc_context3(codec);
    if (!s.dec || avcodec_parameters_to_context(s.dec, st->codecpar) < 0) {
        erreur = QStringLiteral("Le fichier « %1 » est illisible.").arg(nom);
        return false;
    }
    s.dec->thread_count = 0;
    s.dec->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    s.dec->pkt_timebase = st->time_base;
    if (avcodec_open2(s.dec, codec, nullptr) < 0) {
        erreur = QStringLiteral("Impossible de décoder le codec « %1 » du fichier « %2 ».")
                     .arg(QString::fromUtf8(codec->name), nom);
        return false;
    }

    // Index: every packet's timestamps and keyframe flag, without decoding. Packets the demuxer
    // marks to be dropped give no image.
    struct Entree { int64_t pts; int64_t dts; int64_t duree; bool cle; bool aPts; };
    std::vector<Entree> entrees;
    AVPacket* pkt = av_packet_alloc();
    int64_t precedent = AV_NOPTS_VALUE;
    const int64_t tailleFichier = s.fmt->pb ? avio_size(s.fmt->pb) : -1;
    QElapsedTimer montre;
    montre.start();
    bool annule = progression && !progression(0.0);
    while (!annule && av_read_frame(s.fmt, pkt) >= 0) {
        if (pkt->stream_index == s.stream && pkt->size > 0 && !(pkt->flags & AV_PKT_FLAG_DISCARD)) {
            int64_t t = pkt->pts != AV_NOPTS_VALUE ? pkt->pts : pkt->dts;
            if (t == AV_NOPTS_VALUE)
                t = precedent == AV_NOPTS_VALUE ? 0 : precedent + std::max<int64_t>(pkt->duration, 1);
            precedent = t;
            entrees.push_back({t, pkt->dts, pkt->duration, (pkt->flags & AV_PKT_FLAG_KEY) != 0, pkt->pts != AV_NOPTS_VALUE});
        }
        const int64_t pos = pkt->pos;
        av_packet_unref(pkt);
        if (progression && tailleFichier > 0 && pos > 0 && montre.elapsed() >= 100) {
            montre.restart();
            annule = !progression(std::clamp(double(pos) / double(tailleFichier), 0.0, 1.0));
        }
    }
    av_packet_free(&pkt);
    if (annule) {
        erreur = QStringLiteral("Ouverture de « %1 » annulée.").arg(nom);
        return false;
    }
    if (entrees.empty()) {
        erreur = QStringLiteral("Le fichier « %1 » ne contient aucune image.").arg(nom);
        return false;
    }
    // MPEG program and system streams stamp only some packets with a presentation time, and
    // the parser may hang a stamp on the next picture. Their decoding times are all there and
    // regular: presentation times are the same set shifted by the stream's delay.
    const bool ptsManquants = std::any_of(entrees.begin(), entrees.end(), [](const Entree& e) { return !e.aPts; });
    const bool dtsComplets = std::all_of(entrees.begin(), entrees.end(), [](const Entree& e) { return e.dts != AV_NOPTS_VALUE; });
    if (ptsManquants && dtsComplets) {
        const auto ref = std::find_if(entrees.begin(), entrees.end(), [](const Entree& e) { return e.aPts; });
        const int64_t decalage = ref != entrees.end() ? ref->pts - ref->dts : 0;
        for (Entree& e : entrees)
            e.pts = e.dts + decalage;
        s.parOrdre = true;
        s.decalagePts = decalage;
    }
    std::stable_sort(entrees.begin(), entrees.end(), [](const Entree& a, const Entree& b) { return a.pts < b.pts; });
    const bool parPts = (s.fmt->iformat->flags & AVFMT_SEEK_TO_PTS) != 0;
    const int n = int(entrees.size());
    s.pts.resize(size_t(n));
    s.seekTs.resize(size_t(n));
    s.key.resize(size_t(n));
    s.keyBefore.resize(size_t(n));
    s.times.resize(size_t(n));
    int derniereCle = 0;
    for (int i = 0; i < n; ++i) {
        const Entree& e = entrees[size_t(i)];
        s.pts[size_t(i)] = e.pts;
        s.seekTs[size_t(i)] = parPts || e.dts == AV_NOPTS_VALUE ? e.pts : e.dts;
        s.key[size_t(i)] = e.cle;
        if (e.cle) {
            derniereCle = i;
            ++s.keyframes;
        }
        s.keyBefore[size_t(i)] = derniereCle;
        s.times[size_t(i)] = double(e.pts - entrees[0].pts) * av_q2d(s.tb);
    }
    const AVRational fr = av_guess_frame_rate(s.fmt, st, nullptr);
    s.rate = (fr.num > 0 && fr.den > 0) ? av_q2d(fr) : 0;
    double derniere = entrees.back().duree > 0 ? double(entrees.back().duree) * av_q2d(s.tb) : 0;
    if (derniere <= 0)
        derniere = n > 1 ? s.times.back() / (n - 1) : (s.rate > 0 ? 1 / s.rate : 0);
    s.duration = s.times.back() + derniere;
    s.rotation = rotationAffichage(st);
    s.size = QSize(st->codecpar->width, st->codecpar->height);
    if (s.rotation == 90 || s.rotation == 270)
        s.size.transpose();
    s.codec = QString::fromUtf8(avcodec_get_name(st->codecpar->codec_id));
    const AVCodecDescriptor* desc = avcodec_descriptor_get(st->codecpar->codec_id);
    s.codecLong = desc && desc->long_name ? QString::fromUtf8(desc->long_name) : s.codec;
    s.tag = fourcc(st->codecpar->codec_tag);
    s.format = QString::fromUtf8(s.fmt->iformat->name);
    s.pkt = av_packet_alloc();
    s.frm = av_frame_alloc();
    return true;
}

bool VideoSource::tempsPlausibles(const State& s)
{
    const int n = s.count();
    if (n < 2)
        return true;
    const double moyen = s.times.back() / (n - 1);
    return moyen > 0 && moyen <= kIntervalleMax;
}

bool VideoSource::open(const QString& path)
{
    const QString nom = QFileInfo(path).fileName();
    if (!QFileInfo::exists(path)) {
        m_erreur = QStringLiteral("Le fichier « %1 » n'existe pas.").arg(path);
        return false;
    }
    auto s = std::make_unique<State>(m_reserve);
    s->path = path;
    QString erreur;
    if (!ouvreEtIndexe(*s, path, false, erreur)) {
        m_erreur = erreur;
        return false;
    }
    // Most packets dropped by the container's edit list, or times no camera gives: a damaged
    // header (an MP4 time scale of 0 does both). Read the packets as they are and number the
    // images at the stream's rate.
    const bool jetes = s->count() == 1 && s->fmt->streams[s->stream]->nb_frames > 1;
    bool recalcule = false;
    if (!tempsPlausibles(*s) || jetes) {
        auto t = std::make_unique<State>(m_reserve);
        t->path = path;
        if (ouvreEtIndexe(*t, path, true, erreur) && t->count() >= s->count()) {
            s = std::move(t);
            recalcule = true;
        }
    }

    // The first image must decode before the file replaces the one open.
    {
        std::vector<int> echecs;
        const int i = s->pas(0, echecs);
        av_frame_unref(s->frm);
        s->nextIdx = -1;
        s->seekGoal = -1;
        if (i != 0) {
            m_erreur = QStringLiteral("Image 1 illisible : données corrompues.");
            return false;
        }
    }
    if (recalcule) {
        // The codec's own rate when it gives one (the decoder has read the stream headers now).
        double debit = s->dec->framerate.num > 0 && s->dec->framerate.den > 0 ? av_q2d(s->dec->framerate) : 0;
        if (debit <= 0 || 1 / debit > kIntervalleMax)
            debit = kDebitSecours;
        for (int i = 0; i < s->count(); ++i)
            s->times[size_t(i)] = i / debit;
        s->rate = debit;
        s->duration = s->count() / debit;
        s->avertissement = QStringLiteral("Les temps enregistrés dans « %1 » sont impossibles : les images sont "
                                          "datées à %2 images/s. Corrigez la cadence si elle est fausse.")
                               .arg(nom, QString::number(debit, 'g', 6));
    }

    AVStream* st = s->fmt->streams[s->stream];
    s->owner = this;
    s->limit = m_cacheLimit;
    // Slots already touched serve the new file when its images have the same size.
    const int besoin = av_image_get_buffer_size(AVPixelFormat(st->codecpar->format), st->codecpar->width,
                                                st->codecpar->height, 64);
    d.reset(); // the previous file is closed here; its slots go back to the reserve
    if (m_reserve->slotSize() != 0 && m_reserve->slotSize() != ((size_t(std::max(besoin, 0)) + 4095) & ~size_t(4095))) {
        m_reserve = std::make_shared<Reserve>();
        s->reserveP = m_reserve;
        s->reserve = m_reserve.get();
        malloc_trim(0);
    }
    State* brut = s.get();
    s->worker = std::thread([brut] { brut->boucle(); });
    d = std::move(s);
    m_position = 0;
    m_requested = -1;
    m_erreur.clear();
    return true;
}

void VideoSource::close()
{
    d.reset();
    // The memory of the decoded images goes back to the system, not only to the reserve.
    m_reserve = std::make_shared<Reserve>();
    malloc_trim(0);
    m_position = 0;
    m_requested = -1;
}

bool VideoSource::isOpen() const { return d && !d->pts.empty(); }
QString VideoSource::fileName() const { return isOpen() ? d->path : QString(); }
QSize VideoSource::size() const { return isOpen() ? d->size : QSize(); }
int VideoSource::frameCount() const { return isOpen() ? d->count() : 0; }
double VideoSource::duration() const { return isOpen() ? d->duration : 0; }
double VideoSource::nominalRate() const { return isOpen() ? d->rate : 0; }
QString VideoSource::codecName() const { return isOpen() ? d->codec : QString(); }
QString VideoSource::codecDescription() const { return isOpen() ? d->codecLong : QString(); }
QString VideoSource::codecTag() const { return isOpen() ? d->tag : QString(); }
QString VideoSource::formatName() const { return isOpen() ? d->format : QString(); }
int VideoSource::keyframeCount() const { return isOpen() ? d->keyframes : 0; }
int VideoSource::rotation() const { return isOpen() ? d->rotation : 0; }
QString VideoSource::avertissement() const { return isOpen() ? d->avertissement : QString(); }

qint64 VideoSource::reserveBytes() const
{
    if (d) {
        std::lock_guard<std::mutex> l(d->m);
        return m_reserve->octets();
    }
    return m_reserve->octets();
}

double VideoSource::frameTime(int n) const
{
    if (!isOpen())
        return 0;
    return d->times[size_t(std::clamp(n, 0, d->count() - 1))];
}

bool VideoSource::isKeyframe(int n) const
{
    return isOpen() && n >= 0 && n < d->count() && d->key[size_t(n)];
}

int VideoSource::indexAt(double seconds) const
{
    if (!isOpen())
        return 0;
    const auto& t = d->times;
    auto it = std::lower_bound(t.begin(), t.end(), seconds);
    if (it == t.end())
        return d->count() - 1;
    if (it != t.begin() && seconds - *(it - 1) < *it - seconds)
        --it;
    return int(it - t.begin());
}

void VideoSource::setCacheLimit(qint64 bytes)
{
    m_cacheLimit = std::max<qint64>(bytes, 1);
    if (!d)
        return;
    std::lock_guard<std::mutex> l(d->m);
    d->limit = m_cacheLimit;
    d->evince();
}

qint64 VideoSource::cacheLimit() const { return m_cacheLimit; }

qint64 VideoSource::cacheBytes() const
{
    if (!d)
        return 0;
    std::lock_guard<std::mutex> l(d->m);
    return d->bytes;
}

namespace {

// A picture for the scaler to fill: its vector code may write past the end of the last line,
// so the buffer carries room after it (a tiny picture once had the heap overwritten).
QImage imageAvecMarge(int w, int h)
{
    constexpr size_t kMarge = 256;
    const qsizetype ligne = qsizetype(w) * 4;
    auto* p = static_cast<uchar*>(av_malloc(size_t(ligne) * size_t(h) + kMarge));
    if (!p)
        return {};
    return QImage(p, w, h, ligne, QImage::Format_RGB32, [](void* q) { av_free(q); }, p);
}

QImage enRgb(SwsContext*& sws, const Trame* f, QImage* tampons, int nTampons)
{
    const AVPixelFormat pf = AVPixelFormat(f->format);
    sws = sws_getCachedContext(sws, f->w, f->h, pf, f->w, f->h, AV_PIX_FMT_RGB32,
                               SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!sws)
        return {};
    const bool plein = f->range == AVCOL_RANGE_JPEG || pf == AV_PIX_FMT_YUVJ420P
                       || pf == AV_PIX_FMT_YUVJ422P || pf == AV_PIX_FMT_YUVJ444P;
    const int cs = f->cs == AVCOL_SPC_UNSPECIFIED ? SWS_CS_DEFAULT : int(f->cs);
    int *invT, *t, srcRange, dstRange, bri, con, sat;
    if (sws_getColorspaceDetails(sws, &invT, &srcRange, &t, &dstRange, &bri, &con, &sat) >= 0)
        sws_setColorspaceDetails(sws, sws_getCoefficients(cs), plein ? 1 : 0, t, 1, bri, con, sat);
    // Reuse a picture nobody holds any more: fresh 8 MB buffers cost page faults every step.
    int libre = -1;
    for (int i = 0; i < nTampons && libre < 0; ++i)
        if (tampons[i].isDetached() && tampons[i].size() == QSize(f->w, f->h))
            libre = i;
    if (libre < 0) {
        std::rotate(tampons, tampons + 1, tampons + nTampons);
        libre = nTampons - 1;
        tampons[libre] = imageAvecMarge(f->w, f->h);
    }
    QImage& img = tampons[libre];
    if (img.isNull())
        return {};
    uint8_t* dst[4] = {img.bits(), nullptr, nullptr, nullptr};
    int dstStride[4] = {int(img.bytesPerLine()), 0, 0, 0};
    sws_scale(sws, f->data, f->linesize, 0, f->h, dst, dstStride);
    return img;
}

} // namespace

VideoSource::Frame VideoSource::frame(int n)
{
    Frame r;
    if (!isOpen())
        return r;
    n = std::clamp(n, 0, d->count() - 1);
    Trame* trame = nullptr;
    {
        std::unique_lock<std::mutex> l(d->m);
        if (n != d->focus)
            d->dir = n > d->focus ? 1 : -1;
        d->focus = n;
        if (!d->cache.count(n) && !d->failed.count(n)) {
            d->request = n;
            d->cv.notify_all();
            auto pret = [&] { return d->cache.count(n) || d->failed.count(n) || d->stop; };
            if (!progression) {
                d->cv.wait(l, pret);
            } else {
                // Decoding from a keyframe far behind: tell how far along it is.
                const int depart = d->keyBefore[size_t(n)];
                while (!d->cv.wait_for(l, std::chrono::milliseconds(100), pret)) {
                    const int fait = d->decodee.load();
                    const double part = n > depart ? double(std::clamp(fait - depart, 0, n - depart)) / (n - depart) : 0;
                    l.unlock();
                    progression(part);
                    l.lock();
                }
            }
        }
        auto it = d->cache.find(n);
        if (it != d->cache.end()) {
            trame = &it->second; // std::map keeps its address; pinned against eviction
            ++trame->pins;
        }
        d->cv.notify_all(); // read ahead from the new position
    }
    m_position = n;
    r.index = n;
    r.time = d->times[size_t(n)];
    if (trame) {
        r.image = enRgb(d->sws, trame, m_tampons, nTampons);
        {
            std::lock_guard<std::mutex> l(d->m);
            --trame->pins;
        }
        if (d->rotation != 0 && !r.image.isNull())
            r.image = r.image.transformed(QTransform().rotate(d->rotation));
    }
    if (r.image.isNull())
        m_erreur = QStringLiteral("Image %1 illisible : données corrompues.").arg(n + 1);
    return r;
}

void VideoSource::requestFrame(int n)
{
    if (!isOpen())
        return;
    n = std::clamp(n, 0, d->count() - 1);
    m_requested = n;
    std::lock_guard<std::mutex> l(d->m);
    if (n != d->focus)
        d->dir = n > d->focus ? 1 : -1;
    d->focus = n;
    if (d->cache.count(n) || d->failed.count(n))
        QMetaObject::invokeMethod(this, "deliverRequested", Qt::QueuedConnection);
    else
        d->asyncRequest = n;
    d->cv.notify_all();
}

void VideoSource::deliverRequested()
{
    if (m_requested < 0 || !isOpen())
        return;
    const int n = m_requested;
    m_requested = -1;
    emit frameReady(frame(n));
}

QString VideoSource::aviStreamHandler(const QString& path, bool* ok)
{
    if (ok)
        *ok = false;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray h = f.read(1 << 16);
    auto u32 = [&](qsizetype p) {
        return quint32(uchar(h[p])) | quint32(uchar(h[p + 1])) << 8 | quint32(uchar(h[p + 2])) << 16
               | quint32(uchar(h[p + 3])) << 24;
    };
    if (h.size() < 12 || h.left(4) != "RIFF" || h.mid(8, 4) != "AVI ")
        return {};
    // Walk the chunks down to the first stream header: RIFF > LIST hdrl > LIST strl > strh.
    qsizetype p = 12;
    qsizetype fin = h.size();
    while (p + 8 <= fin) {
        const QByteArray id = h.mid(p, 4);
        const qsizetype taille = qsizetype(u32(p + 4));
        if (id == "LIST") {
            if (p + 12 > fin)
                break;
            const QByteArray type = h.mid(p + 8, 4);
            if (type == "hdrl" || type == "strl") {
                fin = std::min(fin, p + 8 + taille);
                p += 12;
                continue;
            }
        } else if (id == "strh") {
            if (p + 16 > h.size())
                break;
            QString code;
            for (int i = 0; i < 4; ++i) {
                const char c = h[p + 12 + i];
                code += (c >= 32 && c < 127) ? QChar(c) : QChar(' ');
            }
            if (ok)
                *ok = true;
            return code;
        }
        p += 8 + taille + (taille & 1);
    }
    return {};
}
