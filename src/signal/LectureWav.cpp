#include "LectureWav.h"

#include "Mp3Decoder.h"
#include "NumberText.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
quint32 lit32(const char* p)
{
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return quint32(u[0]) | quint32(u[1]) << 8 | quint32(u[2]) << 16 | quint32(u[3]) << 24;
}
quint16 lit16(const char* p)
{
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return quint16(u[0] | u[1] << 8);
}
bool identifiantPlausible(const QByteArray& id)
{
    if (id.size() != 4)
        return false;
    for (char c : id)
        if (c < 0x20 || c > 0x7E)
            return false;
    return true;
}

struct Morceaux
{
    qint64 fmt = -1;  // offset of the "fmt " contents
    quint32 tailleFmt = 0;
    qint64 data = -1;  // offset of the "data" header
};

// Walks the RIFF chunks one by one, so that a "data" pattern inside another chunk is never
// taken for the data chunk. Odd chunks are padded, unless a writer forgot the pad byte.
Morceaux chercheMorceaux(QFile& f, qint64 tailleFichier)
{
    Morceaux m;
    qint64 pos = 12;
    while (pos + 8 <= tailleFichier) {
        f.seek(pos);
        const QByteArray entete = f.read(8);
        if (entete.size() < 8)
            break;
        const QByteArray id = entete.left(4);
        const quint32 taille = lit32(entete.constData() + 4);
        if (id == "fmt " && m.fmt < 0) {
            m.fmt = pos + 8;
            m.tailleFmt = taille;
        } else if (id == "data") {
            m.data = pos;
            break;
        }
        qint64 suivant = pos + 8 + qint64(taille);
        if (taille & 1) {
            f.seek(suivant + 1);
            const QByteArray avecPad = f.read(4);
            f.seek(suivant);
            const QByteArray sansPad = f.read(4);
            if (identifiantPlausible(avecPad) || !identifiantPlausible(sansPad))
                ++suivant;
        }
        pos = suivant;
    }
    return m;
}
}

QString texteFixe(double x, int precision, int decimales)
{
    if (!std::isfinite(x) || std::fabs(x) >= std::pow(10.0, precision))
        return TexteNombre(x);
    // Round to the significant digits first, then show the decimals.
    const QString s = QString::number(QString::number(x, 'g', precision).toDouble(), 'f', decimales);
    return QString(s).replace('.', separateurDecimal());
}

int pasTracePour(int NbrePoints, int largeurPixels)
{
    if (largeurPixels <= 0)
        return 1;
    const int q = NbrePoints / largeurPixels;
    if (q <= 1)
        return 1;
    int p = 1;
    while (p < q)
        p *= 2;
    return p;
}

namespace {
// Highest sampling frequency taken as real; beyond, the header is damaged.
constexpr quint32 frequenceMax = 1000000;
constexpr quint16 formatPcm = 1, formatFlottant = 3, formatExtensible = 0xFFFE;

// 32-bit float samples, as 16-bit words (clipped at full scale).
QByteArray flottantsEn16(const QByteArray& octets)
{
    const qsizetype n = octets.size() / 4;
    QByteArray r(n * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < n; ++i) {
        float v;
        std::memcpy(&v, octets.constData() + 4 * i, 4);
        const double x = std::isfinite(v) ? std::clamp(double(v), -1.0, 1.0) : 0.0;
        const qint16 m = qint16(std::clamp(std::lround(x * 32768.0), -32768L, 32767L));
        r[2 * i] = char(quint16(m) & 0xFF);
        r[2 * i + 1] = char(quint16(m) >> 8);
    }
    return r;
}
}

