#pragma once
#include <QLineEdit>
#include <QValidator>

#include <functional>
#include <optional>

// Characters of the length field: digits, "," ".", the units m and s, the centi prefix, the
// blank, "%" and the apostrophe. Dropping the blank or the "c" would turn "1,5 m" into 1.5 mm
// and "20 cm" into 20 mm without a word.
extern const char* const kCaracteresLongueur;
// The frame-rate field takes no unit letters.
extern const char* const kCaracteresCadence;

// Refuses any text holding a character outside the list (typed or pasted).
class FiltreCaracteres : public QValidator
{
public:
    FiltreCaracteres(const QString& permis, QObject* parent = nullptr);
    State validate(QString& texte, int& pos) const override;

private:
    QString m_permis;
};

// What Enter or leaving the field gives: the number read, or the previous value and the text
// to rewrite the field with.
struct LectureChamp
{
    bool lu = false;
    double valeur = 0;
    QString texte;
};
LectureChamp LitChamp(const QString& texte, double precedente, const QString& unite);

// A number field such as EchelleEdit (length, "m") or the image-duration field ("s"): Enter or
// leaving reads it; an unreadable text shows the message and is rewritten from the value in
// force as number text with its unit.
class ChampNombre : public QLineEdit
{
    Q_OBJECT
public:
    ChampNombre(const QString& unite, const QString& messageErreur, QWidget* parent = nullptr,
                const QString& permis = QString::fromUtf8(kCaracteresLongueur));

    double valeur() const { return m_valeur; }
    void setValeur(double v);
    // A text from elsewhere (the length prompt): shown as typed, and its number becomes the
    // value in force, so a later unreadable entry falls back to it.
    void setTexteLu(const QString& texte);
    // Reads the text as on Enter; true when it read.
    bool valide();

    // Shows the error; a message box unless replaced (tests).
    std::function<void(const QString&)> afficheErreur;

signals:
    void nombreLu(double valeur);
    void illisible();

protected:
    void focusOutEvent(QFocusEvent* e) override;

private:
    QString m_unite;
    QString m_message;
    double m_valeur = 1;
    bool m_enCours = false;
};

// The input box "Echelle" / "Longueur en mètre ?"; empty when cancelled.
std::optional<QString> DemandeLongueur(QWidget* parent, const QString& defaut);
