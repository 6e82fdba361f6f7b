#include "ExchangeText.h"

#include "NumberText.h"

void ExchangeText::addLine(const QString& line) { m_lines.append(QStringList{line}); }

void ExchangeText::addFields(const QStringList& fields) { m_lines.append(fields); }

void ExchangeText::addSection(const QString& keyword, const QStringList& lines)
{
    addLine(QStringLiteral("&") + QString::number(lines.size()) + QChar(' ') + keyword);
    for (const QString& l : lines)
        addLine(l);
}

QStringList ExchangeText::toStrings(QChar separator) const
{
    QStringList out;
    out.reserve(m_lines.size());
    for (const QStringList& l : m_lines)
        out.append(l.join(separator));
    return out;
}

QString ExchangeText::toText(QChar separator) const
{
    QString out;
    for (const QStringList& l : m_lines) {
        out += l.join(separator);
        out += QLatin1String("\r\n");
    }
    return out;
}

void AjouteConst(ExchangeText& text, const QString& symbole, const QString& unite, const QString& valeur)
{
    if (symbole.isEmpty())
        return;
    const std::optional<double> v = LitNombre(valeur);
    if (!v)
        return;
    text.addLine(QString());
    text.addLine(symbole + QChar('\t'));
    text.addLine(unite + QChar('\t'));
    text.addLine(TexteNombre(*v) + QChar('\t'));
}
