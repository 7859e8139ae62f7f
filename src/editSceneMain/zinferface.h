#ifndef ZINFERFACE_H
#define ZINFERFACE_H

#include <QList>
#include <QString>

#include "EditFrameBase.h"

struct ZSceneInfo;
class ZMiddleControl;

namespace Ui {
class Zinferface;
}

// The window in which a Z-family device is edited: the shared editor frame
// (CEditFrameBase) with the source information strip in the middle column.
// There are no settings buttons, menus or documents, and the lock button is
// hidden. Closing it hides it, unless the device is on a serial line, when the
// whole program closes. It follows only the device bound to it.
//
// Its places: programListPlace, propertyPlace (the property stack is made when
// a device is first edited here).
class Zinferface : public CEditFrameBase
{
    Q_OBJECT
public:
    explicit Zinferface(QWidget *parent = nullptr);
    ~Zinferface() override;

    void initSceneData(DeviceInfo *device, const QList<ZSceneInfo *> &listScene);
    void updateZSceneData(QString strSerial, const QList<ZSceneInfo *> &listScene);
    // A link to the device made again starts as a first start does: no scene previewed (no card
    // outlined), the live source shown as the records hold it; the start-up reads follow.
    void linkBegan(const QString &strSerial);

    ZMiddleControl *middleControl() const { return m_pZMiddleControl; }

public slots:
    void slot_destroySceneMain();
    void slot_updateZEquipmentInputSource(DeviceInfo *device, QString strSerial);

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeMain() override;

private:
    void applyVersionText();
    static CardList cardsOf(const QList<ZSceneInfo *> &listScene);

    ZMiddleControl *m_pZMiddleControl = nullptr;
    QString m_strVerDate;
    Ui::Zinferface *ui;
};

#endif // ZINFERFACE_H
