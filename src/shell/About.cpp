#include "About.h"

#include <QDate>
#include <QDesktopServices>
#include <QDialogButtonBox>
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
    ouvreAdresse = [](const QString& adresse) { return QDesktopServices::openUrl(QUrl(adresse)); };

    auto* icone = new QLabel;
    icone->setPixmap(QIcon(QStringLiteral(":/kinexo.svg")).pixmap(64, 64));
    icone->setAlignment(Qt::AlignTop);

    auto* titre = new QLabel(QStringLiteral("<b>Kinexo</b> — Multimedia pour Tabulo"));
    auto* version = new QLabel(texteVersion());
    version->setObjectName(QStringLiteral("VersionLabel"));
    auto* description = new QLabel(QStringLiteral("Lecture de fichiers\nBMP JPG AVI MPG  MOV WAV GIF pour Tabulo"));
    auto* son = new QLabel(QStringLiteral("Sons et vidéos lus avec la bibliothèque FFmpeg"));

    auto* textes = new QVBoxLayout;
    textes->addWidget(titre);
    textes->addWidget(version);
    textes->addSpacing(8);
    textes->addWidget(description);
    textes->addSpacing(8);
    textes->addWidget(son);
    textes->addStretch();

    auto* haut = new QHBoxLayout;
    haut->addWidget(icone);
    haut->addSpacing(12);
    haut->addLayout(textes);

    VersionBtn = new QPushButton(QStringLiteral("Version à jour"));
    VersionBtn->setToolTip(adressePage());
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
    return QStringLiteral("https://kinexo.example.org/");
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
