#include "FileSearch.h"

#include <QDir>
#include <QRegularExpression>

#include <algorithm>

int compareNaturel(const QString& a, const QString& b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            // Compare the two numbers by value: skip leading zeros, then length, then digits.
            qsizetype di = i, dj = j;
            while (di < a.size() && a[di] == QChar('0'))
                ++di;
            while (dj < b.size() && b[dj] == QChar('0'))
                ++dj;
            qsizetype fi = di, fj = dj;
            while (fi < a.size() && a[fi].isDigit())
                ++fi;
            while (fj < b.size() && b[fj].isDigit())
                ++fj;
            if (fi - di != fj - dj)
                return fi - di < fj - dj ? -1 : 1;
            for (qsizetype k = 0; k < fi - di; ++k)
                if (a[di + k] != b[dj + k])
                    return a[di + k] < b[dj + k] ? -1 : 1;
            // Equal values: fewer leading zeros first, so "img2" and "img02" keep one order.
            if (fi - i != fj - j)
                return fi - i < fj - j ? -1 : 1;
            i = fi;
            j = fj;
            continue;
        }
        const QChar ca = a[i].toCaseFolded(), cb = b[j].toCaseFolded();
        if (ca != cb)
            return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size())
        return i < a.size() ? 1 : -1;
    // Same name but for case: a fixed order all the same.
    return a.compare(b);
}

QString TFileSearch::FirstFile(const QString& SearchPath, const QString& FileKind)
{
    Close();
    if (SearchPath.isEmpty())
        Path = QStringLiteral("./");
    else if (SearchPath.endsWith(QChar('/')))
        Path = SearchPath;
    else
        Path = SearchPath + QChar('/');

    QDir dir(Path);
    dir.setFilter(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    dir.setSorting(QDir::Unsorted);
    // Matched here rather than by QDir so that case is ignored whatever the file system does.
    m_noms.clear();
    const QRegularExpression motif(QRegularExpression::wildcardToRegularExpression(FileKind),
                                   QRegularExpression::CaseInsensitiveOption);
    for (const QString& nom : dir.entryList())
        if (motif.match(nom).hasMatch())
            m_noms << nom;
    std::sort(m_noms.begin(), m_noms.end(),
              [](const QString& a, const QString& b) { return compareNaturel(a, b) < 0; });
    m_suivant = 0;
    if (m_noms.isEmpty())
        return {};
    Opened = true;
    return NextFile();
}

QString TFileSearch::NextFile()
{
    if (!Opened)
        return {};
    if (m_suivant >= m_noms.size()) {
        Close();
        return {};
    }
    return Path + m_noms[m_suivant++];
}

void TFileSearch::Close()
{
    if (!Opened)
        return;
    Opened = false;
    m_noms.clear();
    m_suivant = 0;
}
