// Draws the program's icon at the sizes of the desktop's icon theme: icones SVG DOSSIER TAILLE...
// writes DOSSIER/<n>x<n>/apps/kinexo.png for each size.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() < 4)
        return 2;
    QSvgRenderer svg(a[1]);
    if (!svg.isValid())
        return 3;
    for (int i = 3; i < a.size(); ++i) {
        const int n = a[i].toInt();
        QImage image(n, n, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        svg.render(&p);
        p.end();
        const QString dossier = QStringLiteral("%1/%2x%2/apps").arg(a[2]).arg(n);
        if (!QDir().mkpath(dossier) || !image.save(dossier + QStringLiteral("/kinexo.png")))
            return 4;
    }
    return 0;
}
