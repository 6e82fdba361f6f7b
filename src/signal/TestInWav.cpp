#include "TestInWav.h"

#include "SoundRecorder.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>

std::vector<TTestWavDlg::Tmode> TTestWavDlg::modesEnregistrement(const std::function<bool(int, int)>& supporte)
{
    static constexpr int candidats[6][2] = {{11025, 8}, {11025, 16}, {22050, 8},
                                            {22050, 16}, {44100, 8}, {44100, 16}};
    std::vector<Tmode> modes;
    for (const auto& c : candidats) {
        if (!supporte(c[0], c[1]))
            continue;
        Tmode m;
        m.frequence = c[0];
        m.bits = c[1];
        m.texte = QStringLiteral("%1 Hz %2 bits").arg(m.frequence).arg(m.bits);
        modes.push_back(m);
    }
    return modes;
}

int TTestWavDlg::modeInitial(const std::vector<Tmode>& modes, int FreqEch, int NBits, int IndexMode)
{
    for (size_t i = 0; i < modes.size(); ++i)
        if (modes[i].frequence == FreqEch && modes[i].bits == NBits)
            return int(i);
    return IndexMode >= 0 && IndexMode < int(modes.size()) ? IndexMode : -1;
}

int TniveauEntree::niveau(const QByteArray& tampon, bool is8bits)
{
    int maxi = 0;
    if (is8bits) {
        for (char c : tampon)
            maxi = std::max(maxi, int(quint8(c)) - 128);
    } else {
        const int n = int(tampon.size() / 2);
        for (int i = 0; i < n; ++i)
            maxi = std::max(maxi, std::abs(int(qFromLittleEndian<qint16>(tampon.constData() + 2 * i))));
        maxi >>= 8;
    }
    return maxi;
}

int TniveauEntree::iMaxiPour(int frequence, int bits)
{
    const int diviseur = frequence > 0 ? std::max(1, 44100 / frequence) : 1;
    return std::clamp((bits == 8 ? 16 : 32) / diviseur, 0, 32);
}

void TniveauEntree::demarre(int frequence, int bits)
{
    is8bits = bits == 8;
    iMaxi = iMaxiPour(frequence, bits);
}

int TniveauEntree::ajoute(const QByteArray& tampon)
{
    const int n = niveau(tampon, is8bits);
    for (int i = 0; i < iMaxi; ++i)
        oldMaxi[i] = oldMaxi[i + 1];
    oldMaxi[iMaxi] = n;
    return n;
}

int TniveauEntree::crete() const
{
    int m = 0;
    for (int i = 0; i <= iMaxi; ++i)
        m = std::max(m, oldMaxi[i]);
    return m;
}

TTestWavDlg::TTestWavDlg(SoundCapture& capture, int FreqEch, int NBits, int IndexMode, QWidget* parent)
    : QDialog(parent), m_capture(capture), m_freqEch(FreqEch), m_nBits(NBits), m_indexMode(IndexMode)
{
    message = [this](const QString& t) { QMessageBox::warning(this, QStringLiteral("Kinexo"), t); };
    setWindowTitle(QStringLiteral("Choix du mode d'enregistrement "));

    auto* groupe = new QGroupBox(QStringLiteral("Mode d'enregistrement"), this);
    m_modesLayout = new QVBoxLayout(groupe);
    m_modeRG = new QButtonGroup(this);
    m_info = new QLabel(groupe);
    m_info->setWordWrap(true);
    m_info->hide();
    m_modesLayout->addWidget(m_info);

    m_okBtn = new QPushButton(QStringLiteral("OK"), this);
    m_okBtn->setDefault(true);
    m_volumeBtn = new QPushButton(QStringLiteral("Volume"), this);
    m_volumeBtn->setToolTip(QStringLiteral("Réglage du volume d'enregistrement"));
    auto* annuler = new QPushButton(QStringLiteral("Annuler"), this);
    auto* boutons = new QVBoxLayout;
    boutons->addWidget(m_okBtn);
    boutons->addWidget(m_volumeBtn);
    boutons->addWidget(annuler);
    boutons->addStretch();

    m_volumePB = new QProgressBar(this);
    m_volumePB->setRange(0, 128);
    m_volumePB->setValue(0);
    m_volumePB->setTextVisible(false);
    m_volumePB->setFixedSize(256, 18);
    m_courantB = new QFrame(m_volumePB);
    m_courantB->setFrameShape(QFrame::NoFrame);
    m_courantB->setAutoFillBackground(true);
    QPalette p = m_courantB->palette();
    p.setColor(QPalette::Window, Qt::red);
    m_courantB->setPalette(p);
    m_courantB->setGeometry(-2, 0, 3, 18);

    auto* haut = new QHBoxLayout;
    haut->addWidget(groupe, 1);
    haut->addLayout(boutons);
    auto* tout = new QVBoxLayout(this);
    tout->addLayout(haut);
    tout->addWidget(new QLabel(QStringLiteral("Niveau d'entrée :"), this));
    tout->addWidget(m_volumePB);

    connect(m_okBtn, &QPushButton::clicked, this, &TTestWavDlg::accept);
    connect(annuler, &QPushButton::clicked, this, &TTestWavDlg::reject);
    connect(m_volumeBtn, &QPushButton::clicked, this, &TTestWavDlg::VolumeBtnClick);
    connect(m_modeRG, &QButtonGroup::idClicked, this, &TTestWavDlg::ModeRGClick);
    connect(&m_capture, &SoundCapture::tamponTermine, this, &TTestWavDlg::tamponTermine);
}

