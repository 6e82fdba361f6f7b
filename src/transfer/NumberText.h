#pragma once
#include <QChar>
#include <QString>
#include <optional>

// Every number shown, exported or typed goes through these conversions.
// Output follows the decimal separator; input accepts "," and ".", SI prefixes and the units m and s.

// The separator taken from the user's locale at start; tests may set it.
QChar separateurDecimal();
void setSeparateurDecimal(QChar sep);

// General number text: 6 significant digits, fixed between 1E-4 and 999999, else d.ddddE[-]xx.
QString TexteNombre(double x);
// General number text with `chiffres` significant digits (1..15), fixed while the exponent lies
// between -4 and chiffres - 1.
QString TexteNombreChiffres(double x, int chiffres);
// The same with "." whatever the separator.
QString TexteNombrePoint(double x);
// Engineering form with SI prefix and unit, e.g. 0.0123,"m" -> "12.300 mm".
QString TexteNombreUnite(double x, const QString& unite);
// Mantissa text and a code (0 none, 1 milli, 2 micro, 3 nano) for the intensity tool.
QString TexteMantisse(double x, int& code);
// Reads a typed number; empty optional when the text is not a number.
std::optional<double> LitNombre(const QString& texte);
// Fixed notation with `decimales` decimals after rounding to `precision` significant digits;
// too many integer digits switch to the general number text.
QString texteFixe(double x, int precision, int decimales);
// Reads a number given in a fixed power of ten (code 0..3); unreadable text reads as 1.
double LitNombreEchelle(const QString& texte, int code);

// SI prefix letter of index 1..17 (9 = none).
QString prefixeSI(int index);
