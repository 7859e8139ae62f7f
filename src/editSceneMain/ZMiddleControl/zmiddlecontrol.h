#ifndef ZMIDDLECONTROL_H
#define ZMIDDLECONTROL_H

#include <QString>
#include <QWidget>

class QTranslator;

namespace Ui {
class ZMiddleControl;
}

// The middle column of the Z-family frame: paints what the device is showing
// now (main source and its resolution, the picture's offsets, the canvas
// size). Driven only by hub topics; it takes no input from the operator.
class ZMiddleControl : public QWidget
{
    Q_OBJECT
public:
    explicit ZMiddleControl(QWidget *parent = nullptr);
    ~ZMiddleControl() override;

    // The text lines as painted now (one line unless the signal state is 1).
    QStringList lines() const;
    bool isFullState() const { return m_nsig == 1; }
    // The live source of the device as its records hold it (after a recall or a source choice
    // that went unanswered, the strip no longer says the source is being switched).
    void showDeviceSource(const QString &strSerial);

public slots:
    void slot_updateCurrentZDeviceDate(QString MainSigName, int nSig, int ResolutionX, int ResolutionY,
                                       int ResolutionHZ, int PosX, int PosY, int ScenesizeX, int ScenesizeY);
    void slot_WaitupdateCurrentZDeviceDate();
    void slot_ChangeScenesize(int width, int height);
    void slot_ChangeXPos(int posX, int posY);
    void slot_previewCurrentZDeviceDate(QString name);
    void slot_updateZMiddleControllanguage(int nlanguage);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void translateLabels();

    QString m_nMainSigName;
    QString m_nCurrentsignal;
    QString m_nSourceresolution;
    QString m_nHorizontalcoordinates;
    QString m_nVerticalcoordinates;
    QString m_nCanvasdate;
    int m_nsig = 1;
    int m_nZResolutionX = 0;
    int m_nZResolutionY = 0;
    int m_nZResolutionHZ = 0;
    int m_nPosX = 0;
    int m_nPosY = 0;
    int m_nScenesizeX = 0;
    int m_nScenesizeY = 0;
    Ui::ZMiddleControl *ui;
    QTranslator *m_pTranslator = nullptr;
};

#endif // ZMIDDLECONTROL_H
