#pragma once
#include "Transfert.h"
#include "NumberText.h"

#include <QPointF>
#include <QVector>

// The media-player tool's table, fed with plain values: times, the physical points of each
// row, the scale (metres per pixel) and the uncertainty factor.
struct TableVideo
{
    QVector<double> temps;
    QVector<QVector<QPointF>> points;   // per row, the N points
    double torigine = 0;
    double echelleX = 1, echelleY = -1;
    int incertitude = 1;
    QString fichier;

    int n() const { return points.isEmpty() ? 1 : int(points.first().size()); }

    TableSource source() const
    {
        TableSource s;
        s.table = [this](ExchangeText& t) {
            QStringList noms{"t"}, unites{"s"};
            for (int k = 1; k <= n(); ++k) {
                const QString suffixe = n() == 1 ? QString() : QString::number(k);
                noms << "x" + suffixe << "y" + suffixe;
                unites << "m" << "m";
            }
            t.addFields(noms);
            t.addFields(unites);
            for (int i = 0; i < points.size(); ++i) {
                QStringList ligne{TexteNombre(temps[i] - torigine)};
                for (const QPointF& p : points[i])
                    ligne << TexteNombre(p.x()) << TexteNombre(p.y());
                t.addFields(ligne);
            }
        };
        s.sections = [this](ExchangeText& t, bool nouveauFichier) {
            QString incert = TexteNombre((temps[1] - temps[0]) / 100);
            for (int k = 1; k <= n(); ++k)
                incert += "\t" + TexteNombre(incertitude * qAbs(echelleX)) + "\t"
                    + TexteNombre(incertitude * qAbs(echelleY));
            QStringList lignes;
            for (int i = 0; i < points.size(); ++i)
                lignes << incert;
            t.addSection("INCERT", lignes);
            if (!nouveauFichier)
                return;
            QStringList nx, ny;
            for (int k = 1; k <= n(); ++k) {
                nx << (n() == 1 ? QString("x") : "x" + QString::number(k));
                ny << (n() == 1 ? QString("y") : "y" + QString::number(k));
            }
            t.addSection("NOMX", nx);
            t.addSection("NOMY", ny);
            t.addSection("ORTHO", {"1"});
            t.addSection("FICHIER", {fichier});
        };
        return s;
    }

    // The worked example: one point, clicked at pixels (1,2) (3,1) (5,-1) (7,-4) from the
    // origin, 1 m over 123 pixels, y upwards, 25 images per second.
    static TableVideo exemple()
    {
        TableVideo v;
        v.echelleX = 1.0 / 123;
        v.echelleY = -1.0 / 123;
        const int px[4][2] = {{1, 2}, {3, 1}, {5, -1}, {7, -4}};
        for (int i = 0; i < 4; ++i) {
            v.temps << i / 25.0;
            v.points << QVector<QPointF>{QPointF(px[i][0] * v.echelleX, px[i][1] * v.echelleY)};
        }
        v.fichier = "/home/eleve/videos/chute.avi";
        return v;
    }
};
