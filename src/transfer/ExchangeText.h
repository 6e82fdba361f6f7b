#pragma once
#include <QString>
#include <QStringList>
#include <QVector>

// The table a tool hands over: an ordered list of lines, each a list of fields.
// Joined with tabs it is the exchange text; joined with another separator it is a table file.
class ExchangeText
{
public:
    // One line of a single field (path, title, comment, section line...).
    void addLine(const QString& line);
    // One line of several fields.
    void addFields(const QStringList& fields);
    // A section: "&" + line count + " " + keyword, then the lines, one field each.
    void addSection(const QString& keyword, const QStringList& lines);

    const QVector<QStringList>& lines() const { return m_lines; }
    int lineCount() const { return int(m_lines.size()); }
    bool isEmpty() const { return m_lines.isEmpty(); }

    // Fields joined by `separator`, every line (the last too) ended by CR LF.
    QString toText(QChar separator = QChar('\t')) const;
    // Lines joined by the separator, without line ends (for tests and display).
    QStringList toStrings(QChar separator = QChar('\t')) const;

private:
    QVector<QStringList> m_lines;
};

// Constant block: an empty line, then symbol, unit and value each followed by a tab.
// Added only when the symbol is not empty and the value reads as a number.
void AjouteConst(ExchangeText& text, const QString& symbole, const QString& unite, const QString& valeur);
