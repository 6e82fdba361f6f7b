#include "TransferButton.h"

#include "SectionReglages.h"

#include <QActionGroup>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>

namespace {

// Small pictures drawn here, so the button looks the same with any icon theme.
QIcon image(Destination d)
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 2));
    switch (d) {
    case Destination::Tabulo: {   // a graph
        p.drawLine(5, 27, 29, 27);
        p.drawLine(5, 27, 5, 3);
        QPainterPath courbe(QPointF(6, 25));
        courbe.cubicTo(12, 2, 20, 30, 28, 6);
        p.setPen(QPen(QColor(20, 90, 200), 2.5));
        p.drawPath(courbe);
        break;
    }
    case Destination::PressePapiers: {   // a clipboard
        p.setBrush(QColor(200, 150, 90));
        p.drawRoundedRect(QRectF(6, 5, 20, 25), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 9, 14, 18));
        p.setBrush(QColor(120, 120, 120));
        p.drawRoundedRect(QRectF(11, 2, 10, 6), 2, 2);
        p.setPen(QPen(QColor(90, 90, 90), 1.5));
        for (int y = 13; y <= 23; y += 4)
            p.drawLine(11, y, 21, y);
        break;
    }
    case Destination::Fichier: {   // a disk
        p.setBrush(QColor(40, 80, 160));
        p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 5, 14, 9));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(8, 19, 16, 9));
        break;
    }
    }
    return QIcon(pm);
}

const char* legende(Destination d)
{
    switch (d) {
    case Destination::PressePapiers: return "Copier";
    case Destination::Fichier: return "Sauver";
    default: return "Tabulo";
    }
}

} // namespace

TransferButton::TransferButton(QWidget* parent) : QToolButton(parent)
{
    setObjectName(QStringLiteral("TabuloBtn"));
    setPopupMode(QToolButton::MenuButtonPopup);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setIconSize(QSize(24, 24));

    SavePopupMenu = new QMenu(this);
    SavePopupMenu->setObjectName(QStringLiteral("SavePopupMenu"));
    auto* groupe = new QActionGroup(this);
    groupe->setExclusive(true);
    auto ajoute = [&](const QString& nom, const QString& texte, Destination d) {
        QAction* a = SavePopupMenu->addAction(image(d), texte);
        a->setObjectName(nom);
        a->setCheckable(true);
        a->setData(int(d));   // the tag
        groupe->addAction(a);
        connect(a, &QAction::triggered, this, [this, d] {
            setDestination(d);
            emit transfert(d);
        });
        return a;
    };
    TabuloM = ajoute(QStringLiteral("TabuloM"), QStringLiteral("vers Tabulo"), Destination::Tabulo);
    ClipM = ajoute(QStringLiteral("ClipM"), QStringLiteral("vers presse papiers"), Destination::PressePapiers);
    FileM = ajoute(QStringLiteral("FileM"), QStringLiteral("vers fichier"), Destination::Fichier);
    setMenu(SavePopupMenu);

    setDestination(Destination::Tabulo);
    setText(QStringLiteral("&Tabulo"));
    connect(this, &QToolButton::clicked, this, [this] { emit transfert(destination()); });
}

QAction* TransferButton::action(Destination d) const
{
    switch (d) {
    case Destination::PressePapiers: return ClipM;
    case Destination::Fichier: return FileM;
    default: return TabuloM;
    }
}

Destination TransferButton::destination() const
{
    if (ClipM->isChecked())
        return Destination::PressePapiers;
    if (FileM->isChecked())
        return Destination::Fichier;
    return Destination::Tabulo;
}

void TransferButton::setDestination(Destination d)
{
    action(d)->setChecked(true);
    setIcon(action(d)->icon());
    setText(QString::fromLatin1(legende(d)));
    setShortcut(QKeySequence(QStringLiteral("Alt+T")));   // the caption has no mnemonic
    setToolTip(action(d)->text());
}

void TransferButton::lisReglages(const QString& fichierIni)
{
    const SectionReglages s(fichierIni, QStringLiteral("Save"));
    if (s.booleen(QStringLiteral("Clip"), false))
        setDestination(Destination::PressePapiers);
    else if (s.booleen(QStringLiteral("File"), false))
        setDestination(Destination::Fichier);
    else
        setDestination(Destination::Tabulo);
}

void TransferButton::ecritReglages(const QString& fichierIni) const
{
    SectionReglages s(fichierIni, QStringLiteral("Save"));
    s.ecrit(QStringLiteral("Tabulo"), TabuloM->isChecked());
    s.ecrit(QStringLiteral("Clip"), ClipM->isChecked());
    s.ecrit(QStringLiteral("File"), FileM->isChecked());
}
