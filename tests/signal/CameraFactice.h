#pragma once
// Stand-in for a webcam, which these machines lack: a fixed device list and sizes, settings
// where a test gives them, and generated frames, behind the program's camera interface.
#include "CameraSource.h"

#include <QMetaObject>
#include <QPainter>
#include <map>
#include <vector>

class CameraFactice : public CameraSource
{
public:
    struct Appareil
    {
        Peripherique p;
        QList<QSize> tailles;
        std::map<Reglage, Plage> reglages;
    };
    QList<Appareil> appareils;
    int choisi = -1;
    QSize tailleCourante;
    bool apercu = false;
    int captures = 0, apercusDemarres = 0;
    std::vector<std::pair<Reglage, int>> ecritures;

    static Appareil appareil(const QString& nom, QList<QSize> tailles = {{320, 240}, {640, 480}})
    {
        return Appareil{{QStringLiteral("/dev/video-") + nom, nom}, tailles, {}};
    }

    QList<Peripherique> peripheriques() const override
    {
        QList<Peripherique> l;
        for (const Appareil& a : appareils)
            l.append(a.p);
        return l;
    }
    int peripherique() const override { return choisi; }
    void choisit(int index) override
    {
        apercu = false;
        choisi = index >= 0 && index < appareils.size() ? index : -1;
        tailleCourante = choisi >= 0 && !appareils[choisi].tailles.isEmpty() ? appareils[choisi].tailles.last() : QSize();
    }
    QList<QSize> tailles() const override { return choisi >= 0 ? appareils[choisi].tailles : QList<QSize>{}; }
    QSize taille() const override { return tailleCourante; }
    void setTaille(const QSize& t) override
    {
        if (tailles().contains(t))
            tailleCourante = t;
    }
    std::optional<Plage> reglage(Reglage r) const override
    {
        if (choisi < 0)
            return std::nullopt;
        const auto& m = appareils[choisi].reglages;
        const auto it = m.find(r);
        if (it == m.end())
            return std::nullopt;
        return it->second;
    }
    void setReglage(Reglage r, int valeur) override
    {
        ecritures.emplace_back(r, valeur);
        if (choisi >= 0 && appareils[choisi].reglages.count(r))
            appareils[choisi].reglages[r].valeur = valeur;
    }
    int razReglage(Reglage r) override
    {
        if (choisi < 0 || !appareils[choisi].reglages.count(r))
            return 0;
        Plage& p = appareils[choisi].reglages[r];
        p.valeur = p.defaut;
        return p.valeur;
    }
    void demarreApercu() override
    {
        apercu = true;
        ++apercusDemarres;
        QMetaObject::invokeMethod(this, [this] {
            if (apercu)
                emit imageApercu(trame());
        }, Qt::QueuedConnection);
    }
    void arreteApercu() override { apercu = false; }
    bool apercuActif() const override { return apercu; }
    void captureImage() override
    {
        ++captures;
        QMetaObject::invokeMethod(this, [this] { emit imageCapturee(trame()); }, Qt::QueuedConnection);
    }

    // Vertical fringes, bright every 32 pixels, of the size in use.
    QImage trame() const
    {
        QImage im(tailleCourante, QImage::Format_RGB888);
        for (int y = 0; y < im.height(); ++y)
            for (int x = 0; x < im.width(); ++x) {
                const int v = 20 + (x % 32) * 7;
                im.setPixel(x, y, qRgb(v, v / 2, 10));
            }
        return im;
    }

    void change(QList<Appareil> nouveaux)
    {
        appareils = std::move(nouveaux);
        if (choisi >= appareils.size())
            choisi = -1;
        emit peripheriquesChanges();
    }
};
