// The sound document and what is computed from it, without any window.
#include "AnalyseSon.h"
#include "DocumentSon.h"
#include "ExchangeText.h"
#include "Graduation.h"
#include "NumberText.h"
#include "WavExport.h"

#include <QSignalSpy>
#include <QtEndian>
#include <QtTest>
#include <cmath>

namespace {
TvecteurSon sinus16(int trames, int freq, double hz, int amplitude = 12000)
{
    QByteArray b(trames * 2, '\0');
    for (int i = 0; i < trames; ++i)
        qToLittleEndian<qint16>(qint16(std::lround(amplitude * std::sin(2 * M_PI * hz * i / freq))), b.data() + 2 * i);
    TvecteurSon s;
    s.assigne(f16, b);
    return s;
}
}

class TestDocumentSon : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { setSeparateurDecimal('.'); }

    void signalsItsChanges()
    {
        TdocumentSon doc;
        QSignalSpy son(&doc, &TdocumentSon::sonChange), selection(&doc, &TdocumentSon::selectionChangee);
        QVERIFY(!doc.charge(QStringLiteral("x.wav"), 0, sinus16(100, 8000, 440)));   // no rate: refused
        QVERIFY(doc.vide());
        QCOMPARE(son.count(), 0);
        QVERIFY(doc.charge(QStringLiteral("/la/la.wav"), 8000, sinus16(1000, 8000, 440)));
        QCOMPARE(son.count(), 1);
        QCOMPARE(selection.count(), 1);
        QCOMPARE(doc.debut(), 0);
        QCOMPARE(doc.fin(), 999);
        QCOMPARE(doc.NbrePoints(), 1000);
        QCOMPARE(doc.duree(doc.NbrePoints()), 0.125);
        doc.setSelection(-5, 5000);        // kept inside the samples
        QCOMPARE(selection.count(), 1);    // unchanged: no signal
        doc.setSelection(300, 200);        // the end follows the start
        QCOMPARE(doc.debut(), 300);
        QCOMPARE(doc.fin(), 301);
        QCOMPARE(selection.count(), 2);
        doc.setSelection(100, 901);
        doc.diviseParDeux();
        QCOMPARE(doc.FreqEch(), 4000u);
        QCOMPARE(doc.NbrePoints(), 500);
        QCOMPARE(doc.debut(), 50);
        QCOMPARE(doc.fin(), 450);
        QCOMPARE(son.count(), 2);
        doc.efface();
        QVERIFY(doc.vide());
        QCOMPARE(doc.NbrePoints(), 0);
        QCOMPARE(son.count(), 3);
    }

    // The peak in hertz comes from the document and the heard frame alone: no view is painted.
    void spectrumAndPeakWithoutPainting_data()
    {
        QTest::addColumn<int>("frequence");
        QTest::addColumn<double>("hz");
        QTest::addColumn<QString>("texte");
        QTest::newRow("440 Hz at 44100 Hz") << 44100 << 440.0 << "Pic : 440 Hz";
        QTest::newRow("440 Hz at 11025 Hz") << 11025 << 440.0 << "Pic : 440.0 Hz";
        QTest::newRow("1000 Hz at 8000 Hz") << 8000 << 1000.0 << "Pic : 1000.0 Hz";
    }
    void spectrumAndPeakWithoutPainting()
    {
        QFETCH(int, frequence);
        QFETCH(double, hz);
        QFETCH(QString, texte);
        TdocumentSon doc;
        QVERIFY(doc.charge(QStringLiteral("a.wav"), quint32(frequence), sinus16(frequence * 2, frequence, hz)));
        const TspectreSon lecture = AnalyseSon::spectreEnLecture(doc, frequence);
        QVERIFY(lecture.valide && lecture.enLecture);
        QCOMPARE(lecture.debutFFT, frequence - 1024);
        QVERIFY(lecture.picHz);
        QVERIFY2(std::abs(*lecture.picHz - hz) < 0.01 * frequence / 2048, qPrintable(QString::number(*lecture.picHz)));
        QCOMPARE(lecture.textePic(), texte);
        // The bar of the peak is the one the line spectrum raised.
        const int k = lecture.binPic();
        QCOMPARE(k, int(std::lround(hz * 2048 / frequence)));
        for (int i = 1; i < 1020; ++i)
            QVERIFY(lecture.spectre[std::size_t(i)] <= lecture.spectre[std::size_t(k)]);
        // Not playing: the 2048 middle frames of the selection.
        doc.setSelection(1000, 1000 + 8000);
        const TspectreSon selection = AnalyseSon::spectreSelection(doc);
        QVERIFY(!selection.enLecture);
        QCOMPARE(selection.debutFFT, (1000 + 9000) / 2 - 1024 - 1);
        QCOMPARE(selection.textePic(), texte);
    }

    void shortSelectionsAndTheEnd()
    {
        QCOMPARE(AnalyseSon::debutSelection(100, 600, 50000), 99);      // shorter: from its start
        QCOMPARE(AnalyseSon::debutSelection(0, 100, 50000), 0);
        QCOMPARE(AnalyseSon::debutSelection(49500, 49999, 50000), 50000 - 2049);   // near the end: the last 2048 frames
        QCOMPARE(AnalyseSon::debutSelection(0, 999, 1000), 0);          // a file shorter than the transform
        TdocumentSon vide;
        QVERIFY(!AnalyseSon::spectreSelection(vide).valide);
        QVERIFY(!AnalyseSon::spectreEnLecture(vide, 0).valide);
        QVERIFY(AnalyseSon::spectreEnLecture(vide, 0).textePic().isEmpty());
    }

    // The spectrum's exchange text, line by line: names, units, then f and amplitude per bin shown.
    void spectrumTable()
    {
        TdocumentSon doc;
        QVERIFY(doc.charge(QStringLiteral("a.wav"), 11025, sinus16(4096, 11025, 440)));
        const TspectreSon s = AnalyseSon::spectreSelection(doc);
        ExchangeText t;
        AnalyseSon::tableSpectre(t, s);
        AnalyseSon::sectionsSpectre(t);
        const QStringList l = t.toStrings();
        QCOMPARE(l[0], QStringLiteral("f\tA"));
        QCOMPARE(l[1], QStringLiteral("Hz\t"));
        QCOMPARE(l.size(), 2 + 1024 + 4);
        QCOMPARE(l[2], QStringLiteral("0\t") + texteGeneral7(s.spectre[0]));
        QCOMPARE(l[2 + 82], QStringLiteral("441.4307\t") + texteGeneral7(s.spectre[82]));
        QVERIFY(s.spectre[82] > 0);
        QCOMPARE(l.mid(2 + 1024), (QStringList{"&1 NOMX", "f", "&1 NOMY", "A"}));
    }

    void scales()
    {
        QCOMPARE(pasGraduation(2.2676, 10), 0.5);
        QCOMPARE(pasGraduation(0.1, 4), 0.05);
        QCOMPARE(pasGraduation(65536, 8), 10000.0);
        TvecteurSon s = sinus16(44100, 44100, 440);
        TgrapheSon g;
        g.Son = &s;
        g.LimiteCourbe = {0, 0, 1000, 200};
        g.debutS = 0;
        g.finS = 44099;
        g.coefficients();
        const auto t = graduationsTemps(g, 44100, 0, 5);
        QCOMPARE(t.size(), std::size_t(5));
        QCOMPARE(t[0].texte, QStringLiteral("0 ms"));   // less than a second shown: in ms
        QCOMPARE(t[1].texte, QStringLiteral("200 ms"));
        QCOMPARE(t[1].position, g.Xecran(0.2 * 44100));
        g.finS = 44100 * 3;
        g.coefficients();
        QCOMPARE(graduationsTemps(g, 44100, 0, 6)[1].texte, QStringLiteral("0.5 s"));
        g.debutS = 1000;
        g.finS = 1100;   // 100 frames: 2.27 ms shown from the selection's start
        g.coefficients();
        const auto z = graduationsTemps(g, 44100, 1000, 5);
        QCOMPARE(z.front().texte, QStringLiteral("0 ms"));
        QCOMPARE(z.back().texte, QStringLiteral("2 ms"));
        const auto a = graduationsAmplitude(g, f16, 4);
        QCOMPARE(a.front().texte, QStringLiteral("-20000"));
        QCOMPARE(a.front().position, g.LimiteCourbe.Bottom - int(std::lround((32768 - 20000) * 200 / 65536.0)));
        QCOMPARE(graduationsAmplitude(g, f8, 4).back().texte, QStringLiteral("100"));
        QCOMPARE(graduationsAmplitude(g, f24, 4).back().texte, QStringLiteral("1"));
        // Sonagram rows: 116 bins of 86.13 Hz at 44100 Hz fill the height.
        const auto f = graduationsFrequence(232, 44100, 116, 5);
        QCOMPARE(f.front().texte, QStringLiteral("2000 Hz"));
        QCOMPARE(f.front().position, 232 - int(std::lround(2000.0 * 512 / 44100 * 2)));
    }
};

QTEST_MAIN(TestDocumentSon)
#include "tst_documentson.moc"
