#include "FichierIni.h"

#include "AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QByteArray contenu(const QString& chemin, bool* ok = nullptr)
{
    QFile f(chemin);
    const bool ouvert = f.open(QIODevice::ReadOnly);
    if (ok)
        *ok = ouvert;
    return ouvert ? f.readAll() : QByteArray();
}

// Every key of `a` has the same value in `b`, and both hold the same keys.
bool memesValeurs(QSettings& a, QSettings& b)
{
    const QStringList cles = a.allKeys();
    if (cles.size() != b.allKeys().size())
        return false;
    for (const QString& c : cles)
        if (!b.contains(c) || b.value(c) != a.value(c))
            return false;
    return true;
}

} // namespace

FichierIni::FichierIni(const QString& chemin)
    : m_chemin(chemin)
    , m_copie(QDir::tempPath() + QStringLiteral("/kinexo-ini-XXXXXX.ini"))
{
    bool existe = false;
    m_original = contenu(chemin, &existe);
    // The private copy starts as the file on disk, so untouched sections are written back as
    // they were.
    if (m_copie.open()) {
        m_copie.write(m_original);
        m_copie.flush();
    }
    m_reglages = std::make_unique<QSettings>(m_copie.fileName(), QSettings::IniFormat);
    m_lisible = existe && m_reglages->status() == QSettings::NoError;
}

FichierIni::~FichierIni() = default;

bool FichierIni::enregistre()
{
    if (!m_copie.isOpen())
        return false;
    // Written afresh under a new name each time, from the values held in memory: after a cut
    // write, Qt would take its own copy as up to date and never write it again.
    QByteArray octets;
    {
        QTemporaryFile ecriture(QDir::tempPath() + QStringLiteral("/kinexo-ini-XXXXXX.ini"));
        if (!ecriture.open())
            return false;
        ecriture.close();
        QSettings s(ecriture.fileName(), QSettings::IniFormat);
        for (const QString& c : m_reglages->allKeys())
            s.setValue(c, m_reglages->value(c));
        s.sync();
        if (s.status() != QSettings::NoError)
            return false;
        bool ok = false;
        octets = contenu(ecriture.fileName(), &ok);
        if (!ok)
            return false;
    }
    // Read the bytes back under yet another name (Qt answers from memory for a file it knows):
    // a cut write shows as missing or different values.
    {
        QTemporaryFile verification(QDir::tempPath() + QStringLiteral("/kinexo-ini-XXXXXX.ini"));
        if (!verification.open() || verification.write(octets) != octets.size() || !verification.flush())
            return false;
        verification.close();
        QSettings relu(verification.fileName(), QSettings::IniFormat);
        if (relu.status() != QSettings::NoError || !memesValeurs(*m_reglages, relu))
            return false;
    }
    if (octets == m_original && QFileInfo::exists(m_chemin))
        return true;
    const QString dossier = QFileInfo(m_chemin).absolutePath();
    if (!QDir().mkpath(dossier) || !writeFileAtomically(m_chemin, octets))
        return false;
    m_original = octets;
    return true;
}
