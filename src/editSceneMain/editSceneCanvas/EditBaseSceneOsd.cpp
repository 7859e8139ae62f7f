// The scene's OSD item creation from the "/OSD/" settings.
#include "EditBaseScene.h"

int CEditBaseScene::createOSDItem(QString strText, QSize sz, QPointF pt)
{
    // No OSD item kind is registered yet: nothing is created.
    Q_UNUSED(strText)
    Q_UNUSED(sz)
    Q_UNUSED(pt)
    return -1;
}
