#include "SoundRecorder.h"

#include "AtomicFile.h"
#include "WavEntete.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSource>
#include <QBuffer>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QtEndian>

QString texteAucuneEntreeSon()
{
    return QStringLiteral("Aucun périphérique audio d'entrée : impossible d'enregistrer.");
}

QByteArray fichierWavMono(const QByteArray& pcm, int frequence, int bits)
{
    return enteteWav(1, frequence, bits, quint32(pcm.size())) + pcm;
}

namespace {

QAudioFormat formatMono(int frequence, int bits)
{
    QAudioFormat q;
    q.setSampleRate(frequence);
    q.setChannelCount(1);
    q.setSampleFormat(bits == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
    return q;
}

class QtSoundRecorder final : public SoundRecorder
{
public:
    using SoundRecorder::SoundRecorder;
    ~QtSoundRecorder() override { abandonne(); }

    QString indisponible() const override
    {
        return QMediaDevices::defaultAudioInput().isNull() ? texteAucuneEntreeSon() : QString();
    }

    bool demarre(int frequence, int bits) override
    {
        abandonne();
        m_erreur.clear();
        const QAudioDevice device = QMediaDevices::defaultAudioInput();
        if (device.isNull()) {
            m_erreur = texteAucuneEntreeSon();
            return false;
        }
        if ((bits != 8 && bits != 16) || frequence <= 0) {
            m_erreur = QStringLiteral("Format d'enregistrement impossible.");
            return false;
        }
        const QAudioFormat q = formatMono(frequence, bits);
        if (!device.isFormatSupported(q)) {
            m_erreur = QStringLiteral("L'entrée son n'accepte pas ce format (%1 Hz, %2 bits).")
                           .arg(frequence).arg(bits);
            return false;
        }
        m_frequence = frequence;
        m_bits = bits;
        m_donnees.clear();
        m_buffer.setBuffer(&m_donnees);
        m_buffer.open(QIODevice::WriteOnly);
        m_source = std::make_unique<QAudioSource>(device, q);
        m_source->setBufferSize(frequence * (bits / 8) / 10);
        m_source->start(&m_buffer);
        m_horloge.start();
        if (m_source->error() != QAudio::NoError || m_source->state() == QAudio::StoppedState) {
            m_erreur = QStringLiteral("Impossible d'ouvrir l'entrée son.");
            abandonne();
            return false;
        }
        return true;
    }

    bool enregistre() const override { return m_source != nullptr; }

    qint64 trames() const override { return m_bits ? m_donnees.size() / (m_bits / 8) : 0; }

    bool arrete(const QString& fichierWav) override
    {
        if (!m_source) {
            m_erreur = QStringLiteral("Aucun enregistrement en cours.");
            return false;
        }
        m_source->stop();
        m_source.reset();
        m_buffer.close();
        const int bloc = m_bits / 8;
        // Some servers hand over a burst of samples captured before the start; a recording
        // cannot hold more than the time it lasted, so the excess at its head is dropped.
        const qint64 maxi = (m_horloge.elapsed() * m_frequence / 1000 + 1) * bloc;
        const qint64 entier = m_donnees.size() / bloc * bloc;
        const qint64 garde = qMin(entier, maxi);
        const QByteArray pcm = m_donnees.mid(entier - garde, garde);
        m_donnees.clear();
        if (!writeFileAtomically(fichierWav, fichierWavMono(pcm, m_frequence, m_bits))) {
            m_erreur = QStringLiteral("Impossible d'écrire le fichier %1.").arg(fichierWav);
            return false;
        }
        return true;
    }

    void abandonne() override
    {
        if (m_source) {
            m_source->stop();
            m_source.reset();
        }
        m_buffer.close();
        m_donnees.clear();
    }

private:
    int m_frequence = 0;
    int m_bits = 0;
    QByteArray m_donnees;
    QBuffer m_buffer;
    QElapsedTimer m_horloge;
    std::unique_ptr<QAudioSource> m_source;
};

class QtSoundCapture final : public SoundCapture
{
public:
    using SoundCapture::SoundCapture;
    ~QtSoundCapture() override { ferme(); }

    QString nomEntree() const override
    {
        const QAudioDevice d = QMediaDevices::defaultAudioInput();
        return d.isNull() ? QString() : d.description();
    }

    bool supporte(int frequence, int bits) const override
    {
        const QAudioDevice d = QMediaDevices::defaultAudioInput();
        return !d.isNull() && d.isFormatSupported(formatMono(frequence, bits));
    }

    bool ouvre(int frequence, int bits, int taille) override
    {
        ferme();
        const QAudioDevice d = QMediaDevices::defaultAudioInput();
        if (d.isNull() || taille <= 0)
            return false;
        m_taille = taille;
        m_courant.clear();
        m_source = std::make_unique<QAudioSource>(d, formatMono(frequence, bits));
        m_source->setBufferSize(taille);
        m_io = m_source->start();
        if (!m_io || m_source->error() != QAudio::NoError) {
            ferme();
            return false;
        }
        connect(m_io, &QIODevice::readyRead, this, &QtSoundCapture::lit);
        return true;
    }

    void reinitialise() override
    {
        if (!m_source)
            return;
        lit();
        arreteSource();
        const QByteArray reste = m_courant;
        m_courant.clear();
        QMetaObject::invokeMethod(this, [this, reste] { emit tamponTermine(reste); },
                                  Qt::QueuedConnection);
    }

    void ferme() override
    {
        arreteSource();
        m_courant.clear();
    }

    bool ouverte() const override { return m_source != nullptr; }

private:
    void arreteSource()
    {
        if (m_source) {
            if (m_io)
                disconnect(m_io, nullptr, this, nullptr);
            m_source->stop();
            m_source.reset();
        }
        m_io = nullptr;
    }

    void lit()
    {
        if (!m_io)
            return;
        m_courant += m_io->readAll();
        while (m_courant.size() >= m_taille) {
            const QByteArray plein = m_courant.left(m_taille);
            m_courant.remove(0, m_taille);
            emit tamponTermine(plein);
            if (!m_io)  // the receiver closed or reopened the input
                return;
        }
    }

    int m_taille = 4096;
    QByteArray m_courant;
    std::unique_ptr<QAudioSource> m_source;
    QIODevice* m_io = nullptr;
};

} // namespace

std::unique_ptr<SoundRecorder> creeSoundRecorder(QObject* parent)
{
    return std::make_unique<QtSoundRecorder>(parent);
}

std::unique_ptr<SoundCapture> creeSoundCapture(QObject* parent)
{
    return std::make_unique<QtSoundCapture>(parent);
}
