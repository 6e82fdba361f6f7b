#include "DocumentSon.h"

#include <algorithm>

bool TdocumentSon::charge(const QString& nom, quint32 freqEch, TvecteurSon&& son)
{
    if (freqEch == 0 || nom.isEmpty() || son.nombreTrames() < 1)
        return false;
    m_son = std::move(son);
    m_nom = nom;
    m_freq = freqEch;
    m_debut = 0;
    m_fin = m_son.nombreTrames() - 1;
    emit sonChange();
    emit selectionChangee();
    return true;
}

void TdocumentSon::efface()
{
    m_son.vide();
    m_nom.clear();
    m_debut = m_fin = 0;
    emit sonChange();
    emit selectionChangee();
}

void TdocumentSon::setSelection(int debut, int fin)
{
    const int dernier = std::max(0, NbrePoints() - 1);
    debut = std::clamp(debut, 0, dernier);
    fin = std::clamp(fin, 0, dernier);
    if (fin <= debut)
        fin = std::min(dernier, debut + 1);
    if (debut == m_debut && fin == m_fin)
        return;
    m_debut = debut;
    m_fin = fin;
    emit selectionChangee();
}

void TdocumentSon::diviseParDeux()
{
    if (vide() || m_freq < 2)
        return;
    m_son.diviseParDeux();
    m_freq /= 2;
    m_debut /= 2;
    m_fin /= 2;
    emit sonChange();
    emit selectionChangee();
}