TresultatWav litFichierWav(const QString& chemin, TvecteurSon& son)
{
    TresultatWav r;
    r.nomFichier = chemin;
    if (!QFileInfo::exists(chemin))
        return r;
    r.etat = TresultatWav::Erreur;
    auto echec = [&](const QString& texte, const QString& detail = QString()) {
        r.etat = TresultatWav::Erreur;
        r.erreur = texte;
        r.detail = detail;
        r.nomFichier.clear();
        r.titre = titreLectureSon;
        r.NbrePoints = 0;
        son.vide();
        return r;
    };
    const QString nonReconnu = QStringLiteral("Format du fichier WAV non reconnu");

    QFile f(chemin);
    if (QFileInfo(chemin).isDir() || !f.open(QIODevice::ReadOnly))
        return echec(QStringLiteral("Problème d'ouverture"), QStringLiteral("le fichier ne peut pas être lu"));
    const qint64 tailleFichier = f.size();
    const QByteArray entete = f.read(12);
    const quint32 tailleRiff = entete.size() >= 8 ? lit32(entete.constData() + 4) : 0;
    const bool riff = entete.size() >= 12 && entete.startsWith("RIFF") && entete.mid(8, 4) == "WAVE";

    const Morceaux m = chercheMorceaux(f, tailleFichier);
    QByteArray fmt;
    if (m.fmt >= 0) {
        f.seek(m.fmt);
        fmt = f.read(std::min<qint64>(m.tailleFmt, 40));
    }
    if (fmt.size() < 16)
        return echec(nonReconnu, riff ? QStringLiteral("la description du format manque")
                                      : QStringLiteral("ce n'est pas un fichier son WAV"));
    quint16 code = lit16(fmt.constData());
    if (code == formatExtensible && fmt.size() >= 26)
        code = lit16(fmt.constData() + 24);
    r.canaux = lit16(fmt.constData() + 2);
    r.FreqEch = lit32(fmt.constData() + 4);
    r.bits = lit16(fmt.constData() + 14);
    const bool flottant = code == formatFlottant && r.bits == 32;
    switch (r.bits) {
    case 8: r.format = f8; break;
    case 16: r.format = f16; break;
    case 24: r.format = f24; break;
    default:
        if (flottant) {
            r.format = f16;
            break;
        }
        return echec(nonReconnu, QStringLiteral("%1 bits par échantillon ; 8, 16, 24 bits ou 32 bits flottants attendus")
                                     .arg(r.bits));
    }
    if (code != formatPcm && code != formatExtensible && !flottant)
        return echec(nonReconnu, QStringLiteral("son compressé (code de format %1) ; seuls les sons PCM sont lus").arg(code));
    // A zero rate would divide every time by zero downstream; a huge one is a damaged header.
    if (r.FreqEch == 0 || r.FreqEch > frequenceMax)
        return echec(nonReconnu, QStringLiteral("fréquence d'échantillonnage impossible (%1 Hz)").arg(r.FreqEch));
    // Any other count would be read as interleaved mono, with a wrong duration.
    if (r.canaux != 1 && r.canaux != 2)
        return echec(nonReconnu, QStringLiteral("%1 voies ; seuls les sons mono et stéréo sont lus").arg(r.canaux));
    r.labelFrequence = QStringLiteral("Fech=") + QString::number(r.FreqEch) + QStringLiteral(" Hz ; ") +
                       QString::number(r.bits) + QStringLiteral(" bits");
    if (r.canaux == 2)
        r.format = r.format == f8 ? f8stereo : r.format == f16 ? f16stereo : f24stereo;
    // Bytes per frame in the file (float samples become 16-bit words).
    const int trameFichier = flottant ? 4 * r.canaux : tailleTrame(r.format);

    // The data chunk must start inside the RIFF size the header declares.
    if (m.data < 0 || m.data >= qint64(tailleRiff) + 8)
        return echec(QStringLiteral("Format incorrect"), QStringLiteral("les échantillons sont introuvables"));
    f.seek(m.data + 4);
    const QByteArray champTaille = f.read(4);
    if (champTaille.size() < 4)
        return echec(QStringLiteral("Format incorrect"), QStringLiteral("les échantillons sont introuvables"));
    const qint64 tailleDeclaree = lit32(champTaille.constData());
    const qint64 presents = std::max<qint64>(0, tailleFichier - (m.data + 8));
    const qint64 maxFichier = flottant ? tailleMaxSon * 2 : tailleMaxSon;
    qint64 aLire = std::min(tailleDeclaree, maxFichier);
    // Truncated only when the file really holds more than the limit.
    r.tronque = tailleDeclaree > maxFichier && presents > maxFichier;
    aLire = std::min(aLire, presents);

    QByteArray donnees(aLire, Qt::Uninitialized);
    const qint64 lus = aLire > 0 ? f.read(donnees.data(), aLire) : 0;
    f.close();
    if (lus < aLire)
        donnees.truncate(std::max<qint64>(0, lus));
    const int trames = int(donnees.size() / trameFichier);
    if (trames < 1)
        return echec(QString(), QStringLiteral("le fichier ne contient aucun échantillon"));
    donnees.truncate(qsizetype(trames) * trameFichier);
    if (flottant)
        donnees = flottantsEn16(donnees);
    r.NbrePoints = trames;
    son.assigne(r.format, std::move(donnees));
    // 0xFFFFFFFF is a streaming writer's "unknown"; any other larger size means a cut file.
    if (tailleDeclaree > presents && tailleDeclaree != 0xFFFFFFFFLL && !r.tronque)
        r.avertissement = QStringLiteral("Le fichier « %1 » est incomplet : %2 échantillons lus sur %3 annoncés.")
                              .arg(QFileInfo(chemin).fileName())
                              .arg(trames)
                              .arg(tailleDeclaree / trameFichier);

    r.etat = TresultatWav::Lu;
    r.titre = titreLectureSon + QStringLiteral(" [") + QFileInfo(chemin).fileName() + QStringLiteral("]");
    if (r.tronque)
        r.titre += QStringLiteral(" (trop long donc tronqué)");
    r.labelDuree = QStringLiteral("Durée=") + texteDuree(double(r.NbrePoints) / r.FreqEch, r.FreqEch);
    return r;
}

