#include "ImageLoader.h"

#include "AtomicFile.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTransform>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>
#include <unistd.h>

namespace {

// Pictures per byte of file that Qt's readers may be asked to build: a 1-bit PNG at deflate's
// best ratio stays below 8 300 pixels per byte, a GIF below 3 000. A header that claims more
// describes a picture the file cannot hold.
constexpr qint64 kPixelsParOctet = 16384;
// libjpeg's own whole-picture buffers (progressive files) are bounded the same way.
constexpr long kMemoireJpegMin = 64L << 20;
constexpr long kMemoireJpegParOctet = 4096;

struct ErreurJpeg
{
    jpeg_error_mgr pub;
    std::jmp_buf saut;
    char message[JMSG_LENGTH_MAX];
    bool coupe = false; // data ran out or broke off: what follows is filler
};

void sortieErreurJpeg(j_common_ptr cinfo)
{
    auto* e = reinterpret_cast<ErreurJpeg*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, e->message);
    std::longjmp(e->saut, 1);
}

void avertissementJpeg(j_common_ptr cinfo, int niveau)
{
    if (niveau >= 0)
        return;
    auto* e = reinterpret_cast<ErreurJpeg*>(cinfo->err);
    ++e->pub.num_warnings;
    if (e->pub.msg_code == JWRN_JPEG_EOF || e->pub.msg_code == JWRN_HIT_MARKER)
        e->coupe = true;
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

QString texteTropGrande(const QString& chemin, qint64 w, qint64 h)
{
    return QStringLiteral("Image trop grande : %1 (%2 × %3 pixels).\nLa limite est de %4 mégapixels.")
        .arg(nomCourt(chemin)).arg(w).arg(h).arg(kPixelsMax / 1'000'000);
}

QString texteTropCourt(const QString& chemin, qint64 w, qint64 h)
{
    return QStringLiteral("Image illisible : %1\nLe fichier est trop court pour une image de %2 × %3 pixels.")
        .arg(nomCourt(chemin)).arg(w).arg(h);
}

// libjpeg's reasons, said in French.
QString raisonJpeg(int code)
{
    switch (code) {
    case JERR_NO_SOI: return QStringLiteral("ce n'est pas un fichier JPEG.");
    case JERR_INPUT_EMPTY: return QStringLiteral("le fichier est vide.");
    case JERR_OUT_OF_MEMORY: return QStringLiteral("mémoire insuffisante pour une image de cette taille.");
    case JERR_IMAGE_TOO_BIG:
    case JERR_WIDTH_OVERFLOW: return QStringLiteral("dimensions de l'image trop grandes.");
    case JERR_CONVERSION_NOTIMPL:
    case JERR_BAD_J_COLORSPACE: return QStringLiteral("espace de couleurs non géré.");
    case JERR_SOF_UNSUPPORTED:
    case JERR_BAD_PRECISION: return QStringLiteral("variante de JPEG non gérée.");
    case JERR_NO_IMAGE:
    case JERR_EMPTY_IMAGE: return QStringLiteral("le fichier ne contient pas d'image.");
    default: return QStringLiteral("données endommagées ou incomplètes.");
    }
}

// Orientation tag (0x0112) of the EXIF block of an APP1 segment; 1 (upright) when absent.
int orientationExif(const unsigned char* d, unsigned n)
{
    if (n < 14 || std::memcmp(d, "Exif\0\0", 6) != 0)
        return 1;
    d += 6;
    n -= 6;
    const bool intel = d[0] == 'I' && d[1] == 'I';
    if (!intel && !(d[0] == 'M' && d[1] == 'M'))
        return 1;
    auto u16 = [&](unsigned o) { return intel ? unsigned(d[o] | d[o + 1] << 8) : unsigned(d[o] << 8 | d[o + 1]); };
    auto u32 = [&](unsigned o) {
        return intel ? quint32(u16(o) | quint32(u16(o + 2)) << 16) : quint32(quint32(u16(o)) << 16 | u16(o + 2));
    };
    if (u16(2) != 42)
        return 1;
    const quint32 ifd = u32(4);
    if (ifd > n - 2)
        return 1;
    const unsigned entrees = u16(ifd);
    for (unsigned i = 0; i < entrees; ++i) {
        const quint64 e = quint64(ifd) + 2 + 12ull * i;
        if (e + 12 > n)
            break;
        if (u16(unsigned(e)) == 0x0112 && u16(unsigned(e) + 2) == 3) {
            const unsigned v = u16(unsigned(e) + 8);
            return v >= 1 && v <= 8 ? int(v) : 1;
        }
    }
    return 1;
}

// The upright picture from the stored one, as EXIF orientation o describes the stored rows.
QImage redresse(const QImage& image, int o)
{
    switch (o) {
    case 2: return image.mirrored(true, false);
    case 3: return image.transformed(QTransform().rotate(180));
    case 4: return image.mirrored(false, true);
    case 5: return image.transformed(QTransform().rotate(90)).mirrored(true, false);
    case 6: return image.transformed(QTransform().rotate(90));
    case 7: return image.transformed(QTransform().rotate(270)).mirrored(true, false);
    case 8: return image.transformed(QTransform().rotate(270));
    default: return image;
    }
}

// What the decoder fills; it lives outside the frame that longjmp returns to.
struct Decodage
{
    jpeg_decompress_struct cinfo;
    ErreurJpeg err;
    std::vector<unsigned char> pixels; // grows row by row as scan lines arrive
    std::vector<unsigned char> ligneCmyk;
    qint64 largeur = 0, hauteur = 0, lignes = 0, octetsParLigne = 0;
    int orientation = 1;
    bool cmyk = false, adobe = false, tropGrande = false, incomplete = false;
};

// CMYK to RGB; Adobe's files store the four inks inverted (YCCK comes out of libjpeg the same way).
void cmykVersRgb(const unsigned char* s, unsigned char* d, qint64 n, bool inverse)
{
    for (qint64 i = 0; i < n; ++i, s += 4, d += 3) {
        const int c = inverse ? s[0] : 255 - s[0], m = inverse ? s[1] : 255 - s[1];
        const int y = inverse ? s[2] : 255 - s[2], k = inverse ? s[3] : 255 - s[3];
        d[0] = static_cast<unsigned char>((c * k + 127) / 255);
        d[1] = static_cast<unsigned char>((m * k + 127) / 255);
        d[2] = static_cast<unsigned char>((y * k + 127) / 255);
    }
}

// Runs libjpeg over the bytes; false when it raised an error (message in d.err.message).
bool decode(Decodage& d, const QByteArray& octets)
{
    jpeg_decompress_struct& cinfo = d.cinfo;
    if (setjmp(d.err.saut))
        return false;
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(octets.constData()),
                 static_cast<unsigned long>(octets.size()));
    jpeg_save_markers(&cinfo, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&cinfo, TRUE);
    d.largeur = cinfo.image_width;
    d.hauteur = cinfo.image_height;
    if (d.largeur * d.hauteur > kPixelsMax) {
        d.tropGrande = true;
        return true;
    }
    for (jpeg_saved_marker_ptr m = cinfo.marker_list; m; m = m->next)
        if (m->marker == JPEG_APP0 + 1 && d.orientation == 1)
            d.orientation = orientationExif(m->data, m->data_length);
    d.cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    d.adobe = cinfo.saw_Adobe_marker;
    cinfo.out_color_space = d.cmyk ? JCS_CMYK : JCS_RGB;
    cinfo.mem->max_memory_to_use = std::max(kMemoireJpegMin, long(std::min<qint64>(octets.size(), 1L << 20)) * kMemoireJpegParOctet);
    jpeg_start_decompress(&cinfo);
    // A progressive file is read whole at the start: a cut there still gives every row.
    const bool couperAuxLignes = !d.err.coupe;
    d.octetsParLigne = (qint64(cinfo.output_width) * 3 + 3) & ~qint64(3);
    if (d.cmyk)
        d.ligneCmyk.resize(size_t(cinfo.output_width) * 4);
    while (cinfo.output_scanline < cinfo.output_height) {
        d.pixels.resize(size_t((d.lignes + 1) * d.octetsParLigne));
        unsigned char* cible = d.pixels.data() + d.lignes * d.octetsParLigne;
        JSAMPROW ligne = d.cmyk ? d.ligneCmyk.data() : cible;
        if (jpeg_read_scanlines(&cinfo, &ligne, 1) != 1)
            break;
        if (d.cmyk)
            cmykVersRgb(d.ligneCmyk.data(), cible, cinfo.output_width, d.adobe);
        ++d.lignes;
        // Past a cut the decoder only makes grey: keep what the file held.
        if (d.err.coupe && couperAuxLignes)
            break;
    }
    d.incomplete = d.err.coupe;
    if (cinfo.output_scanline < cinfo.output_height)
        jpeg_abort_decompress(&cinfo);
    else
        jpeg_finish_decompress(&cinfo);
    return true;
}

