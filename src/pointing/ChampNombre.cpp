#include "ChampNombre.h"

#include "NumberText.h"

#include <QInputDialog>
#include <QMessageBox>

const char* const kCaracteresLongueur = "0123456789,.mcs %'";
const char* const kCaracteresCadence = "0123456789,.%'";

FiltreCaracteres::FiltreCaracteres(const QString& permis, QObject* parent) : QValidator(parent), m_permis(permis) {}

QValidator::State FiltreCaracteres::validate(QString& texte, int&) const
{
    for (const QChar c : texte) {
        if (!m_permis.contains(c))
            return Invalid;
    }
    return Acceptable;
}

LectureChamp LitChamp(const QString& texte, double precedente, const QString& unite)
{
    LectureChamp r;
    if (const std::optional<double> v = LitNombre(texte)) {
        r.lu = true;
        r.valeur = *v;
        r.texte = texte;
    } else {
        r.valeur = precedente;
        r.texte = TexteNombreUnite(precedente, unite);
    }
    return r;
}

ChampNombre::ChampNombre(const QString& unite, const QString& messageErreur, QWidget* parent, const QString& permis)
    : QLineEdit(parent), m_unite(unite), m_message(messageErreur)
{
    setValidator(new FiltreCaracteres(permis, this));
    setText(QStringLiteral("1"));
    connect(this, &QLineEdit::returnPressed, this, [this] { valide(); });
    afficheErreur = [this](const QString& m) { QMessageBox::warning(window(), window()->windowTitle(), m); };
}

void ChampNombre::setValeur(double v)
{
    m_valeur = v;
    setText(TexteNombreUnite(v, m_unite));
}

void ChampNombre::setTexteLu(const QString& texte)
{
    if (const std::optional<double> v = LitNombre(texte))
        m_valeur = *v;
    setText(texte);
}

bool ChampNombre::valide()
{
    // The message box takes the focus: the focus-out it causes must not read the field again.
    if (m_enCours)
        return false;
    const LectureChamp r = LitChamp(text(), m_valeur, m_unite);
    if (r.lu) {
        m_valeur = r.valeur;
        emit nombreLu(r.valeur);
        return true;
    }
    m_enCours = true;
    setText(r.texte);
    if (afficheErreur && !m_message.isEmpty())
        afficheErreur(m_message);
    m_enCours = false;
    emit illisible();
    return false;
}

void ChampNombre::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    valide();
}

std::optional<QString> DemandeLongueur(QWidget* parent, const QString& defaut)
{
    bool ok = false;
    const QString r = QInputDialog::getText(parent, QStringLiteral("Echelle"), QStringLiteral("Longueur en mètre ?"),
                                            QLineEdit::Normal, defaut, &ok);
    if (!ok)
        return std::nullopt;
    return r;
}