QString texteRefus(const QString& fichier, const TresultatWav& r)
{
    QString raison = r.erreur;
    if (!r.detail.isEmpty())
        raison = raison.isEmpty() ? r.detail : raison + QStringLiteral(" : ") + r.detail;
    if (raison.isEmpty())
        raison = QStringLiteral("fichier illisible");
    return QStringLiteral("Le fichier « %1 » n'a pas été ouvert.\n%2.\nLe son déjà chargé est conservé.")
        .arg(QFileInfo(fichier).fileName(), raison);
}

bool estSonCompresse(const QString& chemin)
{
    static const QStringList extensions{QStringLiteral("mp3"), QStringLiteral("m4a"), QStringLiteral("aac"),
                                        QStringLiteral("mp4"), QStringLiteral("ogg"), QStringLiteral("oga"),
                                        QStringLiteral("opus"), QStringLiteral("flac")};
    return extensions.contains(QFileInfo(chemin).suffix().toLower());
}

QString filtreSons()
{
    return QStringLiteral("Fichiers sons (*.wav *.mp3 *.m4a *.aac *.ogg *.oga *.opus *.flac "
                          "*.WAV *.MP3 *.M4A *.AAC *.OGG *.OGA *.OPUS *.FLAC)");
}

QString texteDuree(double secondes, quint32 freqEch)
{
    const int decimalesMs = freqEch > 1000 ? std::clamp(int(std::ceil(std::log10(freqEch / 1000.0) - 1e-9)), 0, 3) : 0;
    if (std::fabs(secondes) < 1)
        return texteFixe(secondes * 1000, 12, decimalesMs) + QStringLiteral(" ms");
    return texteFixe(secondes, 12, decimalesMs + 3) + QStringLiteral(" s");
}

QString convertitSon(const QString& source, const QString& dossier, const std::function<void(const QString&)>& legende,
                     QString* erreur)
{
    const QFileInfo fi(source);
    QDir().mkpath(dossier);
    const QString cheminWav = QDir(dossier).filePath(fi.completeBaseName() + QStringLiteral(".wav"));
    auto dit = [&](const QString& t) {
        if (legende)
            legende(t);
    };
    dit(QStringLiteral("Ouverture du fichier ..."));
    const bool ok = Mp3Decoder::decode(source, cheminWav,
                                       [&](int pourcent) { dit(QStringLiteral("Conversion : %1%").arg(pourcent)); }, erreur);
    if (!ok)
        return QString();
    dit(QStringLiteral("Conversion terminée"));
    return cheminWav;
}
