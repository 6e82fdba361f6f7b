#include <QApplication>
#include <QLabel>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Multimedia pour Tabulo"));
    QLabel l(QStringLiteral("Lecture d'images pour Tabulo"));
    l.show();
    return app.exec();
}
