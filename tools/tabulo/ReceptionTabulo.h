#pragma once
#include "ControleTransfert.h"
#include "PageTabulo.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <functional>
#include <optional>

// What the analysis program does with one line of a conversation: a control line is kept for
// the command that follows it on the same conversation; CLIP|LOAD and CLIP|ADD read the
// clipboard and make a page of it only when it is the text announced (read again for a while,
// the clipboard being served by its owner with a delay) and a whole exchange text.
class ReceptionTabulo
{
public:
    // The clipboard's text, read anew at each call.
    std::function<QString()> lisPressePapiers;
    // How long a text that is not yet the one announced is read again, and how often.
    int attenteMs = 2000;
    int intervalleMs = 50;

    struct Resultat
    {
        bool commande = false;       // CLIP|LOAD or CLIP|ADD (else a control line or unknown)
        bool charge = false;         // CLIP|LOAD
        bool ok = false;             // the answer
        QString texte;               // what was read from the clipboard
        std::optional<PageTabulo> page;
        QString erreur;
    };
    Resultat traite(const QString& ligne, quint64 conversation);

    // A text begins with the path of the program that sent it; a table copied for a
    // spreadsheet begins with its names.
    static bool aEnTete(const QString& texte);

private:
    QHash<quint64, ControleTransfert> m_annonces;
    QSet<QString> m_jetonsServis;
};
