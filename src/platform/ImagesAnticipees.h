#pragma once
#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

// The pictures of a series, decoded ahead of the one shown. A worker thread owned by this
// object decodes the neighbours of the last image asked for (more of them in the direction of
// travel) into a cache bounded in bytes, so that stepping to the next photo costs a copy, not
// a decode. Images come back on the caller's thread in QImage::Format_RGB32, ready to paint.
class ImagesAnticipees : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 limiteDefaut = 512ll * 1024 * 1024;

    explicit ImagesAnticipees(QObject* parent = nullptr);
    ~ImagesAnticipees() override;

    // A new series: the cache is emptied and nothing is decoded until an image is asked for.
    void setFichiers(const QStringList& chemins);
    QStringList fichiers() const;

    // Image i, decoded now when the worker has not done it yet (waiting for it when it is on
    // it). Null with `erreur` set when the file cannot be read. The neighbours follow.
    QImage image(int i, QString* erreur = nullptr);
    bool enCache(int i) const;

    // How many images are decoded ahead in the direction of travel and behind it; 0 and 0
    // turn the read-ahead off.
    void setAnticipation(int avant, int arriere);
    void setLimite(qint64 octets);
    qint64 octetsEnCache() const;

signals:
    // An image decoded ahead is in the cache.
    void imagePrete(int i);

private:
    struct Etat;
    std::unique_ptr<Etat> d;
};
