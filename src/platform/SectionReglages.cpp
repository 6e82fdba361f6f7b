#include "SectionReglages.h"

#include "FichierIni.h"

#include <QSettings>
#include <cmath>

SectionReglages::SectionReglages(const QString& fichier, const QString& section)
    : m_fichier(std::make_unique<FichierIni>(fichier)), m_s(&m_fichier->reglages()), m_section(section)
{
    if (!section.isEmpty())
        m_s->beginGroup(section);
}

SectionReglages::~SectionReglages()
{
    enregistre();
}

bool SectionReglages::lisible() const
{
    return m_fichier->lisible();
}

bool SectionReglages::existe() const
{
    return !m_s->childKeys().isEmpty() || !m_s->childGroups().isEmpty();
}

bool SectionReglages::contient(const QString& cle) const
{
    return m_s->contains(cle);
}

QVariant SectionReglages::valeur(const QString& cle, const QVariant& defaut) const
{
    return m_s->value(cle, defaut);
}

bool SectionReglages::booleen(const QString& cle, bool defaut) const
{
    return m_s->value(cle, defaut).toBool();
}

int SectionReglages::entier(const QString& cle, int defaut) const
{
    bool ok = false;
    const int v = m_s->value(cle, defaut).toInt(&ok);
    return ok ? v : defaut;
}

QString SectionReglages::texte(const QString& cle, const QString& defaut) const
{
    return m_s->value(cle, defaut).toString();
}

double SectionReglages::reel(const QString& cle, double defaut) const
{
    bool ok = false;
    const double v = m_s->value(cle).toString().toDouble(&ok);
    return ok && std::isfinite(v) ? v : defaut;
}

QColor SectionReglages::couleur(const QString& cle, const QColor& defaut) const
{
    if (!m_s->contains(cle))
        return defaut;
    bool ok = false;
    const qint64 n = m_s->value(cle).toLongLong(&ok);
    return ok ? couleurDeNombre(n) : defaut;
}

void SectionReglages::ecrit(const QString& cle, const QVariant& v)
{
    m_modifie = true;
    m_s->setValue(cle, v);
}

void SectionReglages::ecritReel(const QString& cle, double v)
{
    ecrit(cle, QString::number(v, 'g', 17));
}

void SectionReglages::ecritCouleur(const QString& cle, const QColor& c)
{
    ecrit(cle, nombreDeCouleur(c));
}

bool SectionReglages::enregistre()
{
    // A section only read leaves the file untouched.
    if (!m_modifie)
        return true;
    m_modifie = false;
    // The file is written whole: its keys are listed from the top, not from this section.
    if (!m_section.isEmpty())
        m_s->endGroup();
    const bool ok = m_fichier->enregistre();
    if (!m_section.isEmpty())
        m_s->beginGroup(m_section);
    return ok;
}

QColor couleurDeNombre(qint64 n)
{
    return QColor(int(n & 0xFF), int((n >> 8) & 0xFF), int((n >> 16) & 0xFF));
}

qint64 nombreDeCouleur(const QColor& c)
{
    return qint64(c.red()) | (qint64(c.green()) << 8) | (qint64(c.blue()) << 16);
}
