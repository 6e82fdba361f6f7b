#include "Aide.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

namespace {

// Help pages are installed beside the executable (share/kinexo/aide) or found in the source tree.
QString dossierAide()
{
    const QString app = QCoreApplication::applicationDirPath();
    for (const QString& c : {app + QStringLiteral("/aide"), app + QStringLiteral("/../share/kinexo/aide"),
                             QStringLiteral(KINEXO_SOURCE_DIR "/resources/aide")}) {
        if (QFileInfo::exists(c + QStringLiteral("/index.html")))
            return QDir(c).absolutePath();
    }
    return {};
}

} // namespace

void afficheAide(int contexte, QWidget* parent)
{
    static QPointer<QTextBrowser> fenetre;
    if (!fenetre) {
        fenetre = new QTextBrowser; // top-level, deleted on close
        fenetre->setAttribute(Qt::WA_DeleteOnClose);
        fenetre->setWindowTitle(QStringLiteral("Aide de Kinexo"));
        fenetre->setOpenExternalLinks(true);
        fenetre->resize(640, 520);
    }
    const QString dossier = dossierAide();
    if (dossier.isEmpty()) {
        fenetre->setHtml(QStringLiteral("<p>Les pages d'aide ne sont pas installées.</p>"));
    } else {
        QUrl url = QUrl::fromLocalFile(dossier + QStringLiteral("/index.html"));
        url.setFragment(QStringLiteral("ctx%1").arg(contexte));
        fenetre->setSource(url);
        fenetre->scrollToAnchor(url.fragment());
    }
    if (parent)
        fenetre->move(parent->window()->geometry().topRight() + QPoint(16, 0));
    fenetre->show();
    fenetre->raise();
    fenetre->activateWindow();
}
