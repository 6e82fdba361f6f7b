#include "ControleTransfert.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QRegularExpression>

namespace {
const QString kMotCle = QStringLiteral("CONTROLE");
}

QString ControleTransfert::empreinteDe(const QString& texte)
{
    return QString::fromLatin1(QCryptographicHash::hash(texte.toUtf8(), QCryptographicHash::Sha256).toHex());
}

ControleTransfert ControleTransfert::pour(const QString& texte)
{
    ControleTransfert c;
    quint64 n[2];
    QRandomGenerator::system()->fillRange(n);
    c.jeton = QString::number(n[0], 16).rightJustified(16, QChar('0'))
        + QString::number(n[1], 16).rightJustified(16, QChar('0'));
    c.empreinte = empreinteDe(texte);
    return c;
}

QString ControleTransfert::ligne() const { return kMotCle + QChar(' ') + jeton + QChar(' ') + empreinte; }

std::optional<ControleTransfert> ControleTransfert::lis(const QString& ligne)
{
    static const QRegularExpression re(QStringLiteral("^CONTROLE ([0-9a-f]{1,64}) ([0-9a-f]{64})$"));
    const QRegularExpressionMatch m = re.match(ligne);
    if (!m.hasMatch())
        return std::nullopt;
    return ControleTransfert{m.captured(1), m.captured(2)};
}
