#include "TestSupport.h"
#include "VideoSource.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// Containers and codecs from school and phone cameras, made here with the ffmpeg program and
// checked against the frames ffmpeg itself decodes.
namespace {

bool lance(const QStringList& args, QByteArray* sortie = nullptr, const QString& prog = "ffmpeg")
{
    QProcess p;
    p.start(prog, args);
    if (!p.waitForFinished(180000))
        return false;
    if (sortie)
        *sortie = p.readAllStandardOutput();
    if (p.exitCode() != 0)
        qWarning() << prog << args << p.readAllStandardError();
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Every frame as ffmpeg decodes it (rotated upright as it shows it), RGB.
QVector<QImage> imagesFfmpeg(const QString& fichier, QSize taille)
{
    QByteArray brut;
    if (!lance({"-v", "error", "-i", fichier, "-sws_flags", "bilinear", "-f", "rawvideo", "-pix_fmt", "rgb24", "-"},
               &brut))
        return {};
    const qsizetype octets = qsizetype(taille.width()) * taille.height() * 3;
    QVector<QImage> r;
    for (qsizetype p = 0; p + octets <= brut.size(); p += octets)
        r << QImage(reinterpret_cast<const uchar*>(brut.constData() + p), taille.width(), taille.height(),
                    taille.width() * 3, QImage::Format_RGB888)
                 .convertToFormat(QImage::Format_RGB32);
    return r;
}

// Largest channel difference between two pictures of one size (-1 when sizes differ).
int ecartMax(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return -1;
    int m = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            m = std::max({m, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    return m;
}

// Frame number in ten blocks of 8 pixels on the top rows, over a picture that is not symmetric.
const char* motif = "format=yuv420p,geq=lum='if(lt(Y\\,8)\\,255*mod(floor(N/pow(2\\,floor(X/8)))\\,2)\\,40+X/2+Y/3)'"
                    ":cb='if(lt(Y\\,8)\\,128\\,90+X/3)':cr='if(lt(Y\\,8)\\,128\\,170-Y/2)'";

int numeroImage(const QImage& img)
{
    int n = 0;
    for (int b = 0; b < 10; ++b)
        if (qGray(img.pixel(b * 8 + 4, 3)) > 128)
            n |= 1 << b;
    return n;
}

bool patchMdhdTimescale0(const QString& f)
{
    QFile fichier(f);
    if (!fichier.open(QIODevice::ReadWrite))
        return false;
    QByteArray d = fichier.readAll();
    const qsizetype i = d.indexOf("mdhd");
    if (i < 0)
        return false;
    const qsizetype off = i + 8 + (d[i + 4] == 1 ? 16 : 8);
    for (int k = 0; k < 4; ++k)
        d[off + k] = 0;
    fichier.seek(0);
    return fichier.write(d) == d.size();
}

} // namespace

class TestVideoFormats : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString chemin(const QString& n) const { return m_dir.filePath(n); }

    bool fabrique(const QString& nom, int images, const QStringList& codage, const QString& taille = "128x80",
                  const QString& filtre = {})
    {
        return lance(QStringList{"-y", "-v", "error", "-f", "lavfi", "-i", "color=c=black:s=" + taille + ":r=25",
                                 "-vf", (filtre.isEmpty() ? QString() : filtre + ",") + motif, "-frames:v",
                                 QString::number(images)}
                     + codage + QStringList{chemin(nom)});
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // Every frame reachable forward, backward and by seek, each equal to ffmpeg's frame n.
    void conteneurs_data()
    {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QStringList>("codage");
        QTest::newRow("MPEG-2 flux programme") << "dvd.mpg"
            << QStringList{"-c:v", "mpeg2video", "-q:v", "2", "-g", "12", "-bf", "2", "-f", "vob"};
        QTest::newRow("MPEG-1") << "mpeg1.mpg" << QStringList{"-c:v", "mpeg1video", "-q:v", "2", "-g", "15", "-bf", "2",
                                                             "-f", "mpeg"};
        QTest::newRow("MJPEG AVI") << "mjpeg.avi" << QStringList{"-c:v", "mjpeg", "-q:v", "2"};
        QTest::newRow("MPEG-2 transport") << "camescope.m2ts" << QStringList{"-c:v", "mpeg2video", "-q:v", "2", "-g", "12",
                                                                            "-bf", "2", "-f", "mpegts"};
    }
    void conteneurs()
    {
        QFETCH(QString, nom);
        QFETCH(QStringList, codage);
        QVERIFY(fabrique(nom, 50, codage));
        const QString f = chemin(nom);
        const QVector<QImage> ref = imagesFfmpeg(f, QSize(128, 80));
        QCOMPARE(ref.size(), 50);
        VideoSource v;
        QVERIFY2(v.open(f), qPrintable(v.erreur()));
        QCOMPARE(v.frameCount(), 50);
        auto verifie = [&](const VideoSource::Frame& fr, int i) {
            QVERIFY2(fr.isValid(), qPrintable(QStringLiteral("image %1 : %2").arg(i).arg(v.erreur())));
            QCOMPARE(fr.index, i);
            // The encoder may drop or repeat a picture: ffmpeg's own frame i is the reference.
            QCOMPARE(numeroImage(fr.image), numeroImage(ref[i]));
            const int e = ecartMax(fr.image, ref[i]);
            QVERIFY2(e >= 0 && e <= 2, qPrintable(QStringLiteral("image %1 : écart %2").arg(i).arg(e)));
        };
        for (int i = 0; i < 50; ++i)
            verifie(v.frame(i), i);
        for (int i = 49; i >= 0; --i)
            verifie(v.frame(i), i);
        VideoSource w;
        QVERIFY(w.open(f));
        for (int i : {49, 0, 37, 12, 11, 24, 48, 1, 36, 25})
            verifie(w.seek(i), i);
    }

    // Phone videos carry a display rotation: the pictures come upright, as ffmpeg shows them.
    void rotation_data()
    {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QStringList>("codage");
        QTest::addColumn<int>("rotation");
        const QStringList h264{"-c:v", "libx264", "-qp", "10", "-pix_fmt", "yuv420p"};
        QTest::newRow("-90 (portrait)") << "portrait.mp4" << h264 << 90;
        QTest::newRow("+90") << "portrait2.mp4" << h264 << 270;
        QTest::newRow("180") << "tete-en-bas.mp4" << h264 << 180;
        QTest::newRow("HEVC dans MOV") << "iphone.mov"
            << QStringList{"-c:v", "libx265", "-x265-params", "log-level=error:qp=10", "-tag:v", "hvc1",
                           "-pix_fmt", "yuv420p"} << 90;
    }
    void rotation()
    {
        QFETCH(QString, nom);
        QFETCH(QStringList, codage);
        QFETCH(int, rotation);
        QVERIFY(fabrique(nom, 8, codage, "160x96"));
        const QString f = chemin(nom);
        QVERIFY(poseRotation(f, rotation));
        VideoSource v;
        QVERIFY2(v.open(f), qPrintable(v.erreur()));
        QCOMPARE(v.rotation(), rotation);
        const QSize droite = rotation == 180 ? QSize(160, 96) : QSize(96, 160);
        QCOMPARE(v.size(), droite);
        const QVector<QImage> ref = imagesFfmpeg(f, droite);
        QCOMPARE(ref.size(), 8);
        for (int i : {0, 7, 3}) {
            const VideoSource::Frame fr = v.frame(i);
            QCOMPARE(fr.image.size(), droite);
            const int e = ecartMax(fr.image, ref[i]);
            QVERIFY2(e >= 0 && e <= 2, qPrintable(QStringLiteral("image %1 : écart %2").arg(i).arg(e)));
        }
    }

    // Reopening keeps the memory of one cache; closing gives it back.
    void reouverture()
    {
        QVERIFY(fabrique("hd.mp4", 40, {"-c:v", "libx264", "-preset", "ultrafast", "-g", "40"}, "1280x720"));
        VideoSource v;
        const qint64 limite = 24ll << 20;
        v.setCacheLimit(limite);
        qint64 premiere = 0;
        for (int k = 0; k < 5; ++k) {
            QVERIFY(v.open(chemin("hd.mp4")));
            for (int i = 0; i < v.frameCount(); ++i)
                QCOMPARE(numeroImage(v.frame(i).image), i);
            QVERIFY(v.cacheBytes() <= limite);
            if (k == 0)
                premiere = v.reserveBytes();
            // One cache at most: the slots of the file before serve again.
            QVERIFY2(v.reserveBytes() <= premiere, qPrintable(QStringLiteral("ouverture %1 : %2 octets / %3")
                                                                  .arg(k + 1).arg(v.reserveBytes()).arg(premiere)));
        }
        QVERIFY(premiere > 0 && premiere <= limite + (64ll << 20));
        v.close();
        QCOMPARE(v.reserveBytes(), 0);
    }

    // An MP4 whose time scale is 0: times of hundreds of seconds per image, and a variable-rate
    // clip collapsing to one image. The images are kept, timed at the stream's rate, with a word.
    void echelleTempsNulle_data()
    {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QString>("filtre");
        QTest::addColumn<int>("images");
        QTest::newRow("cadence fixe") << "ts0.mp4" << QString() << 30;
        QTest::newRow("cadence variable") << "ts0-vfr.mp4" << "select='not(eq(mod(n\\,3)\\,1))'" << 30;
    }
    void echelleTempsNulle()
    {
        QFETCH(QString, nom);
        QFETCH(QString, filtre);
        QFETCH(int, images);
        QStringList codage{"-c:v", "libx264", "-qp", "10", "-g", "10", "-pix_fmt", "yuv420p"};
        if (!filtre.isEmpty())
            codage += {"-fps_mode", "vfr"};
        QVERIFY(fabrique(nom, images, codage, "128x80", filtre));
        const QString f = chemin(nom);
        {
            VideoSource sain;
            QVERIFY(sain.open(f));
            QCOMPARE(sain.frameCount(), images);
            QVERIFY(sain.avertissement().isEmpty());
        }
        QVERIFY(patchMdhdTimescale0(f));
        VideoSource v;
        QVERIFY2(v.open(f), qPrintable(v.erreur()));
        QCOMPARE(v.frameCount(), images);
        QVERIFY(v.avertissement().contains(QStringLiteral("impossibles")));
        QVERIFY2(v.duration() < 10, qPrintable(QString::number(v.duration())));
        QVERIFY(v.nominalRate() > 0);
        for (int i = 1; i < images; ++i)
            QVERIFY(qAbs(v.frameTime(i) - i / v.nominalRate()) < 1e-9);
        for (int i : {0, images - 1, images / 2, 1})
            QCOMPARE(numeroImage(v.frame(i).image), i);
    }

    // A file whose first image cannot be decoded is refused; the file open before stays.
    void premiereImageIllisible()
    {
        QVERIFY(fabrique("bon.avi", 10, {"-c:v", "mjpeg", "-q:v", "3"}));
        // A copy whose first JPEG picture has its headers wiped out.
        QFile src(chemin("bon.avi"));
        QVERIFY(src.open(QIODevice::ReadOnly));
        QByteArray d = src.readAll();
        const qsizetype soi = d.indexOf(QByteArray("\xff\xd8", 2), d.indexOf("movi"));
        QVERIFY(soi > 0);
        for (qsizetype p = soi + 2; p < soi + 400; ++p)
            d[p] = 0;
        QFile tete(chemin("tete.avi"));
        QVERIFY(tete.open(QIODevice::WriteOnly));
        tete.write(d);
        tete.close();
        VideoSource v;
        QVERIFY(v.open(chemin("bon.avi")));
        QCOMPARE(numeroImage(v.frame(6).image), 6);
        if (v.open(chemin("tete.avi"))) {
            // The decoder made something of it: then it must be image 0.
            QCOMPARE(numeroImage(v.first().image), 0);
            QSKIP("the damaged keyframe still decodes here");
        }
        QVERIFY2(v.erreur().contains(QStringLiteral("Image 1 illisible")), qPrintable(v.erreur()));
        QCOMPARE(v.fileName(), chemin("bon.avi"));
        QCOMPARE(v.position(), 6);
        QCOMPARE(numeroImage(v.next().image), 7);
    }

    // Long work reports how far along it is.
    void progression()
    {
        QVERIFY(fabrique("long.mkv", 250, {"-c:v", "libx264", "-preset", "ultrafast", "-g", "250"}, "960x540"));
        VideoSource v;
        QVector<double> parts;
        v.progression = [&](double p) {
            parts << p;
            return true;
        };
        QVERIFY(v.open(chemin("long.mkv")));
        parts.clear();
        QCOMPARE(numeroImage(v.last().image), 249);
        QVERIFY(!parts.isEmpty()); // 250 images from one keyframe take far longer than 100 ms
        for (double p : parts)
            QVERIFY(p >= 0 && p <= 1);
        for (int i = 1; i < parts.size(); ++i)
            QVERIFY(parts[i] >= parts[i - 1]);
        // An open cancelled from the progress leaves the file open before.
        VideoSource w;
        QVERIFY(w.open(chemin("long.mkv")));
        w.progression = [](double) { return false; };
        QVERIFY(fabrique("court.avi", 5, {"-c:v", "mjpeg"}));
        QVERIFY(!w.open(chemin("court.avi")));
        QVERIFY(w.erreur().contains(QStringLiteral("annulée")));
        QCOMPARE(w.fileName(), chemin("long.mkv"));
    }
};

QTEST_GUILESS_MAIN(TestVideoFormats)
#include "tst_videoformats.moc"
