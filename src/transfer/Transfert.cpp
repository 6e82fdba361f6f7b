#include "Transfert.h"

#include "AtomicFile.h"
#include "NumberText.h"
#include "TConstanteDlg.h"
#include "TFormDDE.h"
#include "ToolHost.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>

struct Transfert::Impl
{
    explicit Impl(ToolHost& h) : host(h) {}
    ToolHost& host;
    std::unique_ptr<TConstanteDlg> dlg;
    std::unique_ptr<TFormDDE> dde;
};

Transfert::Transfert(ToolHost& host) : d(std::make_unique<Impl>(host)) {}

Transfert::~Transfert() = default;

TConstanteDlg& Transfert::constanteDlg()
{
    if (!d->dlg)
        d->dlg = std::make_unique<TConstanteDlg>();
    return *d->dlg;
}

TFormDDE& Transfert::formDDE()
{
    if (!d->dde)
        d->dde = std::make_unique<TFormDDE>();
    return *d->dde;
}

ExchangeText Transfert::construit(Destination destination, const TableSource& source) const
{
    ExchangeText texte;
    const bool tabulo = destination == Destination::Tabulo;
    TConstanteDlg& dlg = const_cast<Transfert*>(this)->constanteDlg();
    const bool nouveau = dlg.nouveauFichier();
    if (tabulo) {
        texte.addLine(QDir::toNativeSeparators(QCoreApplication::applicationFilePath()));
        texte.addLine(nouveau ? source.titre : QString());
        texte.addLine(dlg.commentaire());
    }
    if (source.table)
        source.table(texte);
    if (tabulo) {
        AjouteConst(texte, dlg.symbole(), dlg.unite(), dlg.valeur());
        if (source.sections)
            source.sections(texte, nouveau);
    }
    return texte;
}

bool Transfert::envoie(QWidget* parent, Destination destination, const TableSource& source)
{
    if (destination == Destination::Fichier)
        return sauve(parent, d->host.mesDocsDir(), source);
    TConstanteDlg& dlg = constanteDlg();
    if (parent) {
        // Not parented (it outlives any tool window): shown over the tool instead.
        dlg.adjustSize();
        dlg.move(parent->window()->frameGeometry().center() - dlg.rect().center());
    }
    if (dlg.exec() != QDialog::Accepted)
        return false;
    if (source.accepte && !source.accepte())
        return false;
    if (source.avant)
        source.avant();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString texte = construit(destination, source).toText();
    QGuiApplication::clipboard()->setText(texte);
    bool ok = true;
    if (destination == Destination::Tabulo)
        ok = formDDE().Execute(dlg.nouveauFichier(), parent, texte);
    dlg.setNouvellePage();
    QApplication::restoreOverrideCursor();
    return ok;
}

bool Transfert::sauve(QWidget* parent, const QString& dossier, const TableSource& source)
{
    QFileDialog fd(parent, QString(), dossier,
                   QStringLiteral("Tableur (*.csv);;Tableur ASCII (*.txt)"));
    fd.setObjectName(QStringLiteral("SaveTableDialog"));
    fd.setAcceptMode(QFileDialog::AcceptSave);
    fd.setDefaultSuffix(QStringLiteral("txt"));
    // A name typed without extension takes that of the type the user picked.
    QObject::connect(&fd, &QFileDialog::filterSelected, &fd, [&fd](const QString& filtre) {
        fd.setDefaultSuffix(filtre.contains(QLatin1String("*.csv")) ? QStringLiteral("csv")
                                                                    : QStringLiteral("txt"));
    });
    fd.setOption(QFileDialog::DontUseNativeDialog, QGuiApplication::platformName() == QLatin1String("offscreen"));
    if (fd.exec() != QDialog::Accepted || fd.selectedFiles().isEmpty())
        return false;
    const QString chemin = fd.selectedFiles().constFirst();
    if (source.avant)
        source.avant();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = ecritTable(chemin, construit(Destination::Fichier, source));
    QApplication::restoreOverrideCursor();
    if (!ok)
        QMessageBox::critical(parent, QGuiApplication::applicationDisplayName(),
                              QStringLiteral("Erreur d'écriture"));
    return ok;
}

bool Transfert::ecritTable(const QString& chemin, const ExchangeText& table)
{
    QChar sep('\t');
    if (QFileInfo(chemin).suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0)
        sep = separateurDecimal() == QChar('.') ? QChar(',') : QChar(';');
    return writeFileAtomically(chemin, table.toText(sep).toUtf8());
}
