#include "VideoSource.h"

#include <QFileInfo>
#include <QtTest>

// Built with -fsanitize=enum and no recovery: before the colour space was read as a number,
// loading 65 from the frame's AVColorSpace field aborted here.
class TestVideoSourceEnum : public QObject
{
    Q_OBJECT
private slots:
    void espaceCouleurHorsEnumeration()
    {
        const QString f = QStringLiteral(KX_DAMAGED_DIR "/ubsan-enum-colorspace-65.mpg");
        if (!QFileInfo::exists(f))
            QSKIP("damaged test files not present");
        VideoSource v;
        QVERIFY2(v.open(f), qPrintable(v.erreur()));
        QCOMPARE(v.size(), QSize(96, 64));
        const VideoSource::Frame a = v.first();
        QVERIFY(a.isValid());
        QVERIFY(v.last().isValid());
    }
};

QTEST_GUILESS_MAIN(TestVideoSourceEnum)
#include "tst_videosource_enum.moc"