// Start of the last marker segment: where a file cut inside a table (between the scans of a
// progressive file) still holds every scan before it.
qsizetype debutDernierMarqueur(const QByteArray& o)
{
    for (qsizetype i = o.size() - 2; i > 2; --i) {
        const uchar m = uchar(o[i + 1]);
        if (uchar(o[i]) == 0xFF && m != 0x00 && m != 0xFF && !(m >= 0xD0 && m <= 0xD7))
            return i;
    }
    return -1;
}

QImage decodeJpeg(const QByteArray& octets, const QString& chemin, QString* erreur, QString* avertissement)
{
    std::unique_ptr<Decodage> d;
    bool ok = false, recoupe = false;
    int code = 0;
    QByteArray donnees = octets;
    for (int essai = 0; essai < 2; ++essai) {
        d = std::make_unique<Decodage>();
        d->cinfo.err = jpeg_std_error(&d->err.pub);
        d->err.pub.error_exit = sortieErreurJpeg;
        d->err.pub.output_message = silence;
        d->err.pub.emit_message = avertissementJpeg;
        d->err.message[0] = 0;
        ok = decode(*d, donnees);
        code = d->err.pub.msg_code;
        const bool coupe = d->err.coupe;
        jpeg_destroy_decompress(&d->cinfo);
        // A file that ran out inside a marker segment: once more without that last segment.
        if (ok || !coupe || essai > 0 || code == JERR_NO_BACKING_STORE)
            break;
        const qsizetype fin = debutDernierMarqueur(donnees);
        if (fin <= 0)
            break;
        donnees.truncate(fin);
        recoupe = true;
    }
    if (ok && recoupe)
        d->incomplete = true;
    if (!ok && code == JERR_NO_BACKING_STORE) {
        // Only the bound on the decoder's memory asks for a backing store.
        poseErreur(erreur, texteTropCourt(chemin, d->largeur, d->hauteur));
        return QImage();
    }
    if (!ok) {
        poseErreur(erreur, QStringLiteral("Fichier JPEG illisible : %1\n%2").arg(nomCourt(chemin), raisonJpeg(code)));
        return QImage();
    }
    if (d->tropGrande) {
        poseErreur(erreur, texteTropGrande(chemin, d->largeur, d->hauteur));
        return QImage();
    }
    if (d->lignes == 0) {
        poseErreur(erreur, QStringLiteral("Fichier JPEG illisible : %1\n%2").arg(nomCourt(chemin), raisonJpeg(0)));
        return QImage();
    }
    d->pixels.resize(size_t(d->lignes * d->octetsParLigne));
    auto* tampon = new std::vector<unsigned char>(std::move(d->pixels));
    QImage image(tampon->data(), int(d->largeur), int(d->lignes), qsizetype(d->octetsParLigne), QImage::Format_RGB888,
                 [](void* p) { delete static_cast<std::vector<unsigned char>*>(p); }, tampon);
    if (d->incomplete)
        poseErreur(avertissement,
                   QStringLiteral("Image incomplète : %1\nLa fin du fichier manque ou est endommagée ; %2")
                       .arg(nomCourt(chemin),
                            d->lignes < d->hauteur
                                ? QStringLiteral("seule la partie lue (%1 %) est affichée.")
                                      .arg(d->lignes * 100 / std::max<qint64>(1, d->hauteur))
                                // A progressive file gives every row, its last details missing.
                                : QStringLiteral("l'image est affichée telle qu'elle a pu être lue.")));
    return redresse(image, d->orientation);
}

