#ifndef SWITCHBUTTON_H
#define SWITCHBUTTON_H

#include <QColor>
#include <QFont>
#include <QWidget>

class QTimer;

// Painted on/off switch of a device row. A press (any mouse button) toggles
// the state, tells the device list window through "slot_switchDeviceConnect"
// and slides the knob to its new end.
class SwitchButton : public QWidget
{
    Q_OBJECT
public:
    explicit SwitchButton(QWidget *parent = nullptr);
    ~SwitchButton() override;

    void setDeviceId(int nId) { m_nID = nId; }
    int deviceId() const { return m_nID; }
    void setDeviceSerial(const QString &strSerial) { m_strSerial = strSerial; }
    QString deviceSerial() const { return m_strSerial; }
    void setDeviceName(const QString &strName) { m_strDeviceName = strName; }
    QString deviceName() const { return m_strDeviceName; }
    bool switchBtnState() const { return m_checked; }

    int space() const { return m_space; }
    int radius() const { return m_radius; }
    bool checked() const { return m_checked; }
    bool showText() const { return m_showText; }
    bool showCircle() const { return m_showCircle; }
    bool animation() const { return m_animation; }
    QColor bgColorOn() const { return m_bgColorOn; }
    QColor bgColorOff() const { return m_bgColorOff; }
    QColor sliderColorOn() const { return m_sliderColorOn; }
    QColor sliderColorOff() const { return m_sliderColorOff; }
    QColor textColor() const { return m_textColor; }
    QString textOn() const { return m_textOn; }
    QString textOff() const { return m_textOff; }
    int step() const { return m_step; }
    int startX() const { return m_startX; }
    int endX() const { return m_endX; }
    bool isSliding() const;

    QSize sizeHint() const override;

signals:
    void statusChanged(bool checked);

public slots:
    void setSpace(int space);
    void setRadius(int radius);
    void setChecked(bool checked);
    void setShowText(bool show);
    void setShowCircle(bool show);
    void setAnimation(bool ok);
    void setBgColorOn(const QColor &color);
    void setBgColorOff(const QColor &color);
    void setSliderColorOn(const QColor &color);
    void setSliderColorOff(const QColor &color);
    void setTextColor(const QColor &color);
    void setTextOn(const QString &text);
    void setTextOff(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private slots:
    void UpdateValue();

private:
    void drawBg(QPainter *painter);
    void drawText(QPainter *painter);
    void drawSlider(QPainter *painter);

    int m_nID = 0;
    QString m_strSerial;
    QString m_strDeviceName;
    int m_space = 2;
    int m_radius = 5;
    bool m_checked = false;
    bool m_showText = false;
    bool m_showCircle = false;
    bool m_animation = true;
    QColor m_bgColorOn;
    QColor m_bgColorOff;
    QColor m_sliderColorOn;
    QColor m_sliderColorOff;
    QColor m_textColor;
    QString m_textOn;
    QString m_textOff;
    QTimer *m_timer = nullptr;
    int m_step = 0;
    int m_startX = 0;
    int m_endX = 0;
    QFont m_font;
};

#endif // SWITCHBUTTON_H
