#include "PageTabulo.h"

#include "NumberText.h"

#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace {
constexpr int kColonnesMax = 4096;

bool refuse(QString* erreur, const QString& raison)
{
    if (erreur)
        *erreur = raison;
    return false;
}
// As many fields as columns, at least one written, none a number.
bool estLigneDeSens(const QString& ligne, qsizetype colonnes)
{
    const QStringList champs = ligne.split(QChar('\t'));
    if (champs.size() != colonnes || ligne.startsWith(QChar('&')))
        return false;
    bool ecrit = false;
    for (const QString& c : champs) {
        if (c.trimmed().isEmpty())
            continue;
        if (LitNombre(c))
            return false;
        ecrit = true;
    }
    return ecrit;
}
} // namespace

QStringList PageTabulo::section(const QString& motCle) const
{
    for (const Section& s : sections)
        if (s.motCle == motCle)
            return s.lignes;
    return {};
}

bool PageTabulo::aSection(const QString& motCle) const
{
    for (const Section& s : sections)
        if (s.motCle == motCle)
            return true;
    return false;
}

std::optional<PageTabulo> PageTabulo::lis(const QString& texte, QString* erreur)
{
    QStringList l = texte.split(QChar('\n'));
    for (QString& ligne : l)
        if (ligne.endsWith(QChar('\r')))
            ligne.chop(1);
    while (!l.isEmpty() && l.last().isEmpty())
        l.removeLast();   // the last line end, and blank lines after everything

    PageTabulo p;
    if (l.size() < 5) {
        refuse(erreur, QStringLiteral("texte trop court"));
        return std::nullopt;
    }
    p.chemin = l[0];
    p.titre = l[1];
    p.commentaire = l[2];
    p.noms = l[3].split(QChar('\t'));
    p.unites = l[4].split(QChar('\t'));
    // Some tools end every field, the last too, with a tab: that tab ends the line's fields.
    const bool tabFinal = p.noms.size() > 1 && p.noms.last().isEmpty();
    const auto sansTabFinal = [tabFinal](QStringList& champs) {
        if (tabFinal && champs.size() > 1 && champs.last().isEmpty())
            champs.removeLast();
    };
    sansTabFinal(p.noms);
    sansTabFinal(p.unites);
    qsizetype i = 5;
    // Some tools send a line of meanings after the units, one per column, none a number (the
    // curve digitiser, the intensity tool). A column without a name is named by its meaning.
    if (i < l.size() && p.unites.size() <= kColonnesMax && estLigneDeSens(l[i], p.unites.size())) {
        p.sens = l[i].split(QChar('\t'));
        ++i;
        for (qsizetype k = p.noms.size(); k < p.unites.size(); ++k)
            p.noms.append(p.sens[k].trimmed());
    }
    if (p.noms.size() > kColonnesMax || p.noms.contains(QString())) {
        refuse(erreur, QStringLiteral("noms de variables incorrects"));
        return std::nullopt;
    }
    if (p.unites.size() != p.noms.size()) {
        refuse(erreur, QStringLiteral("nombre d'unités incorrect"));
        return std::nullopt;
    }
    for (; i < l.size() && !l[i].isEmpty() && !l[i].startsWith(QChar('&')); ++i) {
        QStringList champs = l[i].split(QChar('\t'));
        sansTabFinal(champs);
        if (champs.size() != p.noms.size()) {
            refuse(erreur, QStringLiteral("ligne %1 : nombre de valeurs incorrect").arg(i + 1));
            return std::nullopt;
        }
        QVector<double> valeurs;
        valeurs.reserve(champs.size());
        for (const QString& c : champs) {
            if (c.trimmed().isEmpty()) {
                valeurs.append(std::numeric_limits<double>::quiet_NaN());
                continue;
            }
            const std::optional<double> v = LitNombre(c);
            if (!v || !std::isfinite(*v)) {
                refuse(erreur, QStringLiteral("ligne %1 : valeur illisible").arg(i + 1));
                return std::nullopt;
            }
            valeurs.append(*v);
        }
        p.lignes.append(valeurs);
    }
    static const QRegularExpression sectionRe(QStringLiteral("^&([0-9]{1,7}) ?(.*)$"));
    while (i < l.size()) {
        if (l[i].isEmpty()) {
            // Constant block: symbol, unit and value, each followed by a tab.
            if (i + 3 >= l.size()) {
                refuse(erreur, QStringLiteral("constante incomplète"));
                return std::nullopt;
            }
            Constante c;
            c.symbole = l[i + 1].section(QChar('\t'), 0, 0);
            c.unite = l[i + 2].section(QChar('\t'), 0, 0);
            const std::optional<double> v = LitNombre(l[i + 3].section(QChar('\t'), 0, 0));
            if (c.symbole.isEmpty() || !v || !std::isfinite(*v)) {
                refuse(erreur, QStringLiteral("constante incorrecte"));
                return std::nullopt;
            }
            c.valeur = *v;
            p.constantes.append(c);
            i += 4;
            continue;
        }
        const QRegularExpressionMatch m = sectionRe.match(l[i]);
        if (!m.hasMatch()) {
            refuse(erreur, QStringLiteral("ligne %1 inattendue").arg(i + 1));
            return std::nullopt;
        }
        const qsizetype n = m.captured(1).toLongLong();
        Section s;
        s.motCle = m.captured(2).trimmed();
        if (s.motCle.isEmpty() || n > l.size() - i - 1) {
            refuse(erreur, QStringLiteral("section incorrecte ligne %1").arg(i + 1));
            return std::nullopt;
        }
        s.lignes = l.mid(i + 1, n);
        p.sections.append(s);
        i += 1 + n;
    }
    return p;
}

QVector<QPair<int, int>> PageTabulo::courbes(const PageTabulo* reference) const
{
    const PageTabulo* ref = aSection(QStringLiteral("NOMX")) || !reference ? this : reference;
    const QStringList nx = ref->section(QStringLiteral("NOMX"));
    const QStringList ny = ref->section(QStringLiteral("NOMY"));
    QVector<QPair<int, int>> out;
    // One horizontal name per curve; a shorter list reuses its last name.
    for (qsizetype k = 0; k < ny.size() && !nx.isEmpty(); ++k) {
        const int x = int(noms.indexOf(nx[qMin(k, nx.size() - 1)].trimmed()));
        const int y = int(noms.indexOf(ny[k].trimmed()));
        if (x >= 0 && y >= 0)
            out.append({x, y});
    }
    if (out.isEmpty())
        for (int y = 1; y < noms.size(); ++y)
            out.append({0, y});
    return out;
}
