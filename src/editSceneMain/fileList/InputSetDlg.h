#ifndef INPUTSETDLG_H
#define INPUTSETDLG_H

#include <QDialog>
#include <QString>

#include "QorGlobal.h"

namespace Ui {
class InputSetDlg;
}

// Modal dialog in which the operator edits one input of the device: its name,
// its resolution (one of the standard resolutions or a custom size) and its
// refresh rate. OK writes the edited values back into the bound record (the
// source row binds a copy of its own, never a worker's record); the caller
// builds the device command from it and the getters. The dialog itself sends
// nothing.
class CInputSetDlg : public QDialog
{
    Q_OBJECT

public:
    // Sizes of the fields the device commands carry the values in.
    static constexpr int NAME_FIELD_BYTES = 12;
    static constexpr int MAX_SIZE = 65535; // width and height, 16 bits
    static constexpr int MAX_HZ = 255;     // refresh rate, one byte

    explicit CInputSetDlg(QWidget *parent = nullptr);
    ~CInputSetDlg() override;

    // 1: name only; 2: resolution and refresh rate only; anything else: all.
    void setShowType(int type);
    // Binds a record and fills the fields from it; null does nothing.
    void setInputData(InputSource *pInput);

    int getShowType() const { return m_nShowType; }
    int getResouIndex() const { return m_nResouIndex; }
    int getWidth() const { return m_nWidth; }
    int getHeight() const { return m_nHeight; }
    int getHz() const { return m_nHZ; }

    // Why the values on screen cannot be sent; empty when they can. Only the
    // rows the dialog shows are checked.
    QString checkValues() const;

public slots:
    void slot_ok();

private:
    void onTypeChanged(int nIndex);

    Ui::InputSetDlg *ui;
    QString m_strName;
    int m_nWidth = 1920;
    int m_nHeight = 1080;
    int m_nHZ = 60;
    int m_nResouIndex = 0;
    int m_nShowType = 0;
    InputSource *m_pDeviceInput = nullptr;
};

#endif // INPUTSETDLG_H
