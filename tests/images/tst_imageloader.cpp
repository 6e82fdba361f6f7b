// Picture files of the still-image tools: JPEG through libjpeg, the others through Qt.
#include "ImageLoader.h"
#include "JpegFabrique.h"

#include <QBuffer>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>
#include <unistd.h>

namespace {

bool ecrit(const QString& chemin, const QByteArray& octets)
{
    QFile f(chemin);
    return f.open(QIODevice::WriteOnly) && f.write(octets) == octets.size();
}

QByteArray lit(const QString& chemin)
{
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Peak resident memory of this process so far, in MB.
long picMemoireMo()
{
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return r.ru_maxrss / 1024;
}

// The same JPEG with the size of its frame header changed (the data stay those of the small one).
QByteArray tailleDeclaree(QByteArray jpeg, int w, int h)
{
    for (int i = 0; i + 9 < jpeg.size(); ++i) {
        if (uchar(jpeg[i]) == 0xFF && (uchar(jpeg[i + 1]) == 0xC0 || uchar(jpeg[i + 1]) == 0xC2)) {
            jpeg[i + 5] = char(h >> 8);
            jpeg[i + 6] = char(h & 0xFF);
            jpeg[i + 7] = char(w >> 8);
            jpeg[i + 8] = char(w & 0xFF);
            break;
        }
    }
    return jpeg;
}

quint32 crc32(const QByteArray& d)
{
    quint32 c = 0xFFFFFFFF;
    for (char ch : d) {
        c ^= uchar(ch);
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320 & (0 - (c & 1)));
    }
    return ~c;
}

// A real PNG whose IHDR (with its checksum) claims another size.
QByteArray pngDeclare(const QByteArray& png, int w, int h)
{
    QByteArray r = png;
    qToBigEndian(quint32(w), r.data() + 16);
    qToBigEndian(quint32(h), r.data() + 20);
    qToBigEndian(crc32(r.mid(12, 17)), r.data() + 29);
    return r;
}

} // namespace