// Qt's reasons, said in French.
QString raisonQt(QImageReader::ImageReaderError e)
{
    switch (e) {
    case QImageReader::FileNotFoundError: return QStringLiteral("Fichier introuvable.");
    case QImageReader::DeviceError: return QStringLiteral("Erreur de lecture du fichier.");
    case QImageReader::UnsupportedFormatError: return QStringLiteral("Format d'image non reconnu.");
    case QImageReader::InvalidDataError: return QStringLiteral("Données de l'image endommagées ou incomplètes.");
    default: return QStringLiteral("Données de l'image illisibles.");
    }
}

// This user's folder for picture copies inside the temporary folder, made private; empty when
// something else (another user, a link) holds that name.
QString dossierConversions(const QString& tampon)
{
    const QString dossier = QDir(tampon).filePath(QStringLiteral("kinexo-images-%1").arg(::getuid()));
    if (!QDir().mkpath(dossier))
        return QString();
    const QFileInfo fi(dossier);
    if (fi.isSymLink() || !fi.isDir() || fi.ownerId() != ::getuid())
        return QString();
    QFile::setPermissions(dossier, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return dossier;
}

} // namespace

QImage chargeJpeg(const QString& chemin, QString* erreur, QString* avertissement)
{
    QFile f(chemin);
    if (!QFileInfo(chemin).isFile() || !f.open(QIODevice::ReadOnly)) {
        poseErreur(erreur, QStringLiteral("Impossible d'ouvrir le fichier %1").arg(chemin));
        return QImage();
    }
    const QByteArray octets = f.readAll();
    if (octets.isEmpty()) {
        poseErreur(erreur, QStringLiteral("Fichier JPEG vide : %1").arg(nomCourt(chemin)));
        return QImage();
    }
    return decodeJpeg(octets, chemin, erreur, avertissement);
}

