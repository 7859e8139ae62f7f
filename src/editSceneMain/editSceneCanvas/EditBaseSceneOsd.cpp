// The scene's OSD item, made or refreshed from the "/OSD/" settings of
// "Morvane.ini".
#include "EditBaseScene.h"

#include <algorithm>

#include <QPainter>
#include <QSettings>
#include <QStyleOptionGraphicsItem>

#include "EditBaseItem.h"
#include "QorGlobal.h"
#include "TarnSceneStore.h"

// The OSD text item comes with the OSD pages; until it is built a scene has
// no OSD item to show.
#if __has_include("editosditem.h")
#include "editosditem.h"
#define SCENE_HAS_OSD_ITEM 1
#endif

#ifdef SCENE_HAS_OSD_ITEM
namespace {
// The "/OSD/" settings as the OSD item takes them.
struct OsdSettings
{
    int nX = 0, nY = 0, nW = 0, nH = 0;
    int nFontRed = 0, nFontGreen = 0, nFontBlue = 0;
    int nBkRed = 0, nBkGreen = 0, nBkBlue = 0;
    int nSpeed = 0;
    int nFontSize = 0;
};

OsdSettings readOsdSettings()
{
    OsdSettings s;
    QSettings settings(QStringLiteral("Morvane.ini"), QSettings::IniFormat);
    settings.setIniCodec("GB2312");
    s.nX = settings.value(QStringLiteral("/OSD/OSDnX")).toInt();
    s.nY = settings.value(QStringLiteral("/OSD/OSDnY")).toInt();
    s.nW = settings.value(QStringLiteral("/OSD/OSDnW")).toInt();
    s.nH = settings.value(QStringLiteral("/OSD/OSDnH")).toInt();
    s.nFontRed = settings.value(QStringLiteral("/OSD/OSDfontred")).toInt();
    s.nFontBlue = settings.value(QStringLiteral("/OSD/OSDfontblue")).toInt();
    // The green component is stored under "black", by writer and reader alike.
    s.nFontGreen = settings.value(QStringLiteral("/OSD/OSDfontblack")).toInt();
    s.nBkRed = settings.value(QStringLiteral("/OSD/OSDBkred")).toInt();
    s.nBkGreen = settings.value(QStringLiteral("/OSD/OSDBkgreen")).toInt();
    s.nBkBlue = settings.value(QStringLiteral("/OSD/OSDBkblue")).toInt();
    s.nSpeed = settings.value(QStringLiteral("/OSD/nInSpeed")).toInt();
    s.nFontSize = settings.value(QStringLiteral("/OSD/nFontSize")).toInt();
    g_fontTransparency = settings.value(QStringLiteral("/OSD/OSDg_fontTransparency")).toInt();
    g_bkColorTransparency = settings.value(QStringLiteral("/OSD/OSDg_bkColorTransparency")).toInt();

    if (s.nW == 0)
        s.nW = 1920;
    if (s.nH == 0)
        s.nH = 108;
    if (g_fontTransparency == 0 && g_bkColorTransparency == 0) {
        g_fontTransparency = 255;
        g_bkColorTransparency = 255;
    }
    if (s.nFontRed != 0 || s.nFontGreen != 0 || s.nFontBlue != 0)
        g_fontColor = QColor(s.nFontRed, s.nFontGreen, s.nFontBlue, g_fontColor.alpha());
    if (s.nBkRed != 0 || s.nBkGreen != 0 || s.nBkBlue != 0)
        g_bkColor = QColor(s.nBkRed, s.nBkGreen, s.nBkBlue, g_bkColor.alpha());
    if (s.nFontSize < 1)
        s.nFontSize = 12;
    return s;
}

QColor withAlpha(QColor color, int nAlpha)
{
    color.setAlpha(qBound(0, nAlpha, 255));
    return color;
}
}
#endif

