#include "zmiddlecontrol.h"
#include "ui_zmiddlecontrol.h"

#include "DeviceRecords.h"
#include "QorGlobal.h"
#include "globalObserver.h"

#include <QApplication>
#include <QPainter>
#include <QTranslator>

namespace {
const char *const kTopics[] = {
    "slot_updateCurrentZDeviceDate", "slot_WaitupdateCurrentZDeviceDate", "slot_ChangeScenesize",
    "slot_ChangeXPos",               "slot_previewCurrentZDeviceDate",    "slot_updateZMiddleControllanguage",
};
} // namespace

ZMiddleControl::ZMiddleControl(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::ZMiddleControl)
{
    ui->setupUi(this);
    m_nMainSigName = QStringLiteral("HDMI");
    translateLabels();
    m_pTranslator = new QTranslator(this);
    globalObserver *pHub = globalObserver::getGlobalObserver();
    for (const char *pszTopic : kTopics)
        pHub->attach(QLatin1String(pszTopic), this, pszTopic);
}

ZMiddleControl::~ZMiddleControl()
{
    globalObserver *pHub = globalObserver::getGlobalObserver();
    for (const char *pszTopic : kTopics)
        pHub->detach(QLatin1String(pszTopic), this);
    delete ui;
}

void ZMiddleControl::translateLabels()
{
    m_nCurrentsignal = tr("当前信号源");
    m_nSourceresolution = tr("信号源分辨率");
    m_nHorizontalcoordinates = tr("水平坐标偏移量");
    m_nVerticalcoordinates = tr("垂直坐标偏移量");
    m_nCanvasdate = tr("画布宽高");
}

QStringList ZMiddleControl::lines() const
{
    QStringList list;
    list << QStringLiteral("[%1:%2]").arg(m_nCurrentsignal, m_nMainSigName);
    if (m_nsig != 1)
        return list;
    // Multi-argument forms: a translated label is never substituted into again.
    list << QStringLiteral("[%1:%2x%3@%4HZ]")
                .arg(m_nSourceresolution, QString::number(m_nZResolutionX), QString::number(m_nZResolutionY),
                     QString::number(m_nZResolutionHZ));
    list << QStringLiteral("[%1:%2,%3:%4]")
                .arg(m_nHorizontalcoordinates, QString::number(m_nPosX), m_nVerticalcoordinates,
                     QString::number(m_nPosY));
    list << QStringLiteral("[%1:%2x%3]").arg(m_nCanvasdate, QString::number(m_nScenesizeX), QString::number(m_nScenesizeY));
    return list;
}

void ZMiddleControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QFont font(QStringLiteral("Comic Sans MS"), 16);
    const QStringList list = lines();

    if (m_nsig != 1) {
        QConicalGradient gradient(width() / 2, height() / 2, 60);
        gradient.setColorAt(0, Qt::black);
        gradient.setColorAt(1, Qt::gray);
        painter.setBrush(gradient);
    } else {
        QLinearGradient gradient(0, 0, width() / 2, height() / 2);
        gradient.setSpread(QGradient::PadSpread);
        gradient.setColorAt(0, Qt::blue);
        gradient.setColorAt(1, Qt::green);
        painter.setBrush(gradient);
    }
    painter.drawRect(0, 0, width(), height());
    painter.setPen(Qt::white);
    painter.setFont(font);
    // Measured as this widget draws the font (its resolution, the font it falls back to): a line
    // is never cut short of its end.
    const int h = painter.fontMetrics().height();

    // Line tops: 5, h + 5, 2 (h + 5), 3 h + 15.
    const int tops[] = {5, h + 5, 2 * (h + 5), 3 * h + 15};
    for (int i = 0; i < list.size() && i < 4; ++i)
        painter.drawText(QRect(0, tops[i], width(), h), Qt::AlignLeft, list.at(i));
}

// The seven numbers are taken only with a present main source; otherwise the
// strip shows the name alone and keeps the numbers it had. The device's state
// comes with every source poll: the strip is repainted only when it changed.
void ZMiddleControl::slot_updateCurrentZDeviceDate(QString MainSigName, int nSig, int ResolutionX,
                                                   int ResolutionY, int ResolutionHZ, int PosX, int PosY,
                                                   int ScenesizeX, int ScenesizeY)
{
    if (nSig == m_nsig && MainSigName == m_nMainSigName
        && (nSig != 1
            || (ResolutionX == m_nZResolutionX && ResolutionY == m_nZResolutionY && ResolutionHZ == m_nZResolutionHZ
                && PosX == m_nPosX && PosY == m_nPosY && ScenesizeX == m_nScenesizeX
                && ScenesizeY == m_nScenesizeY)))
        return;
    m_nsig = nSig;
    m_nMainSigName = MainSigName;
    if (nSig == 1) {
        m_nZResolutionX = ResolutionX;
        m_nZResolutionY = ResolutionY;
        m_nZResolutionHZ = ResolutionHZ;
        m_nPosX = PosX;
        m_nPosY = PosY;
        m_nScenesizeX = ScenesizeX;
        m_nScenesizeY = ScenesizeY;
    }
    update();
}

void ZMiddleControl::showDeviceSource(const QString &strSerial)
{
    const CDeviceRecords *pDevice = CDeviceRecords::find(strSerial);
    if (!pDevice)
        return;
    const SystemInfo *s = pDevice->systemRecord();
    // None known: no name, rather than another device's or a guess.
    if (const InputSource *pInput = pDevice->liveMainInput())
        slot_updateCurrentZDeviceDate(pInput->strName, pInput->nSig, pInput->nWidth, pInput->nHeight, pInput->nHz,
                                      s->nXDeflection, s->nYDeflection, s->nLayerWidth, s->nLayerHeight);
    else
        slot_updateCurrentZDeviceDate(QString(), 0, 0, 0, 0, 0, 0, 0, 0);
}

void ZMiddleControl::slot_WaitupdateCurrentZDeviceDate()
{
    m_nsig = 0;
    m_nMainSigName = tr("信号源切换中");
    update();
}

void ZMiddleControl::slot_ChangeScenesize(int width, int height)
{
    m_nScenesizeX = width;
    m_nScenesizeY = height;
    update();
}

void ZMiddleControl::slot_ChangeXPos(int posX, int posY)
{
    m_nPosX = posX;
    m_nPosY = posY;
    update();
}

void ZMiddleControl::slot_previewCurrentZDeviceDate(QString name)
{
    m_nsig = 0;
    m_nMainSigName = name;
    update();
}

void ZMiddleControl::slot_updateZMiddleControllanguage(int nlanguage)
{
    g_applyLanguage(m_pTranslator, nlanguage);
    ui->retranslateUi(this);
    translateLabels();
    update();
}
