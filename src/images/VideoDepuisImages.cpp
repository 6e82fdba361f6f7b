#include "VideoDepuisImages.h"

#include <QFileInfo>

QString VideoDepuisImages::cheminDe(const QString& nomFichier)
{
    QString c = QFileInfo(nomFichier).path();
    while (c.size() > 1 && c.endsWith(QChar('/')))
        c.chop(1);
    return c;
}

QString VideoDepuisImages::extensionDe(const QString& nomFichier)
{
    const QString suffixe = QFileInfo(nomFichier).suffix();
    return suffixe.isEmpty() ? QStringLiteral("*") : QStringLiteral("*.") + suffixe;
}

QString VideoDepuisImages::fichierVideo(const QString& chemin)
{
    return chemin.endsWith(QChar('/')) ? chemin + QStringLiteral("video.avi") : chemin + QStringLiteral("/video.avi");
}

int VideoDepuisImages::cadenceLue(const QString& texte)
{
    bool ok = false;
    const int n = texte.trimmed().toInt(&ok);
    return ok && n > 0 ? n : kCadenceDefaut;
}

bool VideoDepuisImages::demarre(const QString& chemin, const QString& extension, int cadence)
{
    abandonne();
    m_erreur.clear();
    m_fichiers.clear();
    // The scan gives the order of the frames; the read-ahead decodes the next image while
    // the current one is encoded.
    for (QString f = SearchForFiles.FirstFile(chemin, extension); !f.isEmpty(); f = SearchForFiles.NextFile())
        m_fichiers << f;
    if (m_fichiers.isEmpty()) {
        m_erreur = QStringLiteral("Aucune image %1 dans %2").arg(extension, chemin);
        return false;
    }
    m_images.setFichiers(m_fichiers);
    const QImage premiere = m_images.image(0, &m_erreur);
    if (premiere.isNull())
        return false;
    m_sortie = fichierVideo(chemin);
    if (!m_writer.open(m_sortie, premiere.size(), cadence)) {
        m_erreur = m_writer.erreur();
        return false;
    }
    m_suivant = 0;
    return true;
}

VideoDepuisImages::Etape VideoDepuisImages::suivante()
{
    if (!m_writer.isOpen())
        return Etape::Erreur;
    if (m_suivant >= m_fichiers.size())
        return Etape::Fin;
    const QImage image = m_images.image(m_suivant, &m_erreur);
    if (image.isNull() || !m_writer.write(image)) {
        if (!image.isNull())
            m_erreur = m_writer.erreur();
        m_writer.abandon();
        return Etape::Erreur;
    }
    ++m_suivant;
    return Etape::Image;
}

bool VideoDepuisImages::termine()
{
    if (!m_writer.finish()) {
        m_erreur = m_writer.erreur();
        return false;
    }
    return true;
}

void VideoDepuisImages::abandonne()
{
    m_writer.abandon();
    m_images.setFichiers({});
}
