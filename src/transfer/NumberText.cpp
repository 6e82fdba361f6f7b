#include "NumberText.h"
#include "Arrondi.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>
#include <cstdio>

namespace {

QChar& separateurCourant()
{
    static QChar sep = [] {
        const QString p = QLocale::system().decimalPoint();
        return p.isEmpty() ? QChar('.') : p.at(0);
    }();
    return sep;
}

constexpr double kSeuilUnite = 1e-19;
constexpr double kSeuilMantisse = 1e-15;
constexpr int kIndexSansPrefixe = 9;

const char16_t* const kPrefixes[18] = {u"",  u"y", u"z", u"a", u"f", u"p", u"n", u"µ", u"m",
                                        u"",  u"k", u"M", u"G", u"T", u"P", u"E", u"Z", u"Y"};
const char* const kSuffixes[18] = {"",   "E-24", "E-21", "E-18", "E-15", "E-12", "E-9", "E-6", "E-3",
                                   "",   "E+3",  "E+6",  "E+9",  "E+12", "E+15", "E+18", "E+21", "E+24"};

// Index of a prefix letter accepted when reading (Z and Y are not), 0 if none.
int indexPrefixeLu(QChar c)
{
    if (c == QChar(0x03BC)) // Greek mu typed instead of the micro sign
        return 7;
    for (int i = 1; i <= 15; ++i) {
        if (i == kIndexSansPrefixe)
            continue;
        if (QString::fromUtf16(kPrefixes[i]) == QString(c))
            return i;
    }
    return 0;
}

// Exponent that a prefix letter stands for when reading, null if none. Centi is read too:
// teachers measure in centimetres, and "20 cm" must not turn into 20 mm.
const char* suffixeLu(QChar c)
{
    if (c == QChar('c'))
        return "E-2";
    const int i = indexPrefixeLu(c);
    return i != 0 ? kSuffixes[i] : nullptr;
}

// Steps shared by the unit and mantissa forms: rounding to 5 digits, choosing the prefix
// and the fixed text. Returns false when a step fails (text then tells which result).
enum class Echec { Aucun, Zero, Vide };

Echec formeIngenieur(double x, QString& texte, int& index)
{
    const double q = std::pow(10.0, std::ceil(std::log10(x)) - 5);
    x = arrondiPair(x / q) * q;
    if (!std::isfinite(x) || !std::isfinite(q) || q == 0)
        return Echec::Zero;
    int i = kIndexSansPrefixe;
    while (x >= 999 && i < 18) {
        x /= 1000;
        ++i;
    }
    if (i == 18)
        return Echec::Vide;
    while (x < 0.999 && i > 0) {
        x *= 1000;
        --i;
    }
    if (i == 0)
        return Echec::Zero;
    const int decimales = x < 10 ? 4 : (x < 100 ? 3 : 2);
    QString s = QString::number(x, 'f', decimales);
    if (s.contains(QLatin1String("nan"), Qt::CaseInsensitive))
        return Echec::Vide;
    if (separateurCourant() != QChar('.'))
        s.replace(QChar('.'), separateurCourant());
    s = s.trimmed();
    s = s.left(s.indexOf(QChar('.')) >= 5 ? 5 : 6);
    texte = s;
    index = i;
    return Echec::Aucun;
}

} // namespace

QChar separateurDecimal() { return separateurCourant(); }
void setSeparateurDecimal(QChar sep) { separateurCourant() = sep; }

QString prefixeSI(int index)
{
    if (index < 1 || index > 17)
        return {};
    return QString::fromUtf16(kPrefixes[index]);
}

QString TexteNombre(double x)
{
    if (std::isnan(x))
        return QStringLiteral("NAN");
    if (std::isinf(x))
        return x > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (x == 0)
        return QStringLiteral("0");
    // %.5e gives the value rounded to 6 significant digits with its decimal exponent.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.5e", std::fabs(x));
    const QString s = QString::fromLatin1(buf);
    const int e = s.mid(s.indexOf('e') + 1).toInt();
    QString chiffres = s.left(1) + s.mid(2, 5);
    while (chiffres.size() > 1 && chiffres.endsWith('0'))
        chiffres.chop(1);
    const QChar sep = separateurCourant();
    QString r;
    if (e >= -4 && e <= 5) {
        if (e >= 0) {
            QString entier = chiffres.left(e + 1);
            while (entier.size() < e + 1)
                entier += '0';
            const QString frac = chiffres.mid(e + 1);
            r = frac.isEmpty() ? entier : entier + sep + frac;
        } else {
            r = QStringLiteral("0") + sep + QString(-e - 1, '0') + chiffres;
        }
    } else {
        r = chiffres.left(1);
        if (chiffres.size() > 1)
            r += sep + chiffres.mid(1);
        r += 'E';
        if (e < 0)
            r += '-';
        r += QString::number(std::abs(e)).rightJustified(2, '0');
    }
    return x < 0 ? QStringLiteral("-") + r : r;
}

