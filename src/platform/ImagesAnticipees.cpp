#include "ImagesAnticipees.h"

#include "ImageLoader.h"

#include <QMetaObject>

#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace {

struct Entree
{
    QImage image;
    QString erreur;
};

Entree decode(const QString& chemin)
{
    Entree e;
    e.image = chargeImage(chemin, &e.erreur);
    if (!e.image.isNull())
        e.image = e.image.convertToFormat(QImage::Format_RGB32);
    return e;
}

qint64 taille(const Entree& e) { return std::max<qint64>(e.image.sizeInBytes(), 1); }

} // namespace

struct ImagesAnticipees::Etat
{
    ImagesAnticipees* q = nullptr;
    mutable std::mutex m;
    std::condition_variable cv;
    QStringList chemins;
    std::map<int, Entree> cache;
    qint64 octets = 0;
    qint64 dernier = 0;     // size of the last image decoded: the guess for the next
    qint64 limite = limiteDefaut;
    int focus = -1;
    int sens = 1;
    int avant = 3;
    int arriere = 1;
    int enCours = -1;      // index the worker decodes now
    quint64 generation = 0; // bumped by each new series
    bool stop = false;
    std::thread worker;

    // Next image worth decoding around the focus, or -1.
    int aFaire() const
    {
        if (focus < 0)
            return -1;
        const int n = int(chemins.size());
        const int loin = std::max(avant, arriere);
        for (int d = 1; d <= loin; ++d) {
            for (int s : {sens, -sens}) {
                if ((s == sens ? avant : arriere) < d)
                    continue;
                const int i = focus + s * d;
                if (i >= 0 && i < n && !cache.count(i))
                    return i;
            }
        }
        return -1;
    }

    // How far an image lies from the focus; behind the direction of travel counts double.
    int distance(int i) const
    {
        const int ecart = i - focus;
        return (ecart * sens >= 0) ? std::abs(ecart) : 2 * std::abs(ecart);
    }

    // Far images go first when the cache is full; the focus and `garde` stay.
    void libere(int garde)
    {
        while (octets > limite && cache.size() > 1) {
            auto pire = cache.end();
            int distPire = -1;
            for (auto it = cache.begin(); it != cache.end(); ++it) {
                if (it->first == focus || it->first == garde)
                    continue;
                if (distance(it->first) > distPire) {
                    distPire = distance(it->first);
                    pire = it;
                }
            }
            if (pire == cache.end())
                return;
            octets -= taille(pire->second);
            cache.erase(pire);
        }
    }

    // The image to decode ahead now, or -1: none missing around the focus, or no room for it
    // without pushing out an image nearer the focus.
    int prochain()
    {
        const int i = aFaire();
        if (i < 0)
            return -1;
        for (auto it = cache.begin(); it != cache.end() && octets + dernier > limite;) {
            if (it->first != focus && distance(it->first) > distance(i)) {
                octets -= taille(it->second);
                it = cache.erase(it);
            } else {
                ++it;
            }
        }
        return octets + dernier <= limite ? i : -1;
    }

    void boucle()
    {
        std::unique_lock<std::mutex> l(m);
        for (;;) {
            int i = -1;
            cv.wait(l, [&] { return stop || (i = prochain()) >= 0; });
            if (stop)
                return;
            const QString chemin = chemins.value(i);
            const quint64 gen = generation;
            enCours = i;
            l.unlock();
            Entree e = decode(chemin);
            l.lock();
            enCours = -1;
            if (gen == generation && !cache.count(i)) {
                dernier = taille(e);
                octets += dernier;
                cache.emplace(i, std::move(e));
                libere(i);
                QMetaObject::invokeMethod(q, [q = q, i] { emit q->imagePrete(i); }, Qt::QueuedConnection);
            }
            cv.notify_all();
        }
    }
};

ImagesAnticipees::ImagesAnticipees(QObject* parent) : QObject(parent), d(std::make_unique<Etat>())
{
    d->q = this;
    d->worker = std::thread([e = d.get()] { e->boucle(); });
}

ImagesAnticipees::~ImagesAnticipees()
{
    {
        std::lock_guard<std::mutex> l(d->m);
        d->stop = true;
    }
    d->cv.notify_all();
    d->worker.join();
}

void ImagesAnticipees::setFichiers(const QStringList& chemins)
{
    std::lock_guard<std::mutex> l(d->m);
    d->chemins = chemins;
    d->cache.clear();
    d->octets = 0;
    d->dernier = 0;
    d->focus = -1;
    d->sens = 1;
    ++d->generation;
}

QStringList ImagesAnticipees::fichiers() const
{
    std::lock_guard<std::mutex> l(d->m);
    return d->chemins;
}

QImage ImagesAnticipees::image(int i, QString* erreur)
{
    std::unique_lock<std::mutex> l(d->m);
    if (i < 0 || i >= d->chemins.size()) {
        if (erreur)
            *erreur = QStringLiteral("Image absente de la série");
        return {};
    }
    if (d->focus >= 0 && i != d->focus)
        d->sens = i > d->focus ? 1 : -1;
    d->focus = i;
    d->cv.wait(l, [&] { return d->enCours != i; });
    auto it = d->cache.find(i);
    if (it == d->cache.end()) {
        const QString chemin = d->chemins[i];
        const quint64 gen = d->generation;
        l.unlock();
        Entree e = decode(chemin);
        l.lock();
        if (gen != d->generation) {
            if (erreur)
                *erreur = e.erreur;
            return e.image;
        }
        it = d->cache.find(i);
        if (it == d->cache.end()) {
            d->dernier = taille(e);
            d->octets += d->dernier;
            it = d->cache.emplace(i, std::move(e)).first;
        }
    }
    const Entree resultat = it->second;
    d->libere(i);
    l.unlock();
    d->cv.notify_all();
    if (erreur)
        *erreur = resultat.erreur;
    return resultat.image;
}

bool ImagesAnticipees::enCache(int i) const
{
    std::lock_guard<std::mutex> l(d->m);
    return d->cache.count(i) > 0;
}

void ImagesAnticipees::setAnticipation(int avant, int arriere)
{
    std::lock_guard<std::mutex> l(d->m);
    d->avant = std::max(0, avant);
    d->arriere = std::max(0, arriere);
    d->cv.notify_all();
}

void ImagesAnticipees::setLimite(qint64 octets)
{
    std::lock_guard<std::mutex> l(d->m);
    d->limite = std::max<qint64>(octets, 1);
    d->libere(d->focus);
    d->cv.notify_all();
}

qint64 ImagesAnticipees::octetsEnCache() const
{
    std::lock_guard<std::mutex> l(d->m);
    return d->octets;
}
