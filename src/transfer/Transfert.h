#pragma once
#include "ExchangeText.h"

#include <QString>
#include <functional>
#include <memory>

class QWidget;
class TConstanteDlg;
class TFormDDE;

// Destinations of the transfer menu, by tag.
enum class Destination { Tabulo = 0, PressePapiers = 1, Fichier = 2 };

// What a tool supplies for one transfer.
struct TableSource
{
    // Run once the user has accepted the page dialog, before anything is sent: false stops the
    // transfer (the tool has told the user why).
    std::function<bool()> accepte;
    // Run once the user has accepted the page dialog (or chosen the file): stop timers,
    // recompute the scale...
    std::function<void()> avant;
    // Header, units and data rows, as fields.
    std::function<void(ExchangeText&)> table;
    // Analysis-program only: the tool's sections, written after the constant block.
    std::function<void(ExchangeText&, bool nouveauFichier)> sections;
    // Title line of a new file in the analysis program; each tool may name itself.
    QString titre = QStringLiteral("Acquisition par kinexo");
};

// The one way tools hand their tables over. Owned by the host, lives for the whole run.
class Transfert
{
public:
    explicit Transfert(class ToolHost& host);
    ~Transfert();

    // Tabulo or clipboard: page dialog (anything but OK: nothing done, returns false), then the
    // text on the clipboard, the command to the analysis program for Tabulo, and the dialog
    // switched to "Nouvelle page". Messages are shown to the user; returns true when sent.
    bool envoie(QWidget* parent, Destination destination, const TableSource& source);

    // File: save dialog in `dossier`; ".csv" gets "," or ";" by the decimal separator, other
    // names tabs; written atomically; "Erreur d'écriture" on failure.
    bool sauve(QWidget* parent, const QString& dossier, const TableSource& source);

    // The exchange text for a destination, without any dialog (used by envoie and by tests).
    ExchangeText construit(Destination destination, const TableSource& source) const;

    // Writes a table file with the separator rule of its extension. False on failure.
    static bool ecritTable(const QString& chemin, const ExchangeText& table);

    TConstanteDlg& constanteDlg();
    TFormDDE& formDDE();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
