#ifndef BASEINTVALIDATOR_H
#define BASEINTVALIDATOR_H

#include <QIntValidator>

// Integer validator that refuses out-of-range numbers outright.
class BaseIntValidator : public QIntValidator
{
    Q_OBJECT
public:
    explicit BaseIntValidator(QObject *parent = nullptr);
    BaseIntValidator(int bottom, int top, QObject *parent = nullptr);

    QValidator::State validate(QString &s, int &pos) const override;
    void fixup(QString &s) const override;
    void setRange(int bottom, int top) override;
};

#endif // BASEINTVALIDATOR_H
