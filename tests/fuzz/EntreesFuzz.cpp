#include "EntreesFuzz.h"

#include "ImageLoader.h"
#include "LectureWav.h"
#include "Mp3Decoder.h"
#include "NumberText.h"
#include "PageTabulo.h"
#include "VideoSource.h"

#include <QDir>
#include <QHash>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <cmath>

namespace {

// A wrong read-back of a number text is a fault, not a refusal: stop right there.
[[noreturn]] void faute(const char* quoi)
{
    fprintf(stderr, "faute : %s\n", quoi);
    abort();
}

Verdict lisWav(const QString& chemin)
{
    TvecteurSon son;
    const TresultatWav r = litFichierWav(chemin, son);
    Verdict v;
    v.lu = r.etat == TresultatWav::Lu;
    v.message = v.lu ? QString() : r.erreur;
    v.details = QStringLiteral("%1 Hz, %2 canaux, %3 points").arg(r.FreqEch).arg(r.canaux).arg(r.NbrePoints);
    return v;
}

Verdict lisSon(const QString& chemin)
{
    QTemporaryDir dir;
    const QString wav = dir.path() + QStringLiteral("/son.wav");
    QString erreur;
    if (!Mp3Decoder::decode(chemin, wav, [](int) {}, &erreur))
        return {false, erreur, {}};
    return lisWav(wav);
}

Verdict lisImage(const QString& chemin)
{
    QString erreur;
    const QImage image = chargeImage(chemin, &erreur);
    if (image.isNull())
        return {false, erreur, {}};
    return {true, {}, QStringLiteral("%1 x %2").arg(image.width()).arg(image.height())};
}

Verdict lisVideo(const QString& chemin, const QString& temoin)
{
    VideoSource source;
    int imagesTemoin = -1;
    if (!temoin.isEmpty()) {
        if (!source.open(temoin))
            return {false, QStringLiteral("témoin illisible : ") + source.erreur(), {}};
        imagesTemoin = source.frameCount();
    }
    if (!source.open(chemin)) {
        Verdict v{false, source.erreur(), {}};
        // The file open before stays open, as it was.
        if (imagesTemoin >= 0
            && (!source.isOpen() || source.fileName() != temoin || source.frameCount() != imagesTemoin))
            v.message = QStringLiteral("le fichier ouvert avant a été perdu");
        return v;
    }
    Verdict v;
    v.details = QStringLiteral("%1 images, %2 x %3, %4 s")
                    .arg(source.frameCount())
                    .arg(source.size().width())
                    .arg(source.size().height())
                    .arg(source.duration());
    const VideoSource::Frame premiere = source.first();
    const VideoSource::Frame derniere = source.last();
    v.lu = premiere.isValid() && derniere.isValid();
    if (!v.lu)
        v.message = source.erreur();
    for (double t : {premiere.time, derniere.time})
        if (!std::isfinite(t) || t < 0)
            v = {false, QStringLiteral("temps d'image impossible"), v.details};
    return v;
}

// Each line is typed as a number; what is read must read back from its own text.
Verdict lisNombres(const QByteArray& octets)
{
    const QStringList lignes = QString::fromUtf8(octets).split(QLatin1Char('\n'));
    int lus = 0;
    for (const QChar sep : {QLatin1Char('.'), QLatin1Char(',')}) {
        setSeparateurDecimal(sep);
        for (const QString& ligne : lignes) {
            const std::optional<double> x = LitNombre(ligne);
            if (!x || !std::isfinite(*x))
                continue;
            ++lus;
            for (const QString& texte : {TexteNombre(*x), TexteNombrePoint(*x)}) {
                const std::optional<double> y = LitNombre(texte);
                if (!y)
                    faute("le texte d'un nombre ne se relit pas");
                if (std::abs(*y - *x) > 1e-5 * std::abs(*x) + 1e-300)
                    faute("le texte d'un nombre se relit faux");
            }
        }
    }
    setSeparateurDecimal(QLatin1Char('.'));
    return {true, {}, QStringLiteral("%1 nombres").arg(lus)};
}

Verdict lisPage(const QByteArray& octets)
{
    const auto page = PageTabulo::lis(QString::fromUtf8(octets));
    if (!page)
        return {false, QStringLiteral("page refusée"), {}};
    for (const auto& [x, y] : page->courbes(&*page))
        if (x >= page->noms.size() || y >= page->noms.size())
            faute("courbe hors des colonnes");
    for (const auto& ligne : page->lignes)
        if (ligne.size() != page->noms.size())
            faute("ligne de longueur fausse");
    return {true, {}, QStringLiteral("%1 colonnes, %2 lignes").arg(page->noms.size()).arg(page->lignes.size())};
}

QByteArray contenu(const QString& chemin)
{
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

Lecteur lecteurPour(const QString& chemin)
{
    const QString ext = QFileInfo(chemin).suffix().toLower();
    if (ext == QLatin1String("wav"))
        return Lecteur::Wav;
    if (QStringList{"mp3", "m4a", "aac", "ogg", "oga", "opus", "flac"}.contains(ext))
        return Lecteur::Son;
    if (QStringList{"jpg", "jpeg", "png", "gif", "bmp"}.contains(ext))
        return Lecteur::Image;
    if (QStringList{"avi", "mp4", "mov", "mpg", "mpeg", "mkv", "webm", "m4v", "3gp"}.contains(ext))
        return Lecteur::Video;
    if (ext == QLatin1String("nombres"))
        return Lecteur::Nombres;
    if (ext == QLatin1String("tabulo"))
        return Lecteur::PageTabulo;
    return Lecteur::Aucun;
}

QString extensionPour(Lecteur l)
{
    switch (l) {
    case Lecteur::Wav: return QStringLiteral("wav");
    case Lecteur::Son: return QStringLiteral("mp3");
    case Lecteur::Image: return QStringLiteral("jpg");
    case Lecteur::Video: return QStringLiteral("avi");
    case Lecteur::Nombres: return QStringLiteral("nombres");
    case Lecteur::PageTabulo: return QStringLiteral("tabulo");
    case Lecteur::Aucun: break;
    }
    return {};
}

Lecteur lecteurNomme(const QString& nom)
{
    static const QHash<QString, Lecteur> noms{{"wav", Lecteur::Wav},         {"son", Lecteur::Son},
                                              {"image", Lecteur::Image},     {"video", Lecteur::Video},
                                              {"nombres", Lecteur::Nombres}, {"pagetabulo", Lecteur::PageTabulo}};
    return noms.value(nom, Lecteur::Aucun);
}

Verdict essaie(Lecteur l, const QString& chemin, const QString& temoin)
{
    switch (l) {
    case Lecteur::Wav: return lisWav(chemin);
    case Lecteur::Son: return lisSon(chemin);
    case Lecteur::Image: return lisImage(chemin);
    case Lecteur::Video: return lisVideo(chemin, temoin);
    case Lecteur::Nombres: return lisNombres(contenu(chemin));
    case Lecteur::PageTabulo: return lisPage(contenu(chemin));
    case Lecteur::Aucun: break;
    }
    return {false, QStringLiteral("aucun lecteur pour ce fichier"), {}};
}

Verdict essaieOctets(Lecteur l, const QByteArray& octets)
{
    if (l == Lecteur::Nombres)
        return lisNombres(octets);
    if (l == Lecteur::PageTabulo)
        return lisPage(octets);
    QString extension = extensionPour(l);
    QByteArray corps = octets;
    // Pictures are read by extension: the first byte chooses which.
    if (l == Lecteur::Image && !corps.isEmpty()) {
        static const char* const extensions[] = {"jpg", "png", "gif", "bmp"};
        extension = QLatin1String(extensions[uchar(corps[0]) % 4]);
        corps.remove(0, 1);
    }
    QTemporaryFile f(QDir::tempPath() + QStringLiteral("/kinexo-fuzz-XXXXXX.") + extension);
    if (!f.open() || f.write(corps) != corps.size() || !f.flush())
        return {false, QStringLiteral("écriture impossible"), {}};
    f.close();
    return essaie(l, f.fileName());
}

bool messageLisible(const QString& message)
{
    if (message.trimmed().isEmpty())
        return false;
    static const QRegularExpression anglais(
        QStringLiteral("\\b(error|invalid|unable|cannot|can't|could not|failed|failure|unsupported|"
                       "not supported|unknown|no such|not found|end of file|premature|bogus|"
                       "image data)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    return !anglais.match(message).hasMatch();
}
