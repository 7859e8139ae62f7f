#ifndef DEVICECONTROL_H
#define DEVICECONTROL_H

#include <QWidget>

namespace Ui {
class CDeviceControl;
}

class SwitchButton;

// Row widget of one network device in the device list: status label,
// connection switch and the edit button. It only reports; the device list
// window wires it and the device worker drives its status label.
class CDeviceControl : public QWidget
{
    Q_OBJECT
public:
    explicit CDeviceControl(QWidget *parent = nullptr);
    ~CDeviceControl() override;

    void setDeviceId(int nId);
    int getDeviceId() const;
    void setDeviceSerial(const QString &strSerial);
    QString getDeviceSerial() const { return m_strSerial; }
    void setStrDeviceType(const QString &strType) { m_strDeviceType = strType; }
    QString getStrDeviceType() const { return m_strDeviceType; }
    void setStrDeviceName(const QString &strName);
    QString getStrDeviceName() const { return m_strDeviceName; }
    bool getSwitchBtnState() const;
    bool isOnline() const { return m_bOnline; }

    // For tests and the window's own use: the widgets of the form.
    SwitchButton *switchButton() const;
    QString statusText() const;

signals:
    void sig_editScene(QString strSerial, QString strDeviceName, QString strDeviceType);

public slots:
    void slot_setDeviceStatus(bool bStatus);

protected:
    void changeEvent(QEvent *event) override;

private slots:
    void on_btnEdit_clicked();
    void on_btnDel_clicked();

private:
    void applyStatusText();

    QString m_strSerial;
    QString m_strDeviceName;
    QString m_strDeviceType;
    Ui::CDeviceControl *ui;
    bool m_bOnline = false;
};

#endif // DEVICECONTROL_H
