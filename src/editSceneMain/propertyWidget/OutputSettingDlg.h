#ifndef OUTPUTSETTINGDLG_H
#define OUTPUTSETTINGDLG_H

// The output settings dialog: for one output port at a time its resolution (standard or
// custom), its video timing, its delay and its noise cancellation.
//
// Everything goes through the one command "输出口设置": reads and writes leave as
// "slot_setDeviceCmd" with m_strSerial; the reply handler answers on the topics "InitOutputDate",
// "SwitchOutputDate", "InitAdvancedDate", "Delay" and "Noisecancellation", each received by the
// slot of the same name. A write is not read back.
//
// Those topics name no device (nor, but for "SwitchOutputDate", a port): the worker puts each
// answer into its device's output record before it notifies, and on each topic the dialog shows
// its own device's record (looked up by m_strSerial in CDeviceRecords) of the port the topic is
// about, never the topic's values; a topic its device has no record for is not its own and is
// ignored. After a write went nowhere, or one was acknowledged, the worker notifies
// "slot_outputSettingsHeld" with the serial, and the dialog of that device shows its records of
// the ports it shows.
//
// Fields are checked before anything is sent: 16-bit values 0-65535, refresh rates 0-255; a port
// must be chosen. run() is the whole opening: it asks for the ports, runs the dialog and
// destroys it, so a closed dialog never answers the topics again.

#include <QDialog>
#include <QStringList>

#include "DeviceRecords.h"

namespace Ui {
class OutputSettingDlg;
}

class QLineEdit;

class OutputSettingDlg : public QDialog
{
    Q_OBJECT
public:
    explicit OutputSettingDlg(QWidget *parent = nullptr);
    ~OutputSettingDlg() override;

    // Asks the device of strSerial for its ports and runs a new dialog for it modally.
    static void run(const QString &strSerial, QWidget *parent = nullptr);

    QString m_strSerial;
    QStringList m_list;

public slots:
    void InitOutputDate(int count, QString Type);
    void SwitchOutputDate(int Index, int Serial, int Width, int Height, int Hz);
    void InitAdvancedDate(int HorizontalActivel, int HorizontalAll, int HorizontalStart, int HorizontalEnd,
                          int VeticalActive, int VeticalAll, int VeticalStart, int VeticalEnd, int MaxHz);
    void Delay(int nDelay);
    void Noisecancellation(int nNoisecancellation);
    void slot_outputSettingsHeld(QString strSerial);

private slots:
    void on_preinstallradioButton_clicked();
    void on_customradioButton_clicked();
    void on_AdvancedpushButton_clicked();
    void on_Backfirstpace_clicked();
    void on_ApplePushButton_clicked();
    void on_Advancedapplication_clicked();
    void on_SetuppushButton_clicked();
    void on_AdvancedcomboBox_currentIndexChanged(int index);
    void on_selectioncomboBox_currentIndexChanged(int index);
    void on_pushButton_8_clicked();
    void on_pushButton_6_clicked();

private:
    void sendCmd(QByteArray payload, int nReadOrWrite, int nSub);
    void readPort(int nSub, int nPort);
    bool timingPageShown() const;
    // This dialog's device's record of port nPort (1..), or null.
    const COutputPortRecord *portRecord(int nPort) const;
    void showResolution(const COutputPortRecord &port);
    void showTiming(const COutputPortRecord &port);
    void updateApplyButtons();
    // The field's number when it is a whole number from 0 to nMax; otherwise a message and false.
    bool readField(QLineEdit *pEdit, int nMax, int &nValue);

    Ui::OutputSettingDlg *ui = nullptr;
};

#endif // OUTPUTSETTINGDLG_H
