#include "TabuloWindow.h"

#include "NumberText.h"
#include "Transfert.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

TraceTabulo::TraceTabulo(const PageTabulo& page, QVector<QPair<int, int>> courbes, QWidget* parent)
    : QWidget(parent), m_page(page), m_courbes(std::move(courbes))
{
    setMinimumSize(200, 150);
}

void TraceTabulo::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const QRectF zone = QRectF(rect()).adjusted(84, 10, -10, -30);
    p.setPen(Qt::gray);
    p.drawRect(zone);
    double xmin = INFINITY, xmax = -INFINITY, ymin = INFINITY, ymax = -INFINITY;
    for (const auto& [cx, cy] : m_courbes)
        for (const QVector<double>& l : m_page.lignes)
            if (std::isfinite(l[cx]) && std::isfinite(l[cy])) {
                xmin = qMin(xmin, l[cx]);
                xmax = qMax(xmax, l[cx]);
                ymin = qMin(ymin, l[cy]);
                ymax = qMax(ymax, l[cy]);
            }
    if (!(xmin <= xmax))
        return;
    if (xmax - xmin < 1e-300) { xmin -= 1; xmax += 1; }
    if (ymax - ymin < 1e-300) { ymin -= 1; ymax += 1; }
    const double mx = (xmax - xmin) * 0.04, my = (ymax - ymin) * 0.04;   // keep marks inside
    xmin -= mx; xmax += mx; ymin -= my; ymax += my;
    auto ecran = [&](double x, double y) {
        return QPointF(zone.left() + (x - xmin) / (xmax - xmin) * zone.width(),
                       zone.bottom() - (y - ymin) / (ymax - ymin) * zone.height());
    };
    p.setPen(Qt::black);
    p.drawText(QRectF(zone.left(), zone.bottom() + 4, zone.width(), 20), Qt::AlignLeft,
               TexteNombre(xmin));
    p.drawText(QRectF(zone.left(), zone.bottom() + 4, zone.width(), 20), Qt::AlignRight,
               TexteNombre(xmax));
    p.drawText(QRectF(0, zone.top(), 80, 20), Qt::AlignRight, TexteNombre(ymax));
    p.drawText(QRectF(0, zone.bottom() - 20, 80, 20), Qt::AlignRight, TexteNombre(ymin));
    static const QColor couleurs[] = {Qt::blue, Qt::red, Qt::darkGreen, Qt::magenta, Qt::darkCyan};
    int c = 0;
    QString legende;
    for (const auto& [cx, cy] : m_courbes) {
        const QColor couleur = couleurs[c++ % 5];
        p.setPen(QPen(couleur, 1.5));
        p.setBrush(couleur);
        for (const QVector<double>& l : m_page.lignes)
            if (std::isfinite(l[cx]) && std::isfinite(l[cy]))
                p.drawEllipse(ecran(l[cx], l[cy]), 2.5, 2.5);
        legende += m_page.noms[cy] + QStringLiteral("(") + m_page.noms[cx] + QStringLiteral(")  ");
    }
    p.setPen(Qt::black);
    p.drawText(zone.adjusted(4, 2, -4, -2), Qt::AlignTop | Qt::AlignRight, legende.trimmed());
}

TabuloWindow::TabuloWindow(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Tabulo"));
    auto* centre = new QWidget(this);
    auto* mise = new QVBoxLayout(centre);
    m_titre = new QLabel(QStringLiteral("Aucune donnée : envoyez un tableau depuis Kinexo."), centre);
    m_onglets = new QTabWidget(centre);
    mise->addWidget(m_titre);
    mise->addWidget(m_onglets, 1);
    setCentralWidget(centre);
    QMenu* fichier = menuBar()->addMenu(QStringLiteral("&Fichier"));
    fichier->addAction(QStringLiteral("&Enregistrer la page..."), this, &TabuloWindow::enregistre);
    fichier->addSeparator();
    fichier->addAction(QStringLiteral("&Quitter"), this, &QWidget::close);
    resize(760, 480);
}

void TabuloWindow::nouveauFichier(const PageTabulo& page)
{
    m_pages.clear();
    while (m_onglets->count() > 0) {
        QWidget* w = m_onglets->widget(0);
        m_onglets->removeTab(0);
        delete w;
    }
    ajoute(page);
}

void TabuloWindow::nouvellePage(const PageTabulo& page) { ajoute(page); }

void TabuloWindow::ajoute(const PageTabulo& page)
{
    m_pages.append(page);
    const PageTabulo& premiere = m_pages.first();
    auto* split = new QSplitter(Qt::Horizontal);
    auto* table = new QTableWidget(int(page.lignes.size()), int(page.noms.size()), split);
    QStringList entetes;
    for (qsizetype k = 0; k < page.noms.size(); ++k)
        entetes << page.noms[k] + QStringLiteral("\n") + page.unites[k];
    table->setHorizontalHeaderLabels(entetes);
    for (int i = 0; i < page.lignes.size(); ++i)
        for (int k = 0; k < page.noms.size(); ++k) {
            const double v = page.lignes[i][k];
            auto* item = new QTableWidgetItem(std::isfinite(v) ? TexteNombre(v) : QString());
            item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            table->setItem(i, k, item);
        }
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    split->addWidget(table);
    split->addWidget(new TraceTabulo(page, page.courbes(&premiere), split));
    m_onglets->addTab(split, QStringLiteral("Page %1").arg(m_pages.size()));
    m_onglets->setCurrentWidget(split);
    QString titre = premiere.titre.isEmpty() ? QStringLiteral("Sans titre") : premiere.titre;
    if (!page.commentaire.isEmpty())
        titre += QStringLiteral(" — ") + page.commentaire;
    m_titre->setText(titre);
}

bool TabuloWindow::sauvePage(int index, const QString& chemin) const
{
    if (index < 0 || index >= m_pages.size())
        return false;
    const PageTabulo& p = m_pages[index];
    ExchangeText t;
    t.addFields(p.noms);
    t.addFields(p.unites);
    for (const QVector<double>& l : p.lignes) {
        QStringList champs;
        for (double v : l)
            champs << (std::isfinite(v) ? TexteNombre(v) : QString());
        t.addFields(champs);
    }
    return Transfert::ecritTable(chemin, t);
}

void TabuloWindow::enregistre()
{
    if (m_pages.isEmpty())
        return;
    QFileDialog fd(this, QStringLiteral("Enregistrer la page"), QString(),
                   QStringLiteral("Tableur (*.csv);;Tableur ASCII (*.txt)"));
    fd.setAcceptMode(QFileDialog::AcceptSave);
    fd.setDefaultSuffix(QStringLiteral("csv"));
    if (fd.exec() != QDialog::Accepted || fd.selectedFiles().isEmpty())
        return;
    if (!sauvePage(m_onglets->currentIndex(), fd.selectedFiles().constFirst()))
        QMessageBox::critical(this, windowTitle(), QStringLiteral("Erreur d'écriture"));
}
