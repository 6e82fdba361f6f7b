#pragma once
#include <QString>
#include <QStringList>

// Lists the entries of one folder that match a wildcard pattern, one full path at a time.
// Letter case is ignored in the pattern ("*.JPG" finds "a.jpg") and entries come in natural
// name order (img2 before img10), since callers take that order as the order in time of a
// series: a plain Linux directory listing has no order at all. Every kind of entry matches
// (hidden files, sub-folders), "." and ".." excepted. The empty text is the only end marker.
class TFileSearch
{
public:
    TFileSearch() = default;
    ~TFileSearch() { Close(); }
    TFileSearch(const TFileSearch&) = delete;
    TFileSearch& operator=(const TFileSearch&) = delete;

    // Starts again from the first match; "" when nothing matches or the folder cannot be read.
    // An empty folder means the current one ("./").
    QString FirstFile(const QString& SearchPath, const QString& FileKind);
    // The next match, or "" once the search is exhausted (and on every call after).
    QString NextFile();
    void Close();

    bool Opened = false;
    // Folder of the current search, always ending with "/".
    QString Path;

private:
    QStringList m_noms;
    int m_suivant = 0;
};

// Natural order of names: runs of digits compare by value, the rest ignoring letter case.
// Negative, zero or positive like QString::compare.
int compareNaturel(const QString& a, const QString& b);
