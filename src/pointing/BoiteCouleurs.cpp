#include "BoiteCouleurs.h"

#include <QPixmap>
#include <QSignalBlocker>

namespace {
QIcon pastille(const QColor& c)
{
    QPixmap pm(14, 14);
    pm.fill(c);
    return QIcon(pm);
}
} // namespace

const BoiteCouleurs::Nommee BoiteCouleurs::standard[16] = {
    {"Noir", 0x000000},      {"Marron", 0x800000}, {"Vert", 0x008000},        {"Olive", 0x808000},
    {"Bleu marine", 0x000080}, {"Violet", 0x800080}, {"Sarcelle", 0x008080},  {"Gris", 0x808080},
    {"Argent", 0xC0C0C0},    {"Rouge", 0xFF0000},  {"Citron vert", 0x00FF00}, {"Jaune", 0xFFFF00},
    {"Bleu", 0x0000FF},      {"Fuchsia", 0xFF00FF}, {"Cyan", 0x00FFFF},       {"Blanc", 0xFFFFFF},
};

const BoiteCouleurs::Nommee BoiteCouleurs::etendues[4] = {
    {"Vert d'eau", 0xC0DCC0}, {"Bleu ciel", 0xA6CAF0}, {"Crème", 0xFFFBF0}, {"Gris moyen", 0xA0A0A4},
};

BoiteCouleurs::BoiteCouleurs(QWidget* parent, bool avecEtendues) : QComboBox(parent)
{
    for (const Nommee& c : standard)
        addItem(pastille(QColor(c.rgb)), QString::fromUtf8(c.nom), QColor(c.rgb));
    if (avecEtendues)
        for (const Nommee& c : etendues)
            addItem(pastille(QColor(c.rgb)), QString::fromUtf8(c.nom), QColor(c.rgb));
}

QColor BoiteCouleurs::couleur() const
{
    return currentData().value<QColor>();
}

void BoiteCouleurs::setCouleur(const QColor& c)
{
    const QSignalBlocker b(this);
    int i = findData(c);
    if (i < 0) {
        addItem(pastille(c), QStringLiteral("Personnalisée"), c);
        i = count() - 1;
    }
    setCurrentIndex(i);
}
