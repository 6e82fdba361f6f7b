#pragma once
#include <QByteArray>
#include <QDialog>
#include <QString>
#include <array>
#include <functional>
#include <vector>

class QButtonGroup;
class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QVBoxLayout;
class SoundCapture;

// Input level of capture buffers with a peak hold over the last iMaxi + 1 buffers.
class TniveauEntree
{
public:
    // Level 0..128 of one buffer: 8-bit counts only the positive half-waves (byte - 128),
    // 16-bit is the largest magnitude shifted down by 8 bits.
    static int niveau(const QByteArray& tampon, bool is8bits);
    // Buffers held so that the hold spans about the same time whatever the format.
    static int iMaxiPour(int frequence, int bits);

    void demarre(int frequence, int bits);
    // Stores the level of one buffer and returns it.
    int ajoute(const QByteArray& tampon);
    // The largest level held.
    int crete() const;

    std::array<int, 33> oldMaxi{};
    int iMaxi = 4;
    bool is8bits = true;
};

// Chooses the recording format while showing the input level live.
class TTestWavDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int tailleTampon = 4096;

    // One recording format offered (not the launcher's tool mode of the same name).
    struct Tmode
    {
        QString texte;
        bool stereo = false;
        int frequence = 0;
        int bits = 0;
    };
    // The six mono candidates, in the order they are offered, kept when `supporte` accepts them.
    static std::vector<Tmode> modesEnregistrement(const std::function<bool(int frequence, int bits)>& supporte);
    // The item matching the tool's rate and depth, else `IndexMode` when valid, else -1.
    static int modeInitial(const std::vector<Tmode>& modes, int FreqEch, int NBits, int IndexMode);

    TTestWavDlg(SoundCapture& capture, int FreqEch, int NBits, int IndexMode, QWidget* parent = nullptr);
    ~TTestWavDlg() override;

    // The choice after OK.
    int FreqEch() const { return m_freqEch; }
    int NBits() const { return m_nBits; }
    int IndexMode() const { return m_indexMode; }

    // Error boxes; tests replace it.
    std::function<void(const QString&)> message;

    const std::vector<Tmode>& modes() const { return m_modes; }
    QButtonGroup* ModeRG() const { return m_modeRG; }
    QProgressBar* VolumePB() const { return m_volumePB; }
    QFrame* CourantB() const { return m_courantB; }
    QPushButton* VolumeBtn() const { return m_volumeBtn; }
    const TniveauEntree& niveau() const { return m_niveau; }
    bool close_invoked = false;
    bool change_invoked = false;
    bool close_complete = false;

    void done(int r) override;
    void accept() override;

public slots:
    // Opening steps, run once the dialog is shown.
    void ouvreEntree();
    void VolumeBtnClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    void demarreEntree();
    void tamponTermine(const QByteArray& donnees);
    void ModeRGClick(int index);
    void erreurFermante(const QString& texte);

    SoundCapture& m_capture;
    std::vector<Tmode> m_modes;
    TniveauEntree m_niveau;
    int m_freqEch, m_nBits, m_indexMode;
    int m_resultat = QDialog::Rejected;
    bool m_ouvert = false;
    QButtonGroup* m_modeRG = nullptr;
    QVBoxLayout* m_modesLayout = nullptr;
    QProgressBar* m_volumePB = nullptr;
    QFrame* m_courantB = nullptr;
    QPushButton* m_okBtn = nullptr;
    QPushButton* m_volumeBtn = nullptr;
    QLabel* m_info = nullptr;
};
