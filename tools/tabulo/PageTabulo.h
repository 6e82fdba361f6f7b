#pragma once
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

// One page of data as the analysis program receives it: path, title, comment, names, units,
// rows, constants and option sections.
struct PageTabulo
{
    struct Constante
    {
        QString symbole, unite;
        double valeur = 0;
    };
    struct Section
    {
        QString motCle;
        QStringList lignes;
    };

    QString chemin, titre, commentaire;
    QStringList noms, unites;
    QStringList sens;                  // meanings of the columns, when the text gives them
    QVector<QVector<double>> lignes;   // NaN where a field is empty
    QVector<Constante> constantes;
    QVector<Section> sections;

    // Lines of the first section of that keyword (empty when absent).
    QStringList section(const QString& motCle) const;
    bool aSection(const QString& motCle) const;

    // Reads the exchange text; refuses (empty result, reason in `erreur`) anything malformed.
    static std::optional<PageTabulo> lis(const QString& texte, QString* erreur = nullptr);

    // Couples of column indexes to plot (y against x): the NOMY names against the NOMX names of
    // `reference` (this page's sections when it has them), else every column against the first.
    QVector<QPair<int, int>> courbes(const PageTabulo* reference = nullptr) const;
};
