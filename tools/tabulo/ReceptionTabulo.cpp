#include "ReceptionTabulo.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QThread>

namespace {
constexpr int kAnnoncesMax = 64;   // conversations that announced and never sent their command
}

bool ReceptionTabulo::aEnTete(const QString& texte)
{
    const QString premiere = texte.section(QChar('\n'), 0, 0).remove(QChar('\r'));
    static const QRegularExpression chemin(QStringLiteral("^(/|[A-Za-z]:[\\\\/]|\\\\\\\\)[^\\t]*$"));
    return chemin.match(premiere).hasMatch();
}

ReceptionTabulo::Resultat ReceptionTabulo::traite(const QString& ligne, quint64 conversation)
{
    Resultat r;
    if (const std::optional<ControleTransfert> c = ControleTransfert::lis(ligne)) {
        if (m_annonces.size() >= kAnnoncesMax)
            m_annonces.clear();
        m_annonces.insert(conversation, *c);
        r.ok = true;
        return r;
    }
    r.charge = ligne == QLatin1String("CLIP|LOAD");
    r.commande = r.charge || ligne == QLatin1String("CLIP|ADD");
    if (!r.commande)
        return r;
    const std::optional<ControleTransfert> annonce = m_annonces.contains(conversation)
        ? std::optional<ControleTransfert>(m_annonces.take(conversation))
        : std::nullopt;
    r.texte = lisPressePapiers ? lisPressePapiers() : QString();
    if (annonce) {
        if (m_jetonsServis.contains(annonce->jeton)) {
            r.erreur = QStringLiteral("commande déjà exécutée");
            return r;
        }
        QElapsedTimer horloge;
        horloge.start();
        while (!annonce->correspond(r.texte) && horloge.elapsed() < attenteMs) {
            QThread::msleep(intervalleMs);
            r.texte = lisPressePapiers ? lisPressePapiers() : QString();
        }
        if (!annonce->correspond(r.texte)) {
            r.erreur = QStringLiteral("le presse-papiers ne contient pas le texte annoncé");
            return r;
        }
        m_jetonsServis.insert(annonce->jeton);
    }
    if (!aEnTete(r.texte)) {
        r.erreur = QStringLiteral("texte sans en-tête d'échange");
        return r;
    }
    r.page = PageTabulo::lis(r.texte, &r.erreur);
    r.ok = bool(r.page);
    return r;
}
