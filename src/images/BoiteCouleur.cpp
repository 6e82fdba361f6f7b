#include "BoiteCouleur.h"

#include <QPixmap>
#include <array>

namespace {
const std::array<std::pair<const char*, int>, 20> kCouleurs{{
    {"Noir", 0x000000}, {"Marron", 0x000080}, {"Vert", 0x008000}, {"Olive", 0x008080},
    {"Bleu marine", 0x800000}, {"Violet", 0x800080}, {"Sarcelle", 0x808000}, {"Gris", 0x808080},
    {"Argent", 0xC0C0C0}, {"Rouge", 0x0000FF}, {"Citron vert", 0x00FF00}, {"Jaune", 0x00FFFF},
    {"Bleu", 0xFF0000}, {"Fuchsia", 0xFF00FF}, {"Cyan", 0xFFFF00}, {"Blanc", 0xFFFFFF},
    {"Vert monnaie", 0xC0DCC0}, {"Bleu ciel", 0xF0CAA6}, {"Crème", 0xF0FBFF}, {"Gris moyen", 0xA4A0A0},
}};

QIcon pastille(int c)
{
    QPixmap pm(14, 14);
    pm.fill(versQColor(c));
    return QIcon(pm);
}
} // namespace

QColor versQColor(int c)
{
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

void remplitCouleurs(QComboBox* cb)
{
    for (const auto& [nom, c] : kCouleurs)
        cb->addItem(pastille(c), QString::fromUtf8(nom), c);
}

void choisitCouleur(QComboBox* cb, int c)
{
    int i = cb->findData(c);
    if (i < 0) {
        cb->addItem(pastille(c), QStringLiteral("Personnalisée"), c);
        i = cb->count() - 1;
    }
    const QSignalBlocker b(cb);
    cb->setCurrentIndex(i);
}

int couleurChoisie(const QComboBox* cb)
{
    return cb->currentData().toInt();
}
