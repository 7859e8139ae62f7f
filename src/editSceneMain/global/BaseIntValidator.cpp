#include "BaseIntValidator.h"

BaseIntValidator::BaseIntValidator(QObject *parent)
    : QIntValidator(parent)
{
}

BaseIntValidator::BaseIntValidator(int bottom, int top, QObject *parent)
    : QIntValidator(bottom, top, parent)
{
}

QValidator::State BaseIntValidator::validate(QString &s, int &pos) const
{
    if (s.isEmpty())
        return QValidator::Intermediate;
    const int v = s.toInt(); // 0 when it is no number
    if (v > top() || v < bottom())
        return QValidator::Invalid;
    return QIntValidator::validate(s, pos);
}

void BaseIntValidator::fixup(QString &s) const
{
    if (s.toInt() < bottom())
        s = QString::number(bottom());
}

void BaseIntValidator::setRange(int bottom, int top)
{
    QIntValidator::setRange(bottom, top);
}
