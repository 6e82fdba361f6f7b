#include "Aide.h"

#include "Emplacements.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QMainWindow>
#include <QUrl>

void afficheAide(int contexte, QWidget* parent) { affichePageAide(QStringLiteral("index.html"), contexte, parent); }

void affichePageAide(const QString& page, int contexte, QWidget* parent)
{
    // A window of its own (announced with its caption), the pages inside it.
    static QPointer<QMainWindow> fenetre;
    static QPointer<QTextBrowser> pages;
    if (!fenetre) {
        fenetre = new QMainWindow; // top-level, deleted on close
        fenetre->setAttribute(Qt::WA_DeleteOnClose);
        fenetre->setWindowTitle(QStringLiteral("Aide de Kinexo"));
        pages = new QTextBrowser(fenetre);
        pages->setObjectName(QStringLiteral("PagesAide"));
        pages->setOpenExternalLinks(true);
        fenetre->setCentralWidget(pages);
        fenetre->resize(640, 520);
    }
    const QString dossier = dossierAide();
    if (dossier.isEmpty()) {
        pages->setHtml(QStringLiteral("<p>Les pages d'aide ne sont pas installées.</p>"));
    } else {
        QUrl url = QUrl::fromLocalFile(dossier + QLatin1Char('/') + page);
        if (contexte >= 0)
            url.setFragment(QStringLiteral("ctx%1").arg(contexte));
        pages->setSource(url);
        if (contexte >= 0)
            pages->scrollToAnchor(url.fragment());
    }
    if (parent)
        fenetre->move(parent->window()->geometry().topRight() + QPoint(16, 0));
    fenetre->show();
    fenetre->raise();
    fenetre->activateWindow();
}
