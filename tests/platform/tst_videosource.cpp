#include "TestSupport.h"
#include "VideoSource.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// Clips are made here with the ffmpeg program: each image carries its own index as ten
// black/white blocks of 8 pixels, read back from the decoded pixels.
namespace {

const char* motif = "geq=lum='255*mod(floor(N/pow(2,floor(X/8))),2)':cb=128:cr=128";

int numeroImage(const QImage& img)
{
    int n = 0;
    for (int b = 0; b < 10; ++b)
        if (qGray(img.pixel(b * 8 + 4, img.height() / 2)) > 128)
            n |= 1 << b;
    return n;
}

bool lance(const QString& prog, const QStringList& args, QByteArray* sortie = nullptr)
{
    QProcess p;
    p.start(prog, args);
    if (!p.waitForFinished(120000))
        return false;
    if (sortie)
        *sortie = p.readAllStandardOutput();
    if (p.exitCode() != 0)
        qWarning() << prog << args << p.readAllStandardError();
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Frame times (from the first image) and keyframe flags as FFmpeg's own probe gives them.
QVector<double> tempsFfprobe(const QString& fichier, QVector<bool>* cles = nullptr)
{
    QByteArray out;
    if (!lance("ffprobe", {"-v", "error", "-select_streams", "v:0", "-show_entries",
                           "frame=key_frame,best_effort_timestamp_time", "-of", "csv=p=0", fichier},
               &out))
        return {};
    QVector<double> t;
    for (const QByteArray& l : out.split('\n')) {
        const QList<QByteArray> champs = l.trimmed().split(',');
        if (champs.size() < 2)
            continue;
        t << champs[1].toDouble();
        if (cles)
            *cles << (champs[0] == "1");
    }
    for (int i = t.size() - 1; i >= 0; --i)
        t[i] -= t[0];
    return t;
}

} // namespace

class TestVideoSource : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString chemin(const QString& nom) const { return m_dir.filePath(nom); }

    // `filtre` goes before the index pattern (dropping or retiming images renumbers them).
    bool fabrique(const QString& nom, int images, const QString& filtre, const QStringList& codage)
    {
        QString vf = filtre.isEmpty() ? QString() : filtre + ",";
        vf += QStringLiteral("format=yuv420p,") + motif;
        QStringList a{"-y", "-v", "error", "-f", "lavfi", "-i",
                      QStringLiteral("color=c=black:s=80x48:r=25:d=%1").arg(images / 25.0 + 1),
                      "-vf", vf, "-frames:v", QString::number(images)};
        a << codage << chemin(nom);
        return lance("ffmpeg", a);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const QStringList x264{"-c:v", "libx264", "-qp", "8", "-pix_fmt", "yuv420p"};
        QVERIFY(fabrique("gop1.avi", 40, {}, {"-c:v", "mjpeg", "-q:v", "2"}));
        QVERIFY(fabrique("gop30.mp4", 95, {}, x264 + QStringList{"-g", "30", "-bf", "2", "-sc_threshold", "0"}));
        QVERIFY(fabrique("gop250.mkv", 300, {},
                         x264 + QStringList{"-g", "250", "-keyint_min", "250", "-sc_threshold", "0"}));
        QVERIFY(fabrique("vfr.mkv", 60, "select='not(eq(mod(n\\,3)\\,1))+lt(n\\,10)'",
                         x264 + QStringList{"-fps_mode", "vfr", "-g", "12", "-sc_threshold", "0"}));
        QVERIFY(fabrique("xvid.avi", 50, {}, {"-c:v", "mpeg4", "-vtag", "XVID", "-q:v", "2", "-g", "12", "-sc_threshold", "1000000000"}));
        QVERIFY(fabrique("vp8.webm", 30, {}, {"-c:v", "libvpx", "-b:v", "2M", "-g", "10", "-auto-alt-ref", "0"}));
    }

    void clips_data()
    {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<int>("ecart");   // longest run from one keyframe to the next
        QTest::newRow("intervalle 1") << "gop1.avi" << 1;
        QTest::newRow("intervalle 30, images B") << "gop30.mp4" << 30;
        QTest::newRow("intervalle 250") << "gop250.mkv" << 250;
        QTest::newRow("cadence variable") << "vfr.mkv" << 12;
        QTest::newRow("AVI XVID") << "xvid.avi" << 12;
        QTest::newRow("WebM") << "vp8.webm" << 10;
    }

    // Count and every time against ffprobe; then every way of moving lands on the image asked.
    void clips()
    {
        QFETCH(QString, nom);
        QFETCH(int, ecart);
        const QString f = chemin(nom);
        QVector<bool> cles;
        const QVector<double> attendu = tempsFfprobe(f, &cles);
        QVERIFY(!attendu.isEmpty());

        VideoSource v;
        QVERIFY2(v.open(f), qPrintable(v.erreur()));
        QCOMPARE(v.size(), QSize(80, 48));
        QCOMPARE(v.frameCount(), attendu.size());
        for (int i = 0; i < attendu.size(); ++i)
            QVERIFY2(qAbs(v.frameTime(i) - attendu[i]) < 2e-6,
                     qPrintable(QStringLiteral("image %1: %2 / %3").arg(i).arg(v.frameTime(i)).arg(attendu[i])));
        int plusLong = 0, derniere = 0;
        for (int i = 0; i < attendu.size(); ++i) {
            QCOMPARE(v.isKeyframe(i), cles[i]);
            if (cles[i] && i > 0) {
                plusLong = qMax(plusLong, i - derniere);
                derniere = i;
            }
        }
        QCOMPARE(plusLong, ecart);
        const int n = v.frameCount();

        auto verifie = [&](const VideoSource::Frame& fr, int i) {
            QCOMPARE(fr.index, i);
            QVERIFY(fr.isValid());
            QCOMPARE(numeroImage(fr.image), i);
            QCOMPARE(fr.time, attendu[i]);
            QCOMPARE(v.position(), i);
        };
        verifie(v.first(), 0);
        for (int i = 1; i < n; ++i)
            verifie(v.next(), i);
        verifie(v.next(), n - 1); // stays on the last image
        for (int i = n - 2; i >= 0; --i)
            verifie(v.previous(), i);
        verifie(v.previous(), 0);
        verifie(v.last(), n - 1);
        for (int i : {n / 2, 3, n - 2, 1, n / 3, n - 1, 0, (2 * n) / 3})
            verifie(v.seek(i), i);
        QCOMPARE(v.indexAt(attendu[n / 2] + 0.0001), n / 2);
    }