QImage chargeImage(const QString& chemin, QString* erreur, QString* avertissement)
{
    const QString ext = QFileInfo(chemin).suffix().toUpper();
    if (ext == QLatin1String("JPG") || ext == QLatin1String("JPEG"))
        return chargeJpeg(chemin, erreur, avertissement);
    const QFileInfo fi(chemin);
    if (!fi.isFile()) {
        poseErreur(erreur, QStringLiteral("Impossible d'ouvrir le fichier %1").arg(chemin));
        return QImage();
    }
    // Room for the largest picture accepted, decoded at 4 bytes per pixel.
    static const bool limite = [] {
        QImageReader::setAllocationLimit(int(kPixelsMax * 4 / (1 << 20)) + 64);
        return true;
    }();
    Q_UNUSED(limite);
    QImageReader lecteur(chemin);
    lecteur.setDecideFormatFromContent(true);
    lecteur.setAutoTransform(true);
    const QSize taille = lecteur.size();
    if (taille.isValid()) {
        const qint64 pixels = qint64(taille.width()) * taille.height();
        if (pixels > kPixelsMax) {
            poseErreur(erreur, texteTropGrande(chemin, taille.width(), taille.height()));
            return QImage();
        }
        if (pixels > (fi.size() + 1024) * kPixelsParOctet) {
            poseErreur(erreur, texteTropCourt(chemin, taille.width(), taille.height()));
            return QImage();
        }
    }
    QImage image = lecteur.read();
    if (image.isNull()) {
        poseErreur(erreur, QStringLiteral("Image illisible : %1\n%2").arg(nomCourt(chemin), raisonQt(lecteur.error())));
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
        poseErreur(erreur, QStringLiteral("Erreur de compression JPEG : %1").arg(raisonJpeg(err.pub.msg_code)));
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

QString ecritCopieBmp(const QImage& image, const QString& source, const QString& tampon, QString* erreur)
{
    const QString racine = dossierConversions(tampon);
    // One folder per source file: two "photo.gif" of different folders keep their own copy.
    const QFileInfo fi(source);
    const QString cle = QString::fromLatin1(
        QCryptographicHash::hash(fi.absoluteFilePath().toUtf8(), QCryptographicHash::Sha1).toHex().left(12));
    const QString dossier = racine + QLatin1Char('/') + cle;
    if (racine.isEmpty() || !QDir().mkpath(dossier)) {
        poseErreur(erreur, QStringLiteral("Impossible de créer le dossier temporaire pour convertir %1").arg(fi.fileName()));
        return QString();
    }
    const QString bmp = dossier + QLatin1Char('/') + fi.completeBaseName() + QStringLiteral(".bmp");
    if (!sauveBmp(image, bmp, erreur))
        return QString();
    return bmp;
}
