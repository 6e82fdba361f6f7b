#include "AideCodec.h"

#include <QDialogButtonBox>
#include <QTextBrowser>
#include <QVBoxLayout>

TAideCodecDlg::TAideCodecDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Résolution des problèmes de lecture des fichiers AVI"));
    auto* l = new QVBoxLayout(this);
    auto* t = new QTextBrowser(this);
    t->setHtml(QStringLiteral(
        "<p>Kinexo lit les vidéos avec la bibliothèque FFmpeg, qui connaît presque tous les formats : AVI, MPEG, "
        "MP4 et MOV des téléphones, MKV, WebM.</p>"
        "<p><b>Le fichier ne s'ouvre pas :</b> vérifiez qu'il est complet (une vidéo copiée pendant "
        "l'enregistrement ou mal transférée est souvent tronquée) et qu'il se lit dans un autre lecteur.</p>"
        "<p><b>Quel est le codec du fichier ?</b> Pour un fichier AVI, le code du codec est affiché à droite du "
        "temps. Pour les autres fichiers, la commande <tt>ffprobe nom_du_fichier</tt> le donne.</p>"
        "<p><b>Codec inconnu ou image illisible :</b> les paquets <tt>ffmpeg</tt> et <tt>libavcodec</tt> de la "
        "distribution fournissent les codecs courants ; installez-les ou mettez-les à jour.</p>"
        "<p><b>Convertir une vidéo MP4 ou de téléphone :</b> <tt>ffmpeg -i video.mp4 -c:v mjpeg -q:v 3 video.avi</tt> "
        "donne un fichier AVI où chaque image est indépendante, rapide à parcourir image par image.</p>"));
    l->addWidget(t);
    auto* b = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(b, &QDialogButtonBox::accepted, this, &QDialog::accept);
    l->addWidget(b);
    resize(520, 360);
}