QString TexteNombrePoint(double x)
{
    QString s = TexteNombre(x);
    const QChar sep = separateurCourant();
    if (sep != QChar('.')) {
        const int p = s.indexOf(sep);
        if (p >= 0)
            s[p] = QChar('.');
    }
    return s;
}

QString TexteNombreUnite(double x, const QString& unite)
{
    const bool negatif = x < 0;
    x = std::fabs(x);
    if (!(x >= kSeuilUnite))
        return QStringLiteral("0");
    QString texte;
    int i = kIndexSansPrefixe;
    switch (formeIngenieur(x, texte, i)) {
    case Echec::Zero:
        return QStringLiteral("0");
    case Echec::Vide:
        return {};
    case Echec::Aucun:
        break;
    }
    QString r = texte + QChar(' ');
    if (negatif)
        r.prepend(QChar('-'));
    if (i != kIndexSansPrefixe)
        r += prefixeSI(i);
    return r + unite;
}

QString TexteMantisse(double x, int& code)
{
    x = std::fabs(x);
    code = 0;
    QString texte;
    int i = kIndexSansPrefixe;
    if (!(x >= kSeuilMantisse) || formeIngenieur(x, texte, i) != Echec::Aucun)
        return QStringLiteral("1");
    if (i < 6)
        i = 7;
    if (i > 9)
        i = 9;
    code = 9 - i;
    return texte;
}

namespace {

// Replaces the first separator-like character by the one the conversion expects.
QString separateurNormalise(QString t)
{
    const QChar sep = separateurCourant();
    if (sep == QChar('.')) {
        const int p = t.indexOf(QChar(','));
        if (p >= 0)
            t[p] = QChar('.');
    } else {
        const int p = t.indexOf(QChar('.'));
        if (p >= 0)
            t[p] = sep;
    }
    return t;
}

// Strict conversion in the current separator: digits, one separator, optional exponent.
std::optional<double> convertit(QString t)
{
    const QChar sep = separateurCourant();
    if (sep != QChar('.')) {
        if (t.contains(QChar('.')))
            return std::nullopt;
        t.replace(sep, QChar('.'));
    }
    static const QRegularExpression forme(
        QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    if (!forme.match(t).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

} // namespace

std::optional<double> LitNombre(const QString& texte)
{
    QString t = separateurNormalise(texte);
    QChar c;
    if (t.size() >= 2) {
        c = t.at(t.size() - 1);
        const QChar b = t.at(t.size() - 2);
        if (c == QChar('m') && (suffixeLu(b) != nullptr || b == QChar(' '))) {
            t.chop(1);
            c = b;
        } else if (c == QChar('s')) {
            t.chop(1);
            c = b;
        }
    }
    t.remove(QChar(' '));
    const char* suffixe = c.isNull() ? nullptr : suffixeLu(c);
    if (suffixe && !t.isEmpty()) {
        t.chop(1);
        t += QLatin1String(suffixe);
    }
    return convertit(t);
}

double LitNombreEchelle(const QString& texte, int code)
{
    double v = convertit(separateurNormalise(texte).trimmed()).value_or(1.0);
    switch (code) {
    case 1: v /= 1e3; break;
    case 2: v /= 1e6; break;
    case 3: v /= 1e9; break;
    default: break;
    }
    return v;
}

QString texteFixe(double x, int precision, int decimales)
{
    if (!std::isfinite(x) || std::fabs(x) >= std::pow(10.0, precision))
        return TexteNombre(x);
    // Round to the significant digits first, then show the decimals.
    const QString s = QString::number(QString::number(x, 'g', precision).toDouble(), 'f', decimales);
    return QString(s).replace('.', separateurDecimal());
}
