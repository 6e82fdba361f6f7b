#pragma once
// The sound the tool works on: samples, rate, format, file name and selection. It holds the
// data and says when it changed; the views only paint what it and its analyses hold.

#include "Grapheu.h"

#include <QObject>
#include <QString>

class TdocumentSon : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    const TvecteurSon& son() const { return m_son; }
    // Path of the file the samples came from; empty while nothing is loaded.
    const QString& NomFichier() const { return m_nom; }
    quint32 FreqEch() const { return m_freq; }
    int NbrePoints() const { return m_son.nombreTrames(); }
    TformatWave format() const { return m_son.formatWave; }
    bool vide() const { return m_nom.isEmpty(); }
    // Selection, as frame indices (0 <= debut < fin <= NbrePoints - 1 once loaded).
    int debut() const { return m_debut; }
    int fin() const { return m_fin; }
    // Seconds of a number of frames at the document's rate (0 while empty).
    double duree(double trames) const { return m_freq ? trames / m_freq : 0; }

    // Takes the samples read from `nom` and selects them all. A rate of 0 is refused.
    bool charge(const QString& nom, quint32 freqEch, TvecteurSon&& son);
    // Back to no sound.
    void efface();
    // Kept inside the samples; the end stays after the start when the sound allows it.
    void setSelection(int debut, int fin);
    // Keeps the even frames: rate, length and selection halved.
    void diviseParDeux();

signals:
    // Samples, rate or file changed (loaded, emptied, halved).
    void sonChange();
    void selectionChangee();

private:
    TvecteurSon m_son;
    QString m_nom;
    quint32 m_freq = 0;
    int m_debut = 0, m_fin = 0;
};
