#include "About.h"

#include "Aide.h"
#include "Emplacements.h"

#include <QDate>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#ifndef KINEXO_VERSION
#define KINEXO_VERSION "0"
#endif

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("A propos"));
    // The release notes are a page of the installed help, shown in the help window.
    ouvreAdresse = [this](const QString& adresse) {
        const QUrl url(adresse);
        if (adresse.isEmpty() || !url.isLocalFile() || !QFileInfo::exists(url.toLocalFile()))
            return false;
        affichePageAide(QFileInfo(url.toLocalFile()).fileName(), -1, this);
        return true;
    };

    auto* icone = new QLabel;
    icone->setPixmap(QIcon(QStringLiteral(":/kinexo.svg")).pixmap(64, 64));
    icone->setAlignment(Qt::AlignTop);

    auto* titre = new QLabel(QStringLiteral("<b>Kinexo</b> — Multimedia pour Tabulo"));
    auto* version = new QLabel(texteVersion());
    version->setObjectName(QStringLiteral("VersionLabel"));
    auto* description = new QLabel(QStringLiteral("Lecture de fichiers\nBMP JPG AVI MPG  MOV WAV GIF pour Tabulo"));
    auto* son = new QLabel(QStringLiteral("Sons et vidéos lus avec la bibliothèque FFmpeg"));
    const QString exemples = dossierExemples();
    auto* dossier = new QLabel(exemples.isEmpty() ? QStringLiteral("Exemples non installés")
                                                  : QStringLiteral("Exemples : ") + exemples);
    dossier->setObjectName(QStringLiteral("ExemplesLabel"));
    dossier->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* textes = new QVBoxLayout;
    textes->addWidget(titre);
    textes->addWidget(version);
    textes->addSpacing(8);
    textes->addWidget(description);
    textes->addSpacing(8);
    textes->addWidget(son);
    textes->addWidget(dossier);
    textes->addStretch();

    auto* haut = new QHBoxLayout;
    haut->addWidget(icone);
    haut->addSpacing(12);
    haut->addLayout(textes);

    VersionBtn = new QPushButton(QStringLiteral("Notes de version"));
    VersionBtn->setToolTip(adressePage());
    VersionBtn->setVisible(!adressePage().isEmpty());
    connect(VersionBtn, &QPushButton::clicked, this, &TAboutBox::VersionBtnClick);
    auto* boutons = new QDialogButtonBox(QDialogButtonBox::Ok);
    boutons->addButton(VersionBtn, QDialogButtonBox::ActionRole);
    connect(boutons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* l = new QVBoxLayout(this);
    l->addLayout(haut);
    l->addSpacing(12);
    l->addWidget(boutons);
    l->setSizeConstraint(QLayout::SetFixedSize);
}

QString TAboutBox::adressePage()
{
    const QString aide = dossierAide();
    if (aide.isEmpty() || !QFileInfo::exists(aide + QStringLiteral("/nouveautes.html")))
        return {};
    return QUrl::fromLocalFile(aide + QStringLiteral("/nouveautes.html")).toString();
}

QString TAboutBox::texteVersion()
{
    // __DATE__ reads "Mmm dd yyyy", with a space before a single-digit day.
    const QDate date = QLocale::c().toDate(QString::fromLatin1(__DATE__).simplified(), QStringLiteral("MMM d yyyy"));
    return QStringLiteral("Version %1 du %2")
        .arg(QStringLiteral(KINEXO_VERSION), QLocale(QLocale::French).toString(date, QStringLiteral("d MMMM yyyy")));
}

void TAboutBox::VersionBtnClick()
{
    if (!ouvreAdresse(adressePage()))
        QMessageBox::warning(this, windowTitle(), QStringLiteral("Impossible d'accéder à ") + adressePage());
}
