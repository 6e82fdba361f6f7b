#include "Repertoires.h"

#include "Registre.h"
#include "SectionReglages.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString kSection = QStringLiteral("Repertoire");
const QString kCleRegistre = QStringLiteral("Classes/Tabulo");

QString special(QStandardPaths::StandardLocation l)
{
    return QStandardPaths::writableLocation(l);
}

} // namespace

Repertoires::Repertoires() : Repertoires(Bases{}) {}

Repertoires::Repertoires(const Bases& b)
{
    const QString documents = termineParSlash(
        b.documents.isEmpty() ? special(QStandardPaths::DocumentsLocation) : b.documents);
    const QString musique =
        termineParSlash(b.musique.isEmpty() ? special(QStandardPaths::MusicLocation) : b.musique);
    const QString images =
        termineParSlash(b.images.isEmpty() ? special(QStandardPaths::PicturesLocation) : b.images);
    const QString videos =
        termineParSlash(b.videos.isEmpty() ? special(QStandardPaths::MoviesLocation) : b.videos);
    const QString donnees = termineParSlash(
        b.donnees.isEmpty() ? special(QStandardPaths::GenericDataLocation) : b.donnees);

    MesDocsDir = documents + QStringLiteral("Tabulo/");
    QDir().mkpath(MesDocsDir);
    appDataDir = donnees + QStringLiteral("Tabulo/");
    QDir().mkpath(appDataDir);
    tamponDir = termineParSlash(QDir::tempPath());
    // Where shared libraries live here; nothing is written there.
    systemDir = QStringLiteral("/usr/lib/");

    repertoireWav = musique;
    repertoireAvi = MesDocsDir;
    repertoireBmpMeca = images;
    repertoireBmpOptique = images;
    repertoireVideoBmp = videos;
}

QString& Repertoires::champ(Champ c)
{
    return const_cast<QString&>(static_cast<const Repertoires*>(this)->champ(c));
}

const QString& Repertoires::champ(Champ c) const
{
    switch (c) {
    case Wav: return repertoireWav;
    case Avi: return repertoireAvi;
    case BmpMeca: return repertoireBmpMeca;
    case BmpOptique: return repertoireBmpOptique;
    case VideoBmp: return repertoireVideoBmp;
    case Tabulo:
    case NbChamps: break;
    }
    return repertoireTabulo;
}

QString Repertoires::cle(Champ c)
{
    switch (c) {
    case Wav: return QStringLiteral("Wav");
    case Avi: return QStringLiteral("Avi");
    case BmpMeca: return QStringLiteral("Mecanique");
    case BmpOptique: return QStringLiteral("Optique");
    case VideoBmp: return QStringLiteral("Video");
    case Tabulo:
    case NbChamps: break;
    }
    return QStringLiteral("Tabulo");
}

void Repertoires::litFichier(const QString& fichier, const QString& groupe)
{
    const SectionReglages s(fichier, groupe);
    if (!s.lisible())
        return;
    for (int c = 0; c < NbChamps; ++c) {
        QString& v = champ(Champ(c));
        v = s.texte(cle(Champ(c)), v);
    }
}

void Repertoires::ecritFichier(const QString& fichier, const QString& groupe) const
{
    SectionReglages s(fichier, groupe);
    for (int c = 0; c < NbChamps; ++c)
        s.ecrit(cle(Champ(c)), champ(Champ(c)));
}

void Repertoires::lit()
{
    litFichier(fichierPartage(), kSection);
    litFichier(fichierIni(), kSection);
    // The registry key is only opened, never created, when reading.
    const QString registre = fichierRegistre();
    if (QFileInfo::exists(registre) && SectionReglages(registre, kCleRegistre).existe())
        litFichier(registre, kCleRegistre);
}

void Repertoires::ecrit() const
{
    ecritFichier(fichierIni(), kSection);
    ecritFichier(fichierPartage(), kSection);
    const QString registre = fichierRegistre();
    QDir().mkpath(QFileInfo(registre).absolutePath());
    ecritFichier(registre, kCleRegistre);
}

QString Repertoires::departNavigateur(Champ c) const
{
    const QString& v = champ(c);
    if (v.isEmpty() || !QFileInfo(v).isDir())
        return MesDocsDir;
    return v;
}

void Repertoires::choisi(Champ c, const QString& dossier)
{
    champ(c) = termineParSlash(dossier);
}

QString Repertoires::termineParSlash(const QString& chemin)
{
    if (chemin.isEmpty() || chemin.endsWith(QLatin1Char('/')))
        return chemin;
    return chemin + QLatin1Char('/');
}