TTestWavDlg::~TTestWavDlg()
{
    disconnect(&m_capture, nullptr, this, nullptr);
    m_capture.ferme();
}

void TTestWavDlg::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!m_ouvert) {
        m_ouvert = true;
        QMetaObject::invokeMethod(this, &TTestWavDlg::ouvreEntree, Qt::QueuedConnection);
    }
}

void TTestWavDlg::erreurFermante(const QString& texte)
{
    m_capture.ferme();
    close_complete = true;
    if (message)
        message(texte);
    QDialog::done(QDialog::Rejected);
}

void TTestWavDlg::ouvreEntree()
{
    const QString nom = m_capture.nomEntree();
    if (nom.isEmpty()) {
        erreurFermante(QStringLiteral("Pas d'entrée son"));
        return;
    }
    setWindowTitle(QStringLiteral("Choix du mode d'enregistrement ") + nom);
    m_modes = modesEnregistrement([this](int f, int b) { return m_capture.supporte(f, b); });
    for (size_t i = 0; i < m_modes.size(); ++i) {
        auto* r = new QRadioButton(m_modes[i].texte, this);
        m_modeRG->addButton(r, int(i));
        m_modesLayout->addWidget(r);
    }
    const int choisi = modeInitial(m_modes, m_freqEch, m_nBits, m_indexMode);
    if (choisi < 0) {
        // Nothing to listen to: say so and let the user leave with the settings unchanged.
        m_info->setText(m_modes.empty() ? QStringLiteral("L'entrée son n'accepte aucun des formats d'enregistrement.")
                                        : QStringLiteral("Choisir un mode d'enregistrement."));
        m_info->show();
        m_okBtn->setEnabled(!m_modes.empty());
        close_complete = true;
        return;
    }
    m_modeRG->button(choisi)->setChecked(true);
    demarreEntree();
}

void TTestWavDlg::demarreEntree()
{
    const int i = m_modeRG->checkedId();
    if (i < 0 || i >= int(m_modes.size()))
        return;
    const Tmode& m = m_modes[size_t(i)];
    m_niveau.demarre(m.frequence, m.bits);
    close_invoked = change_invoked = close_complete = false;
    if (!m_capture.ouvre(m.frequence, m.bits, tailleTampon)) {
        erreurFermante(QStringLiteral("Problem creating record handle"));
        return;
    }
}

void TTestWavDlg::tamponTermine(const QByteArray& donnees)
{
    const int n = m_niveau.ajoute(donnees);
    m_courantB->move(2 * n - 2, 0);
    m_volumePB->setValue(m_niveau.crete());
    if (!close_invoked && !change_invoked)
        return;  // the input keeps capturing into the next buffer
    if (close_invoked) {
        m_capture.ferme();
        close_complete = true;
        QDialog::done(m_resultat);
        return;
    }
    m_capture.ferme();
    demarreEntree();
}

void TTestWavDlg::ModeRGClick(int index)
{
    if (index < 0 || index >= int(m_modes.size()))
        return;
    if (m_capture.ouverte())
        change_invoked = true;  // switched when the current buffer comes back
    else if (!close_invoked)
        demarreEntree();
    m_okBtn->setEnabled(true);
}

void TTestWavDlg::accept()
{
    const int i = m_modeRG->checkedId();
    if (i >= 0 && i < int(m_modes.size())) {
        m_freqEch = m_modes[size_t(i)].frequence;
        m_nBits = m_modes[size_t(i)].bits;
        m_indexMode = i;
    }
    done(QDialog::Accepted);
}

// The first request only stops the input; the returned buffer then closes the dialog.
void TTestWavDlg::done(int r)
{
    m_resultat = r;
    if (close_complete || !m_capture.ouverte()) {
        m_capture.ferme();
        close_complete = true;
        QDialog::done(r);
        return;
    }
    if (!close_invoked) {
        close_invoked = true;
        m_capture.reinitialise();
    }
}

void TTestWavDlg::VolumeBtnClick()
{
    const QString programme = QStandardPaths::findExecutable(QStringLiteral("pavucontrol"));
    // Tab 4 of the mixer is the input devices, where the recording level is set.
    if (programme.isEmpty() || !QProcess::startDetached(programme, {QStringLiteral("--tab=4")})) {
        if (message)
            message(QStringLiteral("Impossible"));
    }
    m_volumeBtn->hide();
}