class TstImageLoader : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void jpegAllerRetour()
    {
        QImage im(64, 48, QImage::Format_RGB32);
        im.fill(QColor(200, 40, 30));
        const QString chemin = dir.filePath("a.jpg");
        QVERIFY(sauveJpeg(im, chemin));
        QString erreur;
        const QImage lu = chargeJpeg(chemin, &erreur);
        QVERIFY2(!lu.isNull(), qPrintable(erreur));
        QCOMPARE(lu.format(), QImage::Format_RGB888);
        QCOMPARE(lu.size(), QSize(64, 48));
        const QColor c = lu.pixelColor(30, 20);
        QVERIFY(std::abs(c.red() - 200) < 8 && std::abs(c.green() - 40) < 8 && std::abs(c.blue() - 30) < 8);
    }

    // A grey-level JPEG comes back as 24-bit colour.
    void jpegGris()
    {
        QImage gris(20, 10, QImage::Format_Grayscale8);
        gris.fill(128);
        const QString chemin = dir.filePath("g.jpeg");
        QVERIFY(gris.save(chemin, "JPG"));
        const QImage lu = chargeImage(chemin);
        QCOMPARE(lu.format(), QImage::Format_RGB888);
        QVERIFY(std::abs(lu.pixelColor(5, 5).green() - 128) < 4);
    }

    void echecs_data()
    {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QByteArray>("octets");
        QTest::addColumn<QString>("message");
        QTest::newRow("jpeg tronqué") << "t.jpg" << QByteArray("\xFF\xD8\xFF\xDB\x00\x43", 6) << "JPEG";
        QTest::newRow("pas un jpeg") << "p.jpg" << QByteArray("GIF89a") << "n'est pas un fichier JPEG";
        QTest::newRow("jpeg vide") << "v.jpg" << QByteArray() << "vide";
        QTest::newRow("png faux") << "f.png" << QByteArray("pas une image") << "illisible";
        QTest::newRow("absent") << "" << QByteArray() << "Impossible d'ouvrir";
    }
    void echecs()
    {
        QFETCH(QString, nom);
        QFETCH(QByteArray, octets);
        QFETCH(QString, message);
        QString chemin = dir.filePath(nom.isEmpty() ? "absent.bmp" : nom);
        if (!nom.isEmpty()) {
            QFile f(chemin);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(octets);
        }
        QString erreur;
        QVERIFY(chargeImage(chemin, &erreur).isNull());
        QVERIFY2(erreur.contains(message), qPrintable(erreur));
    }

    // A phone turned sideways: every EXIF orientation comes out upright, in either byte order.
    void orientationExif_data()
    {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<bool>("intel");
        for (int o = 1; o <= 8; ++o) {
            QTest::addRow("%d II", o) << o << true;
            QTest::addRow("%d MM", o) << o << false;
        }
    }
    void orientationExif()
    {
        QFETCH(int, orientation);
        QFETCH(bool, intel);
        const QImage droite = degrade(64, 40);
        const QString chemin = dir.filePath(QStringLiteral("o%1%2.jpg").arg(orientation).arg(intel));
        QVERIFY(ecrit(chemin, avecOrientation(jpegEncre(stockeSelonOrientation(droite, orientation), Encre::Rgb),
                                              orientation, intel)));
        QString erreur;
        const QImage lu = chargeImage(chemin, &erreur);
        QVERIFY2(!lu.isNull(), qPrintable(erreur));
        QCOMPARE(lu.size(), droite.size());
        QVERIFY2(ecartMoyen(lu, droite) < 3, qPrintable(QString::number(ecartMoyen(lu, droite))));
        // Corners: top left is dark red, top right bright red.
        QVERIFY(std::abs(qRed(lu.pixel(1, 1)) - qRed(droite.pixel(1, 1))) < 10);
        QVERIFY(std::abs(qRed(lu.pixel(62, 1)) - qRed(droite.pixel(62, 1))) < 10);
        QVERIFY(std::abs(qGreen(lu.pixel(1, 38)) - qGreen(droite.pixel(1, 38))) < 10);
    }

    // Scanners and print workflows: CMYK (Adobe's inverted inks or plain) and YCCK.
    void cmyk_data()
    {
        QTest::addColumn<int>("encre");
        QTest::addColumn<bool>("progressif");
        QTest::newRow("CMYK Adobe") << int(Encre::CmykAdobe) << false;
        QTest::newRow("CMYK sans Adobe") << int(Encre::CmykSimple) << false;
        QTest::newRow("YCCK Adobe") << int(Encre::YcckAdobe) << false;
        QTest::newRow("YCCK progressif") << int(Encre::YcckAdobe) << true;
    }
    void cmyk()
    {
        QFETCH(int, encre);
        QFETCH(bool, progressif);
        QImage original = degrade(80, 48);
        QPainter(&original).fillRect(10, 10, 16, 16, QColor(250, 240, 20)); // a yellow block
        const QString chemin = dir.filePath(QStringLiteral("cmyk%1%2.jpg").arg(encre).arg(progressif));
        QVERIFY(ecrit(chemin, jpegEncre(original, Encre(encre), progressif)));
        QString erreur;
        const QImage lu = chargeImage(chemin, &erreur);
        QVERIFY2(!lu.isNull(), qPrintable(erreur));
        QCOMPARE(lu.format(), QImage::Format_RGB888);
        QVERIFY2(ecartMoyen(lu, original) < 4, qPrintable(QString::number(ecartMoyen(lu, original))));
        const QColor jaune = lu.pixelColor(18, 18);
        QVERIFY2(jaune.red() > 235 && jaune.green() > 225 && jaune.blue() < 45, qPrintable(jaune.name()));
    }

    // A file cut short shows what it holds and says so; never a silent grey half.
    void jpegCoupe_data()
    {
        QTest::addColumn<bool>("progressif");
        QTest::newRow("séquentiel") << false;
        QTest::newRow("progressif") << true;
    }
    void jpegCoupe()
    {
        QFETCH(bool, progressif);
        const QImage original = degrade(160, 160);
        const QByteArray entier = jpegEncre(original, Encre::Rgb, progressif);
        const QString chemin = dir.filePath(QStringLiteral("coupee%1.jpg").arg(progressif));
        QVERIFY(ecrit(chemin, entier.left(entier.size() / 2)));
        QString erreur, avertissement;
        const QImage lu = chargeImage(chemin, &erreur, &avertissement);
        QVERIFY2(!lu.isNull(), qPrintable(erreur));
        QVERIFY2(avertissement.startsWith(QStringLiteral("Image incomplète : coupee")), qPrintable(avertissement));
        QCOMPARE(lu.width(), 160);
        QVERIFY(lu.height() > 16);
        // The rows kept are the picture's own (the first ones, at least), not filler.
        const QImage haut = lu.copy(0, 0, 160, 16), attendu = original.copy(0, 0, 160, 16);
        QVERIFY2(ecartMoyen(haut, attendu) < (progressif ? 12 : 3), qPrintable(QString::number(ecartMoyen(haut, attendu))));
        if (!progressif)
            QVERIFY(lu.height() < 160);
        // A whole file says nothing.
        QVERIFY(ecrit(chemin, entier));
        avertissement.clear();
        QCOMPARE(chargeImage(chemin, &erreur, &avertissement).height(), 160);
        QVERIFY(avertissement.isEmpty());
    }

    // A header may claim any size: beyond 100 megapixels it is refused with the limit, and
    // below it nothing larger than what the data fill is allocated.
    void tailleDeclareeBornee()
    {
        const QByteArray petit = jpegEncre(degrade(16, 16), Encre::Rgb);
        const QString geant = dir.filePath("geant.jpg");
        QVERIFY(ecrit(geant, tailleDeclaree(petit, 22551, 65024)));
        const long avant = picMemoireMo();
        QString erreur;
        QVERIFY(chargeImage(geant, &erreur).isNull());
        QVERIFY2(erreur.contains(QStringLiteral("100 mégapixels")) && erreur.contains("22551 × 65024"), qPrintable(erreur));

        // 81 megapixels declared, 16 × 16 of data: the rows the data give, and a warning.
        const QString faux = dir.filePath("faux.jpg");
        QVERIFY(ecrit(faux, tailleDeclaree(petit, 9000, 9000)));
        QString avertissement;
        const QImage lu = chargeImage(faux, &erreur, &avertissement);
        QVERIFY2(!lu.isNull(), qPrintable(erreur));
        QVERIFY(lu.height() <= 32);
        QVERIFY(avertissement.contains(QStringLiteral("Image incomplète")));
        const QByteArray prog = tailleDeclaree(jpegEncre(degrade(16, 16), Encre::Rgb, true), 9000, 9000);
        // Progressive: the decoder's whole-picture buffers are what the file could fill.
        QVERIFY(ecrit(faux, prog));
        QVERIFY(chargeImage(faux, &erreur).isNull());
        QVERIFY2(erreur.contains(QStringLiteral("trop court")), qPrintable(erreur));
        // Qt's readers: the header is checked against the limit and the file's size.
        QByteArray png;
        QBuffer b(&png);
        b.open(QIODevice::WriteOnly);
        QVERIFY(degrade(16, 16).save(&b, "PNG"));
        const QString grandPng = dir.filePath("grand.png");
        QVERIFY(ecrit(grandPng, pngDeclare(png, 30000, 30000)));
        QVERIFY(chargeImage(grandPng, &erreur).isNull());
        QVERIFY2(erreur.contains(QStringLiteral("100 mégapixels")), qPrintable(erreur));
        QVERIFY(ecrit(grandPng, pngDeclare(png, 9000, 9000)));
        QVERIFY(chargeImage(grandPng, &erreur).isNull());
        QVERIFY2(erreur.contains(QStringLiteral("trop court")), qPrintable(erreur));
        // A 24-bit copy of 81 megapixels alone is 243 MB.
        QVERIFY2(picMemoireMo() - avant < 100, qPrintable(QString::number(picMemoireMo() - avant)));
    }

    // Qt's reasons are said in French; a 16-bit PNG loads.
    void pngs()
    {
        QImage seize(30, 20, QImage::Format_RGBA64);
        seize.fill(QColor(200, 100, 50));
        const QString chemin = dir.filePath("seize.png");
        QVERIFY(seize.save(chemin, "PNG"));
        QCOMPARE(int(uchar(lit(chemin).at(24))), 16); // bit depth in IHDR
        QString erreur;
        const QImage lu = chargeImage(chemin, &erreur);
        QVERIFY2(!lu.isNull(), qPrintable(erreur));
        QCOMPARE(lu.pixelColor(10, 10), QColor(200, 100, 50));

        const QByteArray entier = lit(chemin);
        const QString coupee = dir.filePath("coupee.png");
        QVERIFY(ecrit(coupee, entier.left(entier.size() - 30)));
        QVERIFY(chargeImage(coupee, &erreur).isNull());
        QVERIFY2(erreur.startsWith(QStringLiteral("Image illisible : coupee.png\n")), qPrintable(erreur));
        for (const char* anglais : {"Unable", "read", "data", "error"})
            QVERIFY2(!erreur.mid(erreur.indexOf('\n')).contains(QLatin1String(anglais)), qPrintable(erreur));
        // A folder named like a picture.
        QVERIFY(QDir(dir.path()).mkpath("dossier.png"));
        QVERIFY(chargeImage(dir.filePath("dossier.png"), &erreur).isNull());
        QVERIFY(erreur.contains(QStringLiteral("Impossible d'ouvrir")));
    }

    // The BMP copy of a picture goes to the temporary folder, one folder per source file.
    void copieBmp()
    {
        const QString tampon = dir.filePath("tampon/");
        const QString a = dir.filePath("a/photo.png"), b = dir.filePath("b/photo.png");
        const QString ca = ecritCopieBmp(degrade(8, 6), a, tampon);
        const QString cb = ecritCopieBmp(QImage(3, 3, QImage::Format_RGB888), b, tampon);
        QVERIFY(ca.startsWith(tampon) && cb.startsWith(tampon));
        QVERIFY(ca.endsWith("/photo.bmp") && cb.endsWith("/photo.bmp"));
        QVERIFY(ca != cb);
        QCOMPARE(QImage(ca).size(), QSize(8, 6));
        QCOMPARE(QFileInfo(QFileInfo(ca).path()).path().section('/', -1), QStringLiteral("kinexo-images-%1").arg(getuid()));
        QCOMPARE(QFileInfo(QFileInfo(QFileInfo(ca).path()).path()).path() + "/", tampon);
        QVERIFY(!QFileInfo::exists(dir.filePath("a/photo.bmp")));
    }

    void bmp24()
    {
        QImage im(5, 3, QImage::Format_ARGB32);
        im.fill(QColor(10, 20, 30));
        const QString chemin = dir.filePath("b.bmp");
        QVERIFY(sauveBmp(im, chemin));
        const QImage lu = chargeImage(chemin);
        QCOMPARE(lu.format(), QImage::Format_RGB888);
        QCOMPARE(lu.pixelColor(4, 2), QColor(10, 20, 30));
        QVERIFY(!sauveBmp(im, dir.filePath("absent/b.bmp")));
    }
};

QTEST_GUILESS_MAIN(TstImageLoader)
#include "tst_imageloader.moc"
