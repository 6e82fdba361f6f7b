#include "LectureWav.h"

#include "Mp3Decoder.h"
#include "NumberText.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
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

TresultatWav litFichierWav(const QString& chemin, TvecteurSon& son)
{
    TresultatWav r;
    r.nomFichier = chemin;
    if (!QFileInfo::exists(chemin))
        return r;
    r.etat = TresultatWav::Erreur;
    auto echec = [&](const QString& texte) {
        r.etat = TresultatWav::Erreur;
        r.erreur = texte;
        r.nomFichier.clear();
        r.titre = titreLectureSon;
        r.NbrePoints = 0;
        son.vide();
        return r;
    };

    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly))
        return echec(QStringLiteral("Problème d'ouverture"));
    const qint64 tailleFichier = f.size();
    const QByteArray entete = f.read(12);
    const quint32 tailleRiff = entete.size() >= 8 ? lit32(entete.constData() + 4) : 0;

    const Morceaux m = chercheMorceaux(f, tailleFichier);
    QByteArray fmt;
    if (m.fmt >= 0) {
        f.seek(m.fmt);
        fmt = f.read(std::min<qint64>(m.tailleFmt, 16));
    }
    if (fmt.size() < 16)
        return echec(QStringLiteral("Format du fichier WAV non reconnu"));
    r.canaux = lit16(fmt.constData() + 2);
    r.FreqEch = lit32(fmt.constData() + 4);
    r.bits = lit16(fmt.constData() + 14);
    switch (r.bits) {
    case 8: r.format = f8; break;
    case 16: r.format = f16; break;
    case 24: r.format = f24; break;
    default: return echec(QStringLiteral("Format du fichier WAV non reconnu"));
    }
    // A zero rate would divide every time by zero downstream.
    if (r.FreqEch == 0)
        return echec(QStringLiteral("Format du fichier WAV non reconnu"));
    r.labelFrequence = QStringLiteral("Fech=") + QString::number(r.FreqEch) + QStringLiteral(" Hz ; ") +
                       QString::number(r.bits) + QStringLiteral(" bits");
    if (r.canaux == 2)
        r.format = r.format == f8 ? f8stereo : r.format == f16 ? f16stereo : f24stereo;

    // The data chunk must start inside the RIFF size the header declares.
    if (m.data < 0 || m.data >= qint64(tailleRiff) + 8)
        return echec(QStringLiteral("Format incorrect"));
    f.seek(m.data + 4);
    const QByteArray champTaille = f.read(4);
    if (champTaille.size() < 4)
        return echec(QStringLiteral("Format incorrect"));
    const qint64 tailleDeclaree = lit32(champTaille.constData());
    const qint64 presents = std::max<qint64>(0, tailleFichier - (m.data + 8));
    qint64 aLire = std::min(tailleDeclaree, tailleMaxSon);
    // Truncated only when the file really holds more than the limit.
    r.tronque = tailleDeclaree > tailleMaxSon && presents > tailleMaxSon;
    aLire = std::min(aLire, presents);

    QByteArray donnees(aLire, Qt::Uninitialized);
    const qint64 lus = aLire > 0 ? f.read(donnees.data(), aLire) : 0;
    f.close();
    if (lus < aLire)
        donnees.truncate(std::max<qint64>(0, lus));
    r.NbrePoints = int(donnees.size() / tailleTrame(r.format));
    if (r.NbrePoints < 1)
        return echec(QString());
    donnees.truncate(qsizetype(r.NbrePoints) * tailleTrame(r.format));
    son.assigne(r.format, std::move(donnees));

    r.etat = TresultatWav::Lu;
    r.titre = titreLectureSon + QStringLiteral(" [") + QFileInfo(chemin).fileName() + QStringLiteral("]");
    if (r.tronque)
        r.titre += QStringLiteral(" (trop long donc tronqué)");
    r.labelDuree = QStringLiteral("Durée=") + texteFixe(double(r.NbrePoints) / r.FreqEch, 5, 2) + QStringLiteral(" s");
    return r;
}

QString convertitMp3(const QString& cheminMp3, const std::function<void(const QString&)>& legende, QString* erreur)
{
    const QFileInfo fi(cheminMp3);
    const QString cheminWav = fi.dir().filePath(fi.completeBaseName() + QStringLiteral(".wav"));
    auto dit = [&](const QString& t) {
        if (legende)
            legende(t);
    };
    dit(QStringLiteral("Ouverture du fichier ..."));
    const bool ok = Mp3Decoder::decode(cheminMp3, cheminWav,
                                       [&](int pourcent) { dit(QStringLiteral("Conversion : %1%").arg(pourcent)); }, erreur);
    if (!ok)
        return QString();
    dit(QStringLiteral("Conversion terminée"));
    return cheminWav;
}
