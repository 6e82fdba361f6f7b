#include "../video/ClipsTest.h"
#include "ExtractionVideo.h"
#include "FileSearch.h"
#include "ImageLoader.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TstExtractionVideo : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_mp4, m_long;

    static QStringList serie(const QString& dossier)
    {
        QStringList r;
        TFileSearch s;
        for (QString f = s.FirstFile(dossier, "*.BMP"); !f.isEmpty(); f = s.NextFile())
            r << QFileInfo(f).fileName();
        return r;
    }

private slots:
    void initTestCase()
    {
        // A phone-style clip (H.264 in MP4, 30 images/s) and one longer than a series.
        m_mp4 = m_dir.filePath("telephone.mp4");
        QVERIFY(fabriqueClip(m_mp4, 12, "30", {"-c:v", "libx264", "-g", "5", "-pix_fmt", "yuv420p"}));
        m_long = m_dir.filePath("long.avi");
        QVERIFY(fabriqueClip(m_long, 140, "25", {"-c:v", "mjpeg", "-q:v", "5"}));
    }

    void imagesDeLaVideo()
    {
        const QString dossier = m_dir.filePath("tampon/videoBmp");
        QList<int> avance;
        const ResultatExtraction r = ExtractionVideo::extrais(m_mp4, dossier, [&](int fait, int total) {
            avance << fait;
            return total == 12;
        });
        QVERIFY2(r.ok(), qPrintable(r.erreur));
        QCOMPARE(r.images, 12);
        QCOMPARE(r.trames, 12);
        QCOMPARE(avance.size(), 12);
        QCOMPARE(avance.last(), 12);
        QVERIFY(std::abs(r.cadence - 30) < 1e-6);
        QVERIFY(std::abs(r.deltat - 1 / 30.0) < 1e-9);
        QCOMPARE(r.codec, QStringLiteral("h264"));
        const QStringList noms = serie(dossier);
        QCOMPARE(noms.size(), 12);
        QCOMPARE(r.premier, dossier + "/videoBmp001.bmp");
        for (int n = 0; n < 12; ++n) {
            QCOMPARE(noms[n], ExtractionVideo::nomImage(n));
            const QImage img = chargeImage(dossier + "/" + noms[n]);
            QCOMPARE(img.size(), QSize(160, 120));
            QCOMPARE(numeroImage(img), n);
        }
    }

    // Frames past what a series holds are not written.
    void auPlus128()
    {
        const QString dossier = m_dir.filePath("t128/videoBmp");
        const ResultatExtraction r = ExtractionVideo::extrais(m_long, dossier);
        QVERIFY2(r.ok(), qPrintable(r.erreur));
        QCOMPARE(r.trames, 140);
        QCOMPARE(r.images, kImagesSerie);
        QCOMPARE(serie(dossier).size(), kImagesSerie);
        QCOMPARE(numeroImage(chargeImage(dossier + "/" + ExtractionVideo::nomImage(127))), 127);
    }

    // Cancelling, or a file that is no video, leaves the earlier series whole and nothing else.
    void annulationSansDemiSerie()
    {
        const QString dossier = m_dir.filePath("annule/videoBmp");
        QVERIFY(ExtractionVideo::extrais(m_mp4, dossier).ok());
        const ResultatExtraction r = ExtractionVideo::extrais(m_long, dossier, [](int fait, int) { return fait < 5; });
        QVERIFY(r.annule);
        QVERIFY(!r.ok());
        QCOMPARE(serie(dossier).size(), 12);
        QCOMPARE(QDir(m_dir.filePath("annule")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{"videoBmp"});

        const QString faux = m_dir.filePath("faux.avi");
        QFile f(faux);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("RIFF pas une video");
        f.close();
        const ResultatExtraction e = ExtractionVideo::extrais(faux, dossier);
        QVERIFY(e.erreur.startsWith(QStringLiteral("Problème avec le codec : ")));
        QCOMPARE(serie(dossier).size(), 12);
    }
};

QTEST_GUILESS_MAIN(TstExtractionVideo)
#include "tst_extractionvideo.moc"