bool CEditBaseScene::osdShown() const
{
    return m_pItem && m_listItems.contains(m_pItem);
}

int CEditBaseScene::createOSDItem(QString strText, QSize sz, QPointF pt)
{
    Q_UNUSED(pt)
#ifdef SCENE_HAS_OSD_ITEM
    const OsdSettings s = readOsdSettings();

    // An OSD item taken out of the scene earlier is not the scene's OSD item
    // any more: it is freed, and a new one is made.
    if (m_pItem && !m_listItems.contains(m_pItem)) {
        CEditBaseItem *pOrphan = m_pItem;
        m_pItem = nullptr;
        if (pOrphan->scene() == this)
            removeItem(pOrphan);
        delete pOrphan;
    }

    auto render = [sz](EditOSDItem *pItem) {
        if (sz.isEmpty())
            return;
        // At no more than the device's size: on a screen smaller than the canvas shows it the
        // item is larger than the OSD (the scroll scales its frames into the item).
        QSize source = sz;
        if (g_dWScale > 0 && g_dHScale > 0)
            source = sz.boundedTo(QSize(std::max(1, int(sz.width() * g_dWScale)), std::max(1, int(sz.height() * g_dHScale))));
        QPixmap pixmap(source);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.scale(double(source.width()) / sz.width(), double(source.height()) / sz.height());
        QStyleOptionGraphicsItem option;
        pItem->paint(&painter, &option, nullptr);
        painter.end();
        pItem->setOSDPixmap(pixmap);
    };

    // The scene has its OSD item: it takes the new text and colours only.
    if (auto *pItem = qobject_cast<EditOSDItem *>(m_pItem)) {
        pItem->setItemContent(strText);
        pItem->setSelected(true);
        pItem->m_fontColor = withAlpha(g_fontColor, g_fontTransparency);
        pItem->m_bkColor = withAlpha(g_bkColor, g_bkColorTransparency);
        pItem->m_nInSpeed = 0;
        pItem->stopScroll(); // still text now: a running scroll would go on rendering unseen
        pItem->dataChange();
        render(pItem);
        // An item the live scene kept after the OSD went off is the OSD again.
        CTarnSceneStore::setOsdOn(m_strSerial, true);
        return -1;
    }

    auto *pItem = new EditOSDItem(QRect(0, 0, sz.width(), sz.height()), true);
    m_pItem = pItem;
    pItem->setItemType(MediaType_Pixmap);
    pItem->setItemContent(strText);
    pItem->m_strSerial = m_strSerial;
    pItem->m_nInSpeed = 0;
    pItem->updateCoordinate();
    pItem->setFlag(QGraphicsItem::ItemIsMovable, true);
    pItem->setFlag(QGraphicsItem::ItemIsSelectable, true);
    pItem->setFlag(QGraphicsItem::ItemIsFocusable, true);
    addItem(pItem);
    pItem->setZValue(100);
    pItem->m_fontColor = withAlpha(g_fontColor, g_fontTransparency);
    pItem->m_bkColor = withAlpha(g_bkColor, g_bkColorTransparency);
    // Device pixels to the scene only while the scale factors are known.
    if (g_dWScale > 0 && g_dHScale > 0) {
        pItem->setWidth(s.nW / g_dWScale);
        pItem->setHeight(s.nH / g_dHScale);
        double dX = 0;
        double dY = 0;
        if (pItem->getZoomOutPos(s.nX, s.nY, dX, dY))
            pItem->moveItem(QPointF(dX, dY));
    }
    pItem->m_nFontSize = s.nFontSize;
    pItem->setItemId(getNewItemID());
    m_listItems.append(pItem);
    render(pItem);
    pItem->setItemId(OSD_ITEM_ID);
    CTarnSceneStore::setOsdOn(m_strSerial, true);
    return OSD_ITEM_ID;
#else
    Q_UNUSED(strText)
    Q_UNUSED(sz)
    return -1;
#endif
}