    // A cache far smaller than the group of pictures still gives every image right, both ways.
    void petitCache()
    {
        VideoSource v;
        v.setCacheLimit(20 * 80 * 48 * 3 / 2);
        QVERIFY(v.open(chemin("gop250.mkv")));
        for (int i = v.frameCount() - 1; i >= 0; i -= 7)
            QCOMPARE(numeroImage(v.seek(i).image), i);
        for (int i = 120; i >= 100; --i)
            QCOMPARE(numeroImage(v.seek(i).image), i);
        QVERIFY(v.cacheBytes() <= v.cacheLimit() + 80 * 48 * 4);
    }

    void asynchrone()
    {
        VideoSource v;
        QVERIFY(v.open(chemin("gop30.mp4")));
        QSignalSpy spy(&v, &VideoSource::frameReady);
        v.requestFrame(77);
        QVERIFY(spy.wait(5000));
        const auto fr = spy.takeFirst().at(0).value<VideoSource::Frame>();
        QCOMPARE(fr.index, 77);
        QCOMPARE(numeroImage(fr.image), 77);
    }

    void codeAvi_data()
    {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("code");
        QTest::newRow("xvid") << "xvid.avi" << true << "XVID";
        QTest::newRow("mjpeg") << "gop1.avi" << true << "MJPG";
        QTest::newRow("pas avi") << "gop30.mp4" << false << "";
        QTest::newRow("absent") << "rien.avi" << false << "";
    }
    void codeAvi()
    {
        QFETCH(QString, nom);
        QFETCH(bool, ok);
        QFETCH(QString, code);
        bool lu = !ok;
        QCOMPARE(VideoSource::aviStreamHandler(chemin(nom), &lu), code);
        QCOMPARE(lu, ok);
    }

    void facts()
    {
        VideoSource v;
        QVERIFY(v.open(chemin("xvid.avi")));
        QCOMPARE(v.codecName(), QString("mpeg4"));
        QCOMPARE(v.codecTag(), QString("XVID"));
        QCOMPARE(v.formatName(), QString("avi"));
        QCOMPARE(v.nominalRate(), 25.0);
        QVERIFY(qAbs(v.duration() - 2.0) < 1e-9);
    }

    // Errors leave the file open before untouched.
    void erreurs()
    {
        QVERIFY(lance("ffmpeg", {"-y", "-v", "error", "-f", "lavfi", "-i", "sine=d=0.5", chemin("son.wav")}));
        QVERIFY(ecritOctets(chemin("texte.avi"), QByteArray("ceci n'est pas une video\n").repeated(50)));
        VideoSource v;
        QVERIFY(v.open(chemin("gop30.mp4")));
        struct Cas { QString nom; QString message; };
        for (const Cas& c : {Cas{"absent.avi", "n'existe pas"}, Cas{"son.wav", "ne contient pas d'image vidéo"},
                             Cas{"texte.avi", "format vidéo non reconnu"}}) {
            const int avant = v.seek(40).index;
            QVERIFY(!v.open(chemin(c.nom)));
            QVERIFY2(v.erreur().contains(c.message), qPrintable(v.erreur()));
            QVERIFY(v.isOpen());
            QCOMPARE(v.fileName(), chemin("gop30.mp4"));
            QCOMPARE(v.position(), avant);
            QCOMPARE(numeroImage(v.next().image), 41);
        }
    }

    // Damaged data in the middle: no crash, the sound parts of the file still read right.
    void donneesCorrompues()
    {
        for (const QString nom : {"gop1.avi", "gop30.mp4"}) {
            QFile src(chemin(nom));
            QVERIFY(src.open(QIODevice::ReadOnly));
            QByteArray data = src.readAll();
            for (qsizetype p = data.size() * 2 / 5; p < data.size() / 2; p += 7)
                data[p] = char(p * 31);
            const QString abime = chemin("abime-" + nom);
            QVERIFY(ecritOctets(abime, data));
            VideoSource v;
            if (!v.open(abime)) {
                QVERIFY(!v.erreur().isEmpty());
                continue;
            }
            QCOMPARE(numeroImage(v.first().image), 0);
            for (int i = 1; i < v.frameCount(); ++i)
                v.next();
            for (int i = v.frameCount() - 1; i >= 0; --i)
                v.seek(i);
            QCOMPARE(numeroImage(v.seek(2).image), 2);
        }
    }
};

QTEST_GUILESS_MAIN(TestVideoSource)
#include "tst_videosource.moc"
