#include "PointageControleur.h"

#include "NumberText.h"

#include <cstdlib>

const char* const kHintCurseur = "Clic droit pour choix du curseur";

namespace {

int manhattan(QPoint a, QPoint b) { return std::abs(a.x() - b.x()) + std::abs(a.y() - b.y()); }

QString hintCurseur() { return QString::fromUtf8(kHintCurseur); }

} // namespace

PointageControleur::PointageControleur(PointageModel& modele, QObject* parent) : QObject(parent), m_modele(modele)
{
}

std::optional<QLine> PointageControleur::bande() const
{
    if (!m_bandeFin)
        return std::nullopt;
    const auto& r = m_modele.PointRepere;
    const bool poignees = m_modele.regles().poigneesSeules;
    switch (BorneSelect) {
    case bsEchelle1:
        if (poignees)
            return QLine(r[bsEchelle2], *m_bandeFin);
        return std::nullopt;
    case bsEchelle2:
    case bsEchelle2Move:
        return QLine(r[bsEchelle1], *m_bandeFin);
    case bsEchelle1Move:
        return QLine(r[bsEchelle2], *m_bandeFin);
    case bsMesure:
        if (m_modele.angle && (m_modele.PointCourant == 2 || m_modele.PointCourant == 3))
            return QLine(m_modele.XY[m_modele.PointCourant - 1][m_modele.Nmes], *m_bandeFin);
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

bool PointageControleur::echelleEnCours() const
{
    return !m_modele.regles().poigneesSeules && (BorneSelect == bsEchelle1 || BorneSelect == bsEchelle2);
}

int PointageControleur::curseurSuivant() const
{
    return m_modele.PointCourant == 0 ? int(crOrigine) : CurseurPointage;
}

QString PointageControleur::hintPremierPoint(int ligne) const
{
    if (m_modele.angle)
        return QStringLiteral("|Cliquer sur la direction de référence (image n° %1)").arg(ligne + 1);
    if (m_modele.NbreSE == 1)
        return QStringLiteral("|Cliquer sur le point à repérer (image n° %1)").arg(ligne + 1);
    return QStringLiteral("|Cliquer sur le premier point de l'image n° %1").arg(ligne + 1);
}

QString PointageControleur::hintPoint(int k, int ligne) const
{
    if (m_modele.angle) {
        switch (k) {
        case 2:
            return QStringLiteral("|Cliquer sur l'origine de l'angle (image n° %1)").arg(ligne + 1);
        case 3:
            return QStringLiteral("|Cliquer sur la direction à repérer (image n° %1)").arg(ligne + 1);
        default:
            return hintPremierPoint(ligne);
        }
    }
    return QStringLiteral("|Cliquer sur le %1ième point de l'image n° %2").arg(k).arg(ligne + 1);
}

void PointageControleur::MesureBtnClick(bool enfonce)
{
    m_mesure = enfonce;
    m_bandeFin.reset();
    if (enfonce) {
        BorneSelect = bsMesure;
        m_modele.DebutMesures();
        if (m_modele.origineMobile) {
            emit curseur(crOrigine);
            emit hint(QStringLiteral("Origine du point n°1"));
        } else {
            emit curseur(CurseurPointage);
            emit hint(hintPremierPoint(0));
        }
    } else {
        BorneSelect = bsNone;
        emit hint(hintCurseur());
        emit curseur(crDefaut);
    }
    emit boutons();
    emit repeindre();
}

void PointageControleur::finMesures()
{
    m_mesure = false;
    BorneSelect = bsNone;
    m_bandeFin.reset();
    emit hint(hintCurseur());
    emit curseur(crDefaut);
    emit mesuresTerminees();
    emit boutons();
    emit repeindre();
}

void PointageControleur::OrigineBtnClick()
{
    if (m_modele.origineMobile)
        return;
    BorneSelect = bsOrigine;
    emit hint(QStringLiteral("Cliquer sur l'origine des axes"));
    emit statut(QStringLiteral("Cliquer sur le point à l'origine des axes"));
    emit curseur(crOrigine);
}

void PointageControleur::EchelleBtnClick()
{
    BorneSelect = bsEchelle1;
    m_bandeFin.reset();
    m_modele.PointRepere[bsEchelle1] = QPoint(0, 0);
    emit hint(QStringLiteral("Début|Cliquer sur le début de l'échelle"));
    emit statut(QStringLiteral("Cliquer sur le premier point puis sur le deuxième de l'échelle"));
    emit curseur(CurseurPointage);
    emit repeindre();
}

void PointageControleur::UndoBtnClick()
{
    m_modele.Defaire();
    if (m_modele.origineMobile) {
        emit hint(QStringLiteral("|Cliquer sur l'origine du point n°%1").arg(m_modele.Nmes + 1));
        emit curseur(crOrigine);
    } else {
        emit hint(hintPremierPoint(m_modele.Nmes));
        emit curseur(CurseurPointage);
    }
    emit boutons();
    emit imagePrecedente();
    emit repeindre();
}

void PointageControleur::OrigineTempsImage(double tempsImage)
{
    m_modele.torigine = tempsImage;
    emit tempsChanges();
}

void PointageControleur::OrigineTempsBtnClick(bool enfonce)
{
    if (!enfonce) {
        if (m_origineTemps)
            relacheOrigineTemps();
        return;
    }
    m_origineTemps = true;
    if (!m_modele.regles().poigneesSeules)
        emit message(QStringLiteral("Cliquer sur le point enregistré qui sera l'origine des temps"));
    emit statut(QStringLiteral("cliquer sur le point origine des temps"));
    emit curseur(crOrigineTemps);
}

void PointageControleur::relacheOrigineTemps()
{
    m_origineTemps = false;
    emit statut(m_mesure ? QStringLiteral("cliquer sur le point à enregistrer") : QString());
    emit curseur(m_mesure ? curseurSuivant() : crDefaut);
    emit origineTempsRelachee();
}

void PointageControleur::GrilleLigneChoisie(int ligne)
{
    if (!m_origineTemps)
        return;
    if (ligne >= 0 && ligne < m_modele.Nmes) {
        m_modele.OrigineTempsLigne(ligne);
        emit tempsChanges();
    }
    relacheOrigineTemps();
}

TstyleDrag PointageControleur::RepereProche(QPoint p) const
{
    const ReglesPointage& r = m_modele.regles();
    if (!r.poigneesActives)
        return bsNone;
    const auto& pr = m_modele.PointRepere;
    TstyleDrag ordre[] = {bsMesure, bsOrigine, bsEchelle1, bsEchelle2, bsMesureAuto};
    for (TstyleDrag s : ordre) {
        // The last click exists only once a point was recorded; the tracking target only
        // while tracking is set up.
        if (s == bsMesure && !m_clicEnregistre)
            continue;
        if (s == bsMesureAuto && !poigneeAutoActive)
            continue;
        if (manhattan(p, pr[s]) < r.distancePoignee) {
            if (!r.poigneesSeules && s == bsEchelle1)
                return bsEchelle1Move;
            if (!r.poigneesSeules && s == bsEchelle2)
                return bsEchelle2Move;
            return s;
        }
    }
    return bsNone;
}

void PointageControleur::survol(QPoint p)
{
    const TstyleDrag s = RepereProche(p);
    const bool poignees = m_modele.regles().poigneesSeules;
    QString texte = hintCurseur();
    int c = crCibleMove;
    switch (s) {
    case bsNone:
        c = crDefaut;
        break;
    case bsOrigine:
        texte = QStringLiteral("Cliquer sur l'origine des axes");
        if (!poignees)
            c = crOrigine;
        break;
    case bsEchelle1Move:
        texte = QStringLiteral("Déplacer le début de l'échelle");
        break;
    case bsEchelle2Move:
        texte = QStringLiteral("Déplacer la fin de l'échelle");
        break;
    case bsEchelle1:
        texte = QStringLiteral("Début|Cliquer sur le début de l'échelle");
        break;
    case bsEchelle2:
        texte = QStringLiteral("Fin|Cliquer sur la fin de l'échelle");
        break;
    default:
        break;
    }
    if (m_survol && *m_survol == s)
        return;
    m_survol = s;
    emit curseur(c);
    emit hint(texte);
    emit statut(texte);
}

void PointageControleur::appui(QPoint p, Qt::MouseButton bouton, Qt::KeyboardModifiers)
{
    if (bouton != Qt::LeftButton)
        return;
    m_boutonBas = true;
    if (m_origineTemps) {
        if (m_modele.ChoisitOrigineTemps(p))
            emit tempsChanges();
        return;
    }
    if (BorneSelect == bsNone) {
        const TstyleDrag s = RepereProche(p);
        m_survol.reset();
        BorneSelect = s;
        if (s != bsNone) {
            survol(p);
            m_survol.reset();
        }
    }
    if (BorneSelect == bsEchelle1 && !m_modele.regles().poigneesSeules)
        m_modele.PointRepere[BorneSelect] = p;
}

void PointageControleur::deplacement(QPoint p, Qt::MouseButtons boutons, Qt::KeyboardModifiers mods)
{
    if (!(boutons & Qt::LeftButton))
        m_boutonBas = false;
    if (m_origineTemps)
        return;
    const bool poignees = m_modele.regles().poigneesSeules;
    const QPoint debut = m_modele.PointRepere[bsEchelle1];
    switch (BorneSelect) {
    case bsNone:
        if (!m_boutonBas)
            survol(p);
        break;
    case bsEchelle1:
        if (poignees) {
            if (m_boutonBas) {
                m_bandeFin = p;
                emit repeindre();
            }
        } else if (m_boutonBas && debut.x() > 0 && debut.y() > 0 && manhattan(p, debut) > kSeuilGlisser) {
            BorneSelect = bsEchelle2;
            m_bandeFin = p;
            emit hint(QStringLiteral("|Glisser jusqu'à la fin de l'échelle"));
            emit repeindre();
        }
        break;
    case bsEchelle2:
        if (!poignees || m_boutonBas) {
            m_bandeFin = p;
            emit repeindre();
        }
        break;
    case bsEchelle1Move:
    case bsEchelle2Move:
        if (m_boutonBas) {
            m_bandeFin = p;
            emit repeindre();
        }
        break;
    case bsMesure:
        if (prendPixels) {
            m_modele.Pixels = prendPixels(p);
            emit comparaison();
        }
        if (m_modele.angle && (m_modele.PointCourant == 2 || m_modele.PointCourant == 3)) {
            // With Shift the band is held vertical or horizontal.
            QPoint fin = p;
            const QPoint a = m_modele.XY[m_modele.PointCourant - 1][m_modele.Nmes];
            if (mods & Qt::ShiftModifier) {
                if (std::abs(p.y() - a.y()) > std::abs(p.x() - a.x()))
                    fin.setX(a.x());
                else
                    fin.setY(a.y());
            }
            m_bandeFin = fin;
            emit repeindre();
        }
        break;
    default:
        break;
    }
}

bool PointageControleur::echelleTropProche(TstyleDrag bouge)
{
    const int minimum = m_modele.regles().ecartEchelleMin;
    auto& r = m_modele.PointRepere;
    if (minimum <= 0 || manhattan(r[bsEchelle1], r[bsEchelle2]) >= minimum)
        return false;
    const QPoint d(kDecalageEchelle, kDecalageEchelle);
    if (bouge == bsEchelle1)
        r[bsEchelle1] = r[bsEchelle2] - d;
    else
        r[bsEchelle2] = r[bsEchelle1] + d;
    emit message(QStringLiteral("Points trop proches"));
    return true;
}

void PointageControleur::finEchelle()
{
    const QString defaut = texteLongueur ? texteLongueur() : TexteNombre(m_modele.LongueurEchelle);
    const std::optional<QString> reponse = demandeLongueur ? demandeLongueur(defaut) : std::nullopt;
    const std::optional<double> lu = reponse ? LitNombre(*reponse) : std::nullopt;
    if (lu) {
        m_modele.LongueurEchelle = *lu;
        emit texteLongueurChange(*reponse);
    } else if (const std::optional<double> champ = LitNombre(defaut)) {
        m_modele.LongueurEchelle = *champ;
    }
    m_modele.CalculEchelle();
}

void PointageControleur::relache(QPoint p, Qt::MouseButton bouton, Qt::KeyboardModifiers)
{
    if (bouton != Qt::LeftButton)
        return;
    m_boutonBas = false;
    if (m_origineTemps) {
        relacheOrigineTemps();
        return;
    }
    const ReglesPointage& regles = m_modele.regles();
    if (regles.clicDansImage && (p.x() > m_modele.Largeur || p.y() > m_modele.Hauteur))
        return;
    auto& r = m_modele.PointRepere;
    auto termine = [this]() {
        BorneSelect = bsNone;
        m_bandeFin.reset();
        m_survol.reset();
        emit curseur(crDefaut);
        emit hint(hintCurseur());
        emit statut(QString());
        m_modele.CalculEchelle();
        emit repeindre();
    };
    switch (BorneSelect) {
    case bsMesure:
        r[bsMesure] = p;
        enregistre(p);
        break;
    case bsOrigine:
        r[bsOrigine] = p;
        termine();
        break;
    case bsEchelle1:
        r[bsEchelle1] = p;
        if (regles.poigneesSeules) {
            echelleTropProche(bsEchelle1);
            termine();
        } else {
            BorneSelect = bsEchelle2;
            m_bandeFin = p;
            emit hint(QStringLiteral("Fin|Cliquer sur la fin de l'échelle"));
            emit repeindre();
        }
        break;
    case bsEchelle2:
        r[bsEchelle2] = p;
        if (regles.poigneesSeules) {
            echelleTropProche(bsEchelle2);
            termine();
        } else if (echelleTropProche(bsEchelle2)) {
            // Still waiting for the end: the next click sets it again.
            m_bandeFin.reset();
            emit repeindre();
        } else {
            BorneSelect = bsNone;
                    m_bandeFin.reset();
            emit hint(hintCurseur());
            emit curseur(crDefaut);
            finEchelle();
            emit statut(QString());
            emit repeindre();
        }
        break;
    case bsEchelle1Move:
        r[bsEchelle1] = p;
        termine();
        break;
    case bsEchelle2Move:
        r[bsEchelle2] = p;
        termine();
        break;
    case bsMesureAuto:
        r[bsMesureAuto] = p;
        emit cibleChoisie(p);
        break;
    default:
        break;
    }
}

void PointageControleur::clicClavier(QPoint p)
{
    if ((BorneSelect != bsMesure && BorneSelect != bsMesureAuto) || m_origineTemps)
        return;
    const ReglesPointage& regles = m_modele.regles();
    if (regles.clicDansImage && (p.x() > m_modele.Largeur || p.y() > m_modele.Hauteur))
        return;
    if (BorneSelect == bsMesureAuto) {
        m_modele.PointRepere[bsMesureAuto] = p;
        emit cibleChoisie(p);
        return;
    }
    m_modele.PointRepere[bsMesure] = p;
    enregistre(p);
}

void PointageControleur::enregistre(QPoint)
{
    const int k = m_modele.PointCourant;
    const int i = m_modele.Nmes;
    const double t = tempsImage ? tempsImage(i) : 0.0;
    const int frame = numeroImage ? numeroImage() : -1;
    m_bandeFin.reset();
    switch (m_modele.EnregistrePoint(t, frame)) {
    case PointageModel::Enregistrement::Refuse:
        emit message(QStringLiteral("Nombre maximal de mesures atteint"));
        finMesures();
        return;
    case PointageModel::Enregistrement::Point:
        m_clicEnregistre = true;
        if (m_modele.origineMobile && k == 0)
            emit hint(hintPremierPoint(i));
        else
            emit hint(hintPoint(k + 1, i));
        emit curseur(CurseurPointage);
        if (!m_mesure)
            BorneSelect = bsNone;
        emit boutons();
        emit repeindre();
        return;
    case PointageModel::Enregistrement::LigneComplete:
        break;
    }
    m_clicEnregistre = true;
    if (m_modele.origineMobile) {
        emit hint(QStringLiteral("|Cliquer sur l'origine du point n°%1").arg(i + 2));
        emit curseur(crOrigine);
    } else {
        emit hint(hintPremierPoint(i + 1));
        emit curseur(CurseurPointage);
    }
    emit boutons();
    // The grid and the overlay take the completed row at once, before any image change.
    emit repeindre();
    const bool plein = m_modele.Nmes >= int(m_modele.Temps.size());
    if (plein) {
        emit message(QStringLiteral("Nombre maximal de mesures atteint"));
        finMesures();
        return;
    }
    if (!m_mesure) {
        BorneSelect = bsNone;
        return;
    }
    if (!imageSuivanteExiste || imageSuivanteExiste())
        emit imageSuivante();
    else
        finMesures();
}
