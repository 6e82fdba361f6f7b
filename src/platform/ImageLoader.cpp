#include "ImageLoader.h"

#include "AtomicFile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace {

struct ErreurJpeg
{
    jpeg_error_mgr pub;
    std::jmp_buf saut;
    char message[JMSG_LENGTH_MAX];
};

void sortieErreurJpeg(j_common_ptr cinfo)
{
    auto* e = reinterpret_cast<ErreurJpeg*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, e->message);
    std::longjmp(e->saut, 1);
}

void silence(j_common_ptr) {}

void poseErreur(QString* erreur, const QString& texte)
{
    if (erreur)
        *erreur = texte;
}

QString nomCourt(const QString& chemin)
{
    return QFileInfo(chemin).fileName();
}

// Decodes from memory so the file is read once and no FILE* crosses a longjmp.
QImage decodeJpeg(const QByteArray& octets, QString* erreur, const QString& chemin)
{
    jpeg_decompress_struct cinfo;
    ErreurJpeg err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = sortieErreurJpeg;
    err.pub.output_message = silence;
    err.message[0] = 0;
    QImage image;
    if (setjmp(err.saut)) {
        jpeg_destroy_decompress(&cinfo);
        poseErreur(erreur, QStringLiteral("Fichier JPEG illisible : %1\n%2")
                               .arg(nomCourt(chemin), QString::fromLocal8Bit(err.message)));
        return QImage();
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(octets.constData()),
                 static_cast<unsigned long>(octets.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_components != 3) {
        jpeg_destroy_decompress(&cinfo);
        poseErreur(erreur, QStringLiteral("Fichier JPEG non géré : %1").arg(nomCourt(chemin)));
        return QImage();
    }
    image = QImage(int(cinfo.output_width), int(cinfo.output_height), QImage::Format_RGB888);
    if (image.isNull()) {
        jpeg_destroy_decompress(&cinfo);
        poseErreur(erreur, QStringLiteral("Image trop grande : %1").arg(nomCourt(chemin)));
        return QImage();
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW ligne = image.scanLine(int(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &ligne, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return image;
}

} // namespace

QImage chargeJpeg(const QString& chemin, QString* erreur)
{
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly)) {
        poseErreur(erreur, QStringLiteral("Impossible d'ouvrir le fichier %1").arg(chemin));
        return QImage();
    }
    const QByteArray octets = f.readAll();
    if (octets.isEmpty()) {
        poseErreur(erreur, QStringLiteral("Fichier JPEG vide : %1").arg(nomCourt(chemin)));
        return QImage();
    }
    return decodeJpeg(octets, erreur, chemin);
}

QImage chargeImage(const QString& chemin, QString* erreur)
{
    const QString ext = QFileInfo(chemin).suffix().toUpper();
    if (ext == QLatin1String("JPG") || ext == QLatin1String("JPEG"))
        return chargeJpeg(chemin, erreur);
    if (!QFileInfo::exists(chemin)) {
        poseErreur(erreur, QStringLiteral("Impossible d'ouvrir le fichier %1").arg(chemin));
        return QImage();
    }
    QImageReader lecteur(chemin);
    lecteur.setDecideFormatFromContent(true);
    QImage image = lecteur.read();
    if (image.isNull()) {
        poseErreur(erreur, QStringLiteral("Image illisible : %1\n%2")
                               .arg(nomCourt(chemin), lecteur.errorString()));
        return QImage();
    }
    return image.convertToFormat(QImage::Format_RGB888);
}

bool sauveJpeg(const QImage& image, const QString& chemin, QString* erreur, int qualite)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct cinfo;
    ErreurJpeg err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = sortieErreurJpeg;
    err.pub.output_message = silence;
    unsigned char* tampon = nullptr;
    unsigned long taille = 0;
    if (setjmp(err.saut)) {
        jpeg_destroy_compress(&cinfo);
        std::free(tampon);
        poseErreur(erreur, QStringLiteral("Erreur de compression JPEG : %1")
                               .arg(QString::fromLocal8Bit(err.message)));
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &tampon, &taille);
    cinfo.image_width = JDIMENSION(rgb.width());
    cinfo.image_height = JDIMENSION(rgb.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, qualite, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW ligne = const_cast<JSAMPROW>(rgb.constScanLine(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &ligne, 1);
    }
    jpeg_finish_compress(&cinfo);
    const QByteArray octets(reinterpret_cast<const char*>(tampon), qsizetype(taille));
    jpeg_destroy_compress(&cinfo);
    std::free(tampon);
    if (!writeFileAtomically(chemin, octets)) {
        poseErreur(erreur, QStringLiteral("Erreur d'écriture du fichier %1").arg(chemin));
        return false;
    }
    return true;
}

bool sauveBmp(const QImage& image, const QString& chemin, QString* erreur)
{
    QByteArray octets;
    QBuffer buf(&octets);
    buf.open(QIODevice::WriteOnly);
    if (!image.convertToFormat(QImage::Format_RGB888).save(&buf, "BMP")
        || !writeFileAtomically(chemin, octets)) {
        poseErreur(erreur, QStringLiteral("Erreur d'écriture du fichier %1").arg(chemin));
        return false;
    }
    return true;
}
