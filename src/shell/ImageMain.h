#pragma once
#include "Repertoires.h"
#include "ToolFactories.h"
#include "ToolHost.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>

class QPushButton;
class RoutageConseils;

// The launcher: one button per measuring tool, the folder buttons, the active mode, and the
// services every tool receives (folders, settings file, GIF conversion, transfer service).
class TImageFormMain : public QWidget, public ToolHost
{
    Q_OBJECT
public:
    explicit TImageFormMain(std::vector<EntreeOutil> fabriques = fabriquesOutils(), QWidget* parent = nullptr);
    ~TImageFormMain() override;

    // ToolHost
    QString mesDocsDir() const override { return rep_.MesDocsDir; }
    QString appDataDir() const override { return rep_.appDataDir; }
    QString tamponDir() const override { return rep_.tamponDir; }
    QString fichierIni() const override { return rep_.fichierIni(); }
    Tmode mode() const override { return mode_; }
    void setMode(Tmode m) override { mode_ = m; }
    QString ConvertitGifBmp(const QString& nom) override;
    Transfert& transfert() override;

    Repertoires& repertoires() { return rep_; }
    QString systemDir() const { return rep_.systemDir; }

    // The tool window of a mode, once it has been made.
    QWidget* fenetreOutil(Tmode m) const;
    QPushButton* boutonOutil(Tmode m) const;

    // Which of several tools opens a file given from outside; mNone when cancelled. Replaceable (tests).
    std::function<Tmode(QWidget* parent, const QString& fichier, const std::vector<Tmode>& outils)> choisitOutil =
        choisitOutilParDefaut;
    static Tmode choisitOutilParDefaut(QWidget* parent, const QString& fichier, const std::vector<Tmode>& outils);

    // Shows the folder browser; returns the chosen folder or an empty string. Replaceable (tests).
    std::function<QString(QWidget* parent, const QString& titre, const QString& depart)> choisitDossier;

public slots:
    void setFocusMain() override;
    // A second copy of the program was started: bring this one back, then its active tool.
    void montreDemande();
    // What a click on a tool button does: make the window once, give it its folder, set the mode, show it.
    void ouvreOutil(Tmode m);
    // The folder buttons.
    void RepAviBtnClick(Repertoires::Champ champ);
    void AboutBtnClick();
    // A file from the command line or a later copy: opens it in the tool for its kind.
    void ouvreFichier(const QString& chemin);

protected:
    void changeEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    QString dossierOutil(Tmode m) const;
    void majBullesDossiers();

    Repertoires rep_;
    Tmode mode_ = mNone;
    std::map<Tmode, FabriqueOutil> fabriques_;
    std::map<Tmode, QPointer<QWidget>> fenetres_;
    std::map<Tmode, QPushButton*> boutons_;
    std::map<Repertoires::Champ, QPushButton*> boutonsDossiers_;
    RoutageConseils* routage_ = nullptr;
    std::unique_ptr<Transfert> transfert_;
};
