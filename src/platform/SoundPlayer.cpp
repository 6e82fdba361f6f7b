#include "SoundPlayer.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QTimer>

#include <cstring>

QString texteAucuneSortieSon()
{
    return QStringLiteral("Aucun périphérique audio de sortie : impossible d'écouter le son.");
}

namespace {

QAudioFormat formatQt(const FormatSon& f)
{
    QAudioFormat q;
    q.setSampleRate(f.frequence);
    q.setChannelCount(f.voies);
    q.setSampleFormat(f.bits == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
    return q;
}

// The samples handed to the output. It never reports its end: Qt 6.4's PulseAudio output
// answers an underflow at the end of its source with a drain whose completion calls back into
// the sink, which may be deleted by then (a crash). The heard position tells the end instead.
class SourceLecture final : public QIODevice
{
public:
    void donne(const QByteArray& d)
    {
        close();
        m_donnees = d;
        m_lus = 0;
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    qint64 lus() const { return m_lus; }
    qint64 taille() const { return m_donnees.size(); }
    bool toutLu() const { return m_lus >= m_donnees.size(); }
    bool isSequential() const override { return true; }
    bool atEnd() const override { return false; }
    qint64 bytesAvailable() const override { return m_donnees.size() - m_lus; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qint64 n = qMin(maxSize, m_donnees.size() - m_lus);
        if (n <= 0)
            return 0;
        memcpy(data, m_donnees.constData() + m_lus, size_t(n));
        m_lus += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_donnees;
    qint64 m_lus = 0;
};

// Pull-mode player: the sink reads the range from a SourceLecture. What it has read says
// how much the sink has taken; what it still holds queued (bufferSize - bytesFree) has not been
// heard yet, so the heard position is the difference, capped by the server's playing clock
// (processedUSecs). This keeps the cursor and the spectrum on
// what comes out of the speaker rather than ahead of it by the output latency.
class QtSoundPlayer final : public SoundPlayer
{
public:
    explicit QtSoundPlayer(QObject* parent) : SoundPlayer(parent)
    {
        m_fin.setInterval(20);
        connect(&m_fin, &QTimer::timeout, this, &QtSoundPlayer::verifieFin);
    }
    ~QtSoundPlayer() override { arrete(); }

    QString indisponible() const override
    {
        return QMediaDevices::defaultAudioOutput().isNull() ? texteAucuneSortieSon() : QString();
    }

    bool joue(const QByteArray& pcm, const FormatSon& format, qint64 premiereTrame) override
    {
        arrete();
        m_erreur.clear();
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) {
            m_erreur = texteAucuneSortieSon();
            return false;
        }
        if ((format.bits != 8 && format.bits != 16) || format.voies < 1 || format.voies > 2
            || format.frequence <= 0) {
            m_erreur = QStringLiteral("Format de son impossible à écouter.");
            return false;
        }
        const QAudioFormat q = formatQt(format);
        if (!device.isFormatSupported(q)) {
            m_erreur = QStringLiteral("La sortie son n'accepte pas ce format (%1 Hz, %2 bits).")
                           .arg(format.frequence).arg(format.bits);
            return false;
        }
        m_format = format;
        m_debut = premiereTrame;
        m_dernier = 0;
        const int t = format.octetsParTrame();
        m_donnees = pcm.left(pcm.size() / t * t);
        m_source.donne(m_donnees);
        m_sink = std::make_unique<QAudioSink>(device, q);
        connect(m_sink.get(), &QAudioSink::stateChanged, this, &QtSoundPlayer::etatChange);
        m_sink->start(&m_source);
        if (m_sink->error() != QAudio::NoError || m_sink->state() == QAudio::StoppedState) {
            m_erreur = QStringLiteral("Impossible d'ouvrir la sortie son.");
            arrete();
            return false;
        }
        m_enLecture = true;
        m_fin.start();
        m_depuisFin.invalidate();
        return true;
    }

    void arrete() override
    {
        m_fin.stop();
        m_enLecture = false;
        if (m_sink) {
            m_dernier = entendus();
            disconnect(m_sink.get(), nullptr, this, nullptr);
            m_sink->stop();
            m_sink.reset();
        }
        m_source.close();
    }

    bool enLecture() const override { return m_enLecture; }

    qint64 position() const override
    {
        const int t = m_format.octetsParTrame();
        return m_debut + entendus() / t;
    }

private:
    qint64 entendus() const
    {
        if (!m_sink)
            return m_dernier;
        const qint64 pris = m_source.lus();
        const qint64 enAttente = qMax<qint64>(0, m_sink->bufferSize() - m_sink->bytesFree());
        qint64 entendu = pris - enAttente;
        // The server's own clock (what it has read minus its latency) is the better guess when
        // it lags: the sink reads ahead of what comes out.
        const int octetsParSeconde = m_format.frequence * m_format.octetsParTrame();
        const qint64 horloge = m_sink->processedUSecs() * octetsParSeconde / 1000000;
        if (horloge > 0)
            entendu = qMin(entendu, horloge / m_format.octetsParTrame() * m_format.octetsParTrame());
        return qBound<qint64>(0, entendu, m_donnees.size());
    }

    void etatChange(QAudio::State s)
    {
        if (s == QAudio::StoppedState && m_sink && m_sink->error() != QAudio::NoError && m_enLecture) {
            m_erreur = QStringLiteral("La sortie son s'est arrêtée (erreur %1).").arg(int(m_sink->error()));
            finit();
        }
    }

    // Sent once everything taken has also left the output queue. A sink that never drains
    // (a stalled server) still ends, after the range's length plus a margin.
    void verifieFin()
    {
        if (!m_sink)
            return;
        const bool toutPris = m_source.toutLu();
        if (!toutPris)
            return;
        if (!m_depuisFin.isValid())
            m_depuisFin.start();
        const qint64 attenteMax = 2000 + 1000LL * m_sink->bufferSize()
                                             / qMax(1, m_format.frequence * m_format.octetsParTrame());
        if (entendus() >= m_donnees.size() || m_depuisFin.elapsed() > attenteMax)
            finit();
    }

    void finit()
    {
        const bool complet = m_erreur.isEmpty();
        arrete();
        if (complet)
            m_dernier = m_donnees.size();
        emit termine();
    }

    FormatSon m_format;
    qint64 m_debut = 0;
    qint64 m_dernier = 0;  // bytes heard when the sink was closed
    QByteArray m_donnees;
    SourceLecture m_source;
    std::unique_ptr<QAudioSink> m_sink;
    QTimer m_fin;
    QElapsedTimer m_depuisFin;
    bool m_enLecture = false;
};

} // namespace

std::unique_ptr<SoundPlayer> creeSoundPlayer(QObject* parent)
{
    return std::make_unique<QtSoundPlayer>(parent);
}
