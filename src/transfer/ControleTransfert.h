#pragma once
#include <QString>
#include <optional>

// Announces, before CLIP|LOAD or CLIP|ADD on the same conversation, which text the command is
// about: a token new for each transfer and the SHA-256 of the text's UTF-8. The clipboard
// belongs to whoever set it last and is read by the peer later, through its owner; with this
// line the peer can tell the text meant for the command from anything else found there.
// The commands themselves stay as they are, so a peer that refuses this line still works.
struct ControleTransfert
{
    QString jeton;
    QString empreinte;

    static ControleTransfert pour(const QString& texte);
    static QString empreinteDe(const QString& texte);

    // "CONTROLE <jeton> <empreinte>", and back (nothing for any other line).
    QString ligne() const;
    static std::optional<ControleTransfert> lis(const QString& ligne);

    bool correspond(const QString& texte) const { return empreinteDe(texte) == empreinte; }
};
