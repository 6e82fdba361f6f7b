#pragma once
#include "ToolHost.h"

#include <QTemporaryDir>
#include <memory>

// The program around a tool, for tests: folders in a temporary directory, a settings file
// there, the mode, and a real transfer service. Points KINEXO_REGISTRE at its folder unless
// already set; ends any analysis program its transfers started.
class TestHost : public ToolHost
{
public:
    TestHost();
    ~TestHost() override;

    QString mesDocsDir() const override;
    QString appDataDir() const override;
    QString tamponDir() const override;
    QString fichierIni() const override;

    Tmode mode() const override { return m_mode; }
    void setMode(Tmode m) override { m_mode = m; }
    void setFocusMain() override { ++focusDemandes; }

    QString ConvertitGifBmp(const QString& nom) override;

    Transfert& transfert() override;

    QString racine() const { return m_dir.path() + QChar('/'); }
    int focusDemandes = 0;

private:
    QTemporaryDir m_dir;
    Tmode m_mode = mNone;
    std::unique_ptr<Transfert> m_transfert;
};

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <functional>

// Plays the user in the next modal window of type T (a dialog shown with exec(), a message
// box): waits for it to appear, then runs `action` on it; if the action left it open (a failed
// check), closes it so the test does not hang. Gives up after 10 s.
template <class T>
void quandModal(std::function<void(T*)> action)
{
    auto* minuterie = new QTimer;
    auto essais = std::make_shared<int>(0);
    QObject::connect(minuterie, &QTimer::timeout, minuterie, [minuterie, action, essais] {
        if (T* w = qobject_cast<T*>(QApplication::activeModalWidget())) {
            minuterie->stop();
            minuterie->deleteLater();
            QPointer<T> garde(w);
            action(w);
            // Only a failed check closes it: a dialog may finish its own accept later.
            if (garde && garde->isVisible() && QTest::currentTestFailed())
                garde->close();
        } else if (++*essais > 1000) {
            minuterie->stop();
            minuterie->deleteLater();
        }
    });
    minuterie->start(10);
}
