#pragma once
#include "Transfert.h"

#include <QToolButton>

class QAction;
class QMenu;

// The tools' transfer button "&Tabulo" with its drop-down menu: "vers Tabulo", "vers presse
// papiers", "vers fichier". Choosing an item checks it and transfers at once; pressing the
// button transfers to the checked one. The checked item lives in section "Save".
class TransferButton : public QToolButton
{
    Q_OBJECT
public:
    explicit TransferButton(QWidget* parent = nullptr);

    Destination destination() const;
    // Checks the item and shows its caption and picture, without transferring.
    void setDestination(Destination d);

    // Section "Save", keys "Tabulo" (default true), "Clip", "File" (default false).
    void lisReglages(const QString& fichierIni);
    void ecritReglages(const QString& fichierIni) const;

    QMenu* SavePopupMenu;
    QAction* TabuloM;
    QAction* ClipM;
    QAction* FileM;

signals:
    void transfert(Destination destination);

private:
    QAction* action(Destination d) const;
};
