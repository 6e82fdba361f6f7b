#pragma once
// Stand-ins for the sound card, for tests that must not depend on a device.
#include "SoundPlayer.h"
#include "SoundRecorder.h"

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
