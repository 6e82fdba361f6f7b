#pragma once
// Stand-ins for the sound card, for tests that must not depend on a device.
#include "SoundPlayer.h"
#include "SoundRecorder.h"

#include <QFile>
#include <QMetaObject>

#include <algorithm>
#include <utility>
#include <vector>

class FakeCapture : public SoundCapture
{
public:
    QString nom = QStringLiteral("Entrée de test");
    std::vector<std::pair<int, int>> formats = std::vector<std::pair<int, int>>(1, {11025, 8});
    bool refuseOuverture = false;
    int ouvertures = 0, reinitialisations = 0;
    int frequence = 0, bits = 0;
    bool estOuverte = false;

    QString nomEntree() const override { return nom; }
    bool supporte(int f, int b) const override { return std::find(formats.begin(), formats.end(), std::pair{f, b}) != formats.end(); }
    bool ouvre(int f, int b, int) override
    {
        if (refuseOuverture)
            return false;
        ++ouvertures;
        frequence = f;
        bits = b;
        estOuverte = true;
        return true;
    }
    void reinitialise() override
    {
        ++reinitialisations;
        estOuverte = false;
        QMetaObject::invokeMethod(this, [this] { emit tamponTermine(QByteArray(100, char(128))); },
                                  Qt::QueuedConnection);
    }
    void ferme() override { estOuverte = false; }
    bool ouverte() const override { return estOuverte; }
    void livre(const QByteArray& b) { emit tamponTermine(b); }
};

class FakePlayer : public SoundPlayer
{
public:
    QString absent;                 // indisponible() text
    int lectures = 0;
    QByteArray pcm;
    FormatSon format;
    qint64 premiere = 0, pos = 0;
    bool joueEnCours = false;

    QString indisponible() const override { return absent; }
    bool joue(const QByteArray& p, const FormatSon& f, qint64 premiereTrame) override
    {
        ++lectures;
        pcm = p;
        format = f;
        premiere = pos = premiereTrame;
        joueEnCours = true;
        return true;
    }
    void arrete() override { joueEnCours = false; }
    bool enLecture() const override { return joueEnCours; }
    qint64 position() const override { return pos; }
    // The end of the range has been heard.
    void finit()
    {
        joueEnCours = false;
        emit termine();
    }
};

class FakeRecorder : public SoundRecorder
{
public:
    QString absent;
    int frequence = 0, bits = 0;
    bool actif = false;
    QString fichier;

    QString indisponible() const override { return absent; }
    bool demarre(int f, int b) override
    {
        frequence = f;
        bits = b;
        actif = true;
        return true;
    }
    bool enregistre() const override { return actif; }
    qint64 trames() const override { return actif ? frequence : 0; }
    bool arrete(const QString& f) override
    {
        actif = false;
        fichier = f;
        // One second of a ramp, so that the reload can be checked.
        QByteArray pcm(frequence * (bits / 8), '\0');
        for (int i = 0; i < pcm.size(); ++i)
            pcm[i] = char(i % 251);
        QFile out(f);
        return out.open(QIODevice::WriteOnly) && out.write(fichierWavMono(pcm, frequence, bits)) > 0;
    }
    void abandonne() override { actif = false; }
};
