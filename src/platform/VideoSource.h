#pragma once
#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>

// One video file read through FFmpeg, image by image.
//
// Opening reads every packet of the video stream once (no decoding) to index each image's
// presentation time and keyframe flag, so counts and times are exact even for variable-rate
// files. Images are numbered 0 .. frameCount()-1 in presentation order; image n's time is its
// timestamp minus the first image's, in seconds.
//
// A worker thread owned by the source decodes ahead of the image shown, in the direction of
// travel, and keeps decoded images (in the decoder's own compact pixel format) in a cache
// bounded by cacheLimit(). Going back past a keyframe decodes the whole group of pictures once
// and keeps it, so stepping back costs about what stepping forward costs. Images are handed
// out on the calling (user-interface) thread: frame() waits for the image, requestFrame()
// answers later through frameReady().
class VideoSource : public QObject
{
    Q_OBJECT
public:
    struct Frame
    {
        int index = -1;
        double time = 0;   // seconds from the first image
        QImage image;      // RGB32; null when the image could not be decoded
        bool isValid() const { return !image.isNull(); }
    };

    static constexpr qint64 defaultCacheLimit = 512ll * 1024 * 1024;

    explicit VideoSource(QObject* parent = nullptr);
    ~VideoSource() override;

    // Opens a file; on failure returns false, erreur() holds the French message and the file
    // open before (if any) stays open, untouched. A file whose first image does not decode
    // fails. Timestamps no camera can give are replaced by the stream's rate (avertissement()).
    bool open(const QString& path);
    void close();
    bool isOpen() const;
    QString erreur() const { return m_erreur; }

    QString fileName() const;
    QSize size() const;
    int frameCount() const;
    double duration() const;        // seconds: last image's time plus its duration
    double nominalRate() const;     // images per second declared by the file, 0 when none
    QString codecName() const;      // FFmpeg's short name, e.g. "h264"
    QString codecDescription() const; // FFmpeg's long name
    QString codecTag() const;       // the four-character code stored with the stream, or empty
    QString formatName() const;     // container, e.g. "avi"
    // Clockwise turn applied to show the picture upright (a phone's display rotation): 0, 90,
    // 180 or 270. size() and every image are already upright.
    int rotation() const;
    // What the user should know about the file open (impossible timestamps replaced), or empty.
    QString avertissement() const;
    double frameTime(int n) const;
    bool isKeyframe(int n) const;
    int keyframeCount() const;

    // Memory given to decoded images; applies at once.
    void setCacheLimit(qint64 bytes);
    qint64 cacheLimit() const;
    qint64 cacheBytes() const;
    // Memory mapped for decoded images (in use or free for the next file of the same size).
    qint64 reserveBytes() const;

    // Long work (indexing at open, decoding towards a far image) calls this on the caller's
    // thread about every 100 ms with the part done, 0..1; returning false cancels an open.
    std::function<bool(double)> progression;

    // Image n (clamped to the file), waiting for it to be decoded. Becomes the position.
    // A corrupt image gives an invalid Frame and erreur() says so; the position still moves.
    Frame frame(int n);
    int position() const { return m_position; }
    Frame first() { return frame(0); }
    Frame last() { return frame(frameCount() - 1); }
    Frame next() { return frame(m_position + 1); }
    Frame previous() { return frame(m_position - 1); }
    Frame seek(int n) { return frame(n); }
    // Image n's index closest to a time in seconds.
    int indexAt(double seconds) const;

    // Asks for image n without waiting; frameReady() carries it on this object's thread.
    void requestFrame(int n);

    // Stream handler code of the first stream header of an AVI file ("XVID", "MSVC"...), read
    // from the RIFF headers. Empty with ok = false when the file cannot be read or is not AVI.
    static QString aviStreamHandler(const QString& path, bool* ok = nullptr);

signals:
    void frameReady(const VideoSource::Frame& frame);

private slots:
    void deliverRequested();

private:
    struct State;
    class Reserve;
    bool ouvreEtIndexe(State& s, const QString& path, bool sansListeMontage, QString& erreur) const;
    static bool tempsPlausibles(const State& s);
    std::shared_ptr<Reserve> m_reserve;
    std::unique_ptr<State> d;
    int m_position = 0;
    int m_requested = -1;
    qint64 m_cacheLimit = defaultCacheLimit;
    static constexpr int nTampons = 3;
    QImage m_tampons[nTampons];
    QString m_erreur;
};

Q_DECLARE_METATYPE(VideoSource::Frame)
