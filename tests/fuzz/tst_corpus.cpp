// Every damaged file we know of, and damaged variants of files made here, read in a process of
// its own: each must end normally, in bounded time and memory, with a result or a message the
// user can read; a refused video leaves the file opened before it open.
#include "EntreesFuzz.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define KX_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KX_ASAN 1
#endif
#endif

namespace {

#ifdef KX_ASAN
constexpr int delaiMs = 60000;            // instrumented code is several times slower
constexpr long memoireMaxKo = 3l << 20;   // and carries its shadow memory
#else
constexpr int delaiMs = 10000;
constexpr long memoireMaxKo = 1l << 20;   // 1 GB
#endif

bool ffmpeg(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral("ffmpeg"), QStringList{"-y", "-v", "error", "-nostdin"} + args);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QByteArray lit(const QString& chemin)
{
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Issue
{
    bool normal = false;
    int code = -1, signal = 0;
    bool delaiDepasse = false;
    long memoireKo = 0;
    QString verdict;
};

// Runs the reader on one file and waits for it, as a parent watching a child.
Issue lance(const QString& lecteur, const QString& fichier, const QString& sortie, const QString& temoin)
{
    QList<QByteArray> args{KX_CORPUS_LECTEUR, lecteur.toUtf8(), fichier.toUtf8(), sortie.toUtf8()};
    if (!temoin.isEmpty())
        args << temoin.toUtf8();
    std::vector<char*> argv;
    for (QByteArray& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    QFile::remove(sortie);
    Issue r;
    const pid_t pid = fork();
    if (pid == 0) {
        execv(argv[0], argv.data());
        _exit(127);
    }
    int statut = 0;
    rusage usage{};
    QElapsedTimer montre;
    montre.start();
    for (;;) {
        const pid_t fini = wait4(pid, &statut, WNOHANG, &usage);
        if (fini == pid)
            break;
        if (montre.elapsed() > delaiMs) {
            r.delaiDepasse = true;
            kill(pid, SIGKILL);
            wait4(pid, &statut, 0, &usage);
            break;
        }
        usleep(5000);
    }
    r.memoireKo = usage.ru_maxrss;
    r.normal = WIFEXITED(statut);
    r.code = r.normal ? WEXITSTATUS(statut) : -1;
    r.signal = WIFSIGNALED(statut) ? WTERMSIG(statut) : 0;
    r.verdict = QString::fromUtf8(lit(sortie));
    return r;
}

void remplace32(QByteArray& o, qsizetype position, quint32 valeur)
{
    for (int i = 0; i < 4; ++i)
        o[position + i] = char((valeur >> (8 * i)) & 0xff);
}

} // namespace

class TestCorpus : public QObject
{
    Q_OBJECT
    QTemporaryDir dir_;
    QString temoin_;
    QStringList sains_;   // files made here, each also read whole

    void ajouteVariantes(const QString& sain)
    {
        const QByteArray o = lit(sain);
        const QFileInfo fi(sain);
        const QString base = dir_.path() + "/variantes/" + fi.completeBaseName() + "-" + fi.suffix();
        QDir().mkpath(dir_.path() + "/variantes");
        auto ecrit = [&](const QString& quoi, const QByteArray& octets) {
            const QString chemin = base + "-" + quoi + "." + fi.suffix();
            QFile f(chemin);
            if (f.open(QIODevice::WriteOnly))
                f.write(octets);
        };
        for (qsizetype taille : {qsizetype(0), qsizetype(12), qsizetype(64), o.size() / 4, o.size() / 2,
                                 o.size() * 3 / 4, o.size() - 1})
            ecrit(QStringLiteral("coupe%1").arg(taille), o.left(taille));
        for (qsizetype pos = 4; pos + 4 <= qMin<qsizetype>(o.size(), 48); pos += 4)
            for (quint32 v : {0u, 0xffffffffu}) {
                QByteArray m = o;
                remplace32(m, pos, v);
                ecrit(QStringLiteral("champ%1-%2").arg(pos).arg(v, 0, 16), m);
            }
        // The time scales of a QuickTime/MP4 file, the ones that once made times absurd.
        for (const char* boite : {"mvhd", "mdhd"}) {
            const qsizetype p = o.indexOf(boite);
            if (p > 0 && p + 16 + 4 <= o.size()) {
                QByteArray m = o;
                remplace32(m, p + 16, 0);
                ecrit(QStringLiteral("%1-echelle0").arg(boite), m);
            }
        }
        QRandomGenerator hasard(quint32(qHash(fi.fileName())));
        for (int n = 0; n < 3; ++n) {
            QByteArray m = o;
            for (int k = 0; k < 16 && !m.isEmpty(); ++k)
                m[hasard.bounded(int(m.size()))] ^= char(1 << hasard.bounded(8));
            ecrit(QStringLiteral("bits%1").arg(n), m);
        }
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        const QString d = dir_.path() + "/sains/";
        QDir().mkpath(d);
        temoin_ = dir_.path() + "/temoin.avi";
        QVERIFY(ffmpeg({"-f", "lavfi", "-i", "testsrc=s=64x48:r=10:d=1", "-c:v", "mpeg4", temoin_}));
        const QStringList sinus{"-f", "lavfi", "-i", "sine=f=440:d=0.5:sample_rate=8000"};
        const QStringList mire{"-f", "lavfi", "-i", "testsrc=s=64x48:r=10:d=1"};
        QVERIFY(ffmpeg(sinus + QStringList{"-ac", "2", d + "son.wav"}));
        QVERIFY(ffmpeg(sinus + QStringList{"-c:a", "pcm_u8", d + "son8.wav"}));
        QVERIFY(ffmpeg(sinus + QStringList{"-ar", "22050", d + "son.mp3"}));
        QVERIFY(ffmpeg(mire + QStringList{"-frames:v", "1", d + "image.jpg"}));
        QVERIFY(ffmpeg(mire + QStringList{"-frames:v", "1", d + "image.png"}));
        QVERIFY(ffmpeg(mire + QStringList{"-frames:v", "1", d + "image.gif"}));
        QVERIFY(ffmpeg(mire + QStringList{"-frames:v", "1", "-pix_fmt", "bgr24", d + "image.bmp"}));
        QVERIFY(ffmpeg(mire + QStringList{"-c:v", "mjpeg", d + "clip.avi"}));
        QVERIFY(ffmpeg(mire + QStringList{"-c:v", "libx264", "-pix_fmt", "yuv420p", "-movflags", "+faststart",
                                          d + "clip.mp4"}));
        QVERIFY(ffmpeg(mire + QStringList{"-c:v", "mpeg2video", "-f", "vob", d + "clip.mpg"}));
        for (const QFileInfo& fi : QDir(d).entryInfoList(QDir::Files, QDir::Name)) {
            sains_ << fi.filePath();
            ajouteVariantes(fi.filePath());
        }
    }

    void lecture_data()
    {
        QTest::addColumn<QString>("fichier");
        QTest::addColumn<QString>("lecteur");
        QTest::addColumn<bool>("doitLire");
        QSet<QByteArray> vus;
        auto ajoute = [&](const QString& chemin, bool doitLire, const QString& lecteur = QStringLiteral("auto")) {
            const QByteArray empreinte = QCryptographicHash::hash(lit(chemin), QCryptographicHash::Sha1);
            if (vus.contains(empreinte) && !doitLire)
                return;
            vus.insert(empreinte);
            QTest::newRow(qPrintable(QDir(KX_SOURCE_DIR).relativeFilePath(chemin))) << chemin << lecteur << doitLire;
        };
        // Inputs that once broke a reader: the shared ones and the ones the fuzzers found.
        for (const QString& racine : {QStringLiteral(KX_SOURCE_DIR "/../shared/testdata/damaged"),
                                      QStringLiteral(KX_SOURCE_DIR "/tests/fuzz/corpus")}) {
            QDirIterator it(racine, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString f = it.next();
                // A fuzz target's find lies in the folder of that target, with no extension.
                const QString cible = QFileInfo(f).dir().dirName();
                if (lecteurNomme(cible) != Lecteur::Aucun)
                    ajoute(f, false, cible);
                else if (lecteurPour(f) != Lecteur::Aucun)
                    ajoute(f, false);
            }
        }
        for (const QString& f : sains_)
            ajoute(f, true);
        QDirIterator it(dir_.path() + "/variantes", QDir::Files);
        QStringList variantes;
        while (it.hasNext())
            variantes << it.next();
        variantes.sort();
        for (const QString& f : variantes)
            ajoute(f, false);
    }

    void lecture()
    {
        QFETCH(QString, fichier);
        QFETCH(QString, lecteur);
        QFETCH(bool, doitLire);
        const QString temoin = lecteurPour(fichier) == Lecteur::Video && lecteur == "auto" ? temoin_ : QString();
        const Issue r = lance(lecteur, fichier, dir_.path() + "/verdict.txt", temoin);
        QVERIFY2(!r.delaiDepasse, "plus de temps que permis");
        QVERIFY2(r.normal && r.code == 0,
                 qPrintable(QStringLiteral("fin anormale : code %1, signal %2").arg(r.code).arg(r.signal)));
        QVERIFY2(r.memoireKo < memoireMaxKo, qPrintable(QStringLiteral("%1 Mo").arg(r.memoireKo / 1024)));
        if (doitLire)
            QVERIFY2(r.verdict.startsWith("LU "), qPrintable(r.verdict));
        else if (r.verdict.startsWith("REFUS "))
            QVERIFY2(messageLisible(r.verdict.mid(6)), qPrintable(r.verdict));
        else
            QVERIFY2(r.verdict.startsWith("LU "), qPrintable(r.verdict));
    }
};

QTEST_GUILESS_MAIN(TestCorpus)
#include "tst_corpus.moc"
