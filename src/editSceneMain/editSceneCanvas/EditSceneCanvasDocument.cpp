// The editing canvas's part of the scene document, and the document file
// itself with the source panel's share.

#include "EditSceneCanvas.h"

#include "BesMessageBox.h"
#include "EditBaseItem.h"
#include "EditBaseScene.h"
#include "EditBaseView.h"
#include "FileListWidget.h"
#include "GuardedWait.h"
#include "Json.h"
#include "QorGlobal.h"
#include "SceneDocument.h"
#include "globalObserver.h"

#include <QJsonDocument>
#include <QPointer>

namespace {
// Why a file was not taken, in the operator's words.
QString readFailureText(CSceneDocument::ReadResult result, const QString &strPath, const QString &strError)
{
    switch (result) {
    case CSceneDocument::NotFound:
        return BesMessageBox::composeMessage(CEditSceneCanvas::tr("工程文件不存在：%1"), {strPath});
    case CSceneDocument::IsFolder:
        return BesMessageBox::composeMessage(CEditSceneCanvas::tr("所选路径是文件夹，不是工程文件：%1"), {strPath});
    case CSceneDocument::TooLarge:
        return CEditSceneCanvas::tr("工程文件过大，最大支持%1 MB").arg(CSceneDocument::MAX_FILE_BYTES / (1024 * 1024));
    default:
        return BesMessageBox::composeMessage(CEditSceneCanvas::tr("工程文件无法读取：%1（%2）"), {strPath, strError});
    }
}
}

QJsonObject CEditSceneCanvas::programToJson()
{
    QJsonObject doc;
    doc.insert(QStringLiteral("Version"), CSceneDocument::VERSION);
    doc.insert(QStringLiteral("SceneCount"), m_listScene.size());
    const QRect rtView = m_pBaseView->geometry();
    QJsonObject view;
    int k = 1;
    for (CEditBaseScene *pScene : qAsConst(m_listScene)) {
        QJsonObject sceneObj;
        sceneObj.insert(QStringLiteral("x"), rtView.x());
        sceneObj.insert(QStringLiteral("y"), rtView.y());
        sceneObj.insert(QStringLiteral("Width"), rtView.width());
        sceneObj.insert(QStringLiteral("Height"), rtView.height());
        sceneObj.insert(QStringLiteral("BkColor"), CSceneDocument::colorText(pScene->backgroundBrush().color()));
        sceneObj.insert(QStringLiteral("SceneId"), int(pScene->getSceneID()));
        sceneObj.insert(QStringLiteral("SceneType"), pScene->getSceneType());
        sceneObj.insert(QStringLiteral("SceneName"), pScene->getSceneName());
        sceneObj.insert(QStringLiteral("ItemCount"), pScene->m_listItems.size());
        int i = 1;
        for (QGraphicsItem *pItem : pScene->m_listItems) {
            QJsonObject itemObj;
            if (pItem->type() == EditItemType_Base)
                itemObj = static_cast<CEditBaseItem *>(pItem)->saveToJson();
            sceneObj.insert(QStringLiteral("Item%1").arg(i++), itemObj);
        }
        view.insert(QStringLiteral("scene%1").arg(k++), sceneObj);
    }
    doc.insert(QStringLiteral("view"), view);
    return doc;
}

int CEditSceneCanvas::jsonToPropgram(QString &strJson)
{
    return loadDocument(QJsonDocument::fromJson(strJson.toUtf8()).object());
}

void CEditSceneCanvas::refuseDocument(int nResult)
{
    if (nResult == CSceneDocument::BadVersion)
        CGuardedWait{this}.information(tr("加载工程文件"), tr("工程文件版本错误"));
    else if (nResult == CSceneDocument::TooManyScenes)
        CGuardedWait{this}.information(tr("加载工程文件"),
                                       tr("工程文件场景过多：最多%1个场景").arg(CSceneDocument::MAX_SCENES));
    else
        CGuardedWait{this}.information(tr("加载工程文件"), tr("工程文件已损坏"));
}

int CEditSceneCanvas::loadDocument(const QJsonObject &root)
{
    // The whole document is checked before anything on the canvas goes.
    QVector<CSceneDocument::Scene> scenes;
    const CSceneDocument::Result result = CSceneDocument::parse(root, scenes);
    if (result != CSceneDocument::Ok) {
        refuseDocument(result);
        return 0;
    }
    QPointer<CEditSceneCanvas> self(this);
    globalObserver::getGlobalObserver()->notify(QStringLiteral("slot_destroySceneMain"));
    if (!self)
        return 0;
    destroyCanvas();
    // The canvas is empty now: the scenes take the ids 1..n in document order.
    int nId = 0;
    for (const CSceneDocument::Scene &scene : qAsConst(scenes)) {
        createScene(scene.strName, ++nId);
        g_setGlobalChange();
        for (const CSceneDocument::Item &item : scene.items) {
            const Json itemJson(item.obj);
            QRect rtItem = item.rect;
            m_pCurrentScene->addCanvasItemFromJson(itemJson, rtItem, item.nType);
        }
    }
    setPlayBtnStatus(true);
    globalObserver::getGlobalObserver()->notify(QStringLiteral("slot_updateProgramLayout"));
    return 1;
}

bool CEditSceneCanvas::saveProjectFile(const QString &strPath, CFileListWidget *pFileList)
{
    QJsonObject doc = programToJson();
    if (pFileList)
        pFileList->fileListToJson(doc);
    QString strError;
    if (!CSceneDocument::writeFile(strPath, doc, strError)) {
        CGuardedWait{this}.information(tr("保存文件"),
                                       BesMessageBox::composeMessage(tr("节目文件保存失败：%1"), {strError}));
        return false;
    }
    CGuardedWait{this}.information(tr("保存文件"), tr("节目文件保存成功"));
    return true;
}

bool CEditSceneCanvas::loadProjectFile(const QString &strPath, CFileListWidget *pFileList)
{
    QByteArray bytes;
    QString strError;
    const CSceneDocument::ReadResult read = CSceneDocument::readFile(strPath, bytes, strError);
    if (read != CSceneDocument::ReadOk) {
        CGuardedWait{this}.information(tr("加载工程文件"), readFailureText(read, strPath, strError));
        return false;
    }
    // A document that says by its scene count that it will be refused is
    // refused before it is built.
    const CSceneDocument::Result early = CSceneDocument::precheck(bytes);
    if (early != CSceneDocument::Ok) {
        refuseDocument(early);
        return false;
    }
    // Parsed once, for the scenes and for the source panel's keys.
    QJsonObject root;
    {
        QJsonParseError error;
        QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
        // Bytes that are no UTF-8 are taken as replacement characters, as text.
        if (error.error == QJsonParseError::IllegalUTF8String)
            doc = QJsonDocument::fromJson(QString::fromUtf8(bytes).toUtf8(), &error);
        if (error.error != QJsonParseError::NoError || !doc.isObject()) {
            CGuardedWait{this}.information(tr("加载工程文件"), tr("文件Json解析失败"));
            return false;
        }
        root = doc.object();
    }
    // The text is not needed any more: the scenes are built from the objects.
    bytes = QByteArray();
    QPointer<CFileListWidget> pPanel(pFileList);
    QPointer<CEditSceneCanvas> self(this);
    const int nResult = loadDocument(root);
    if (!self || nResult != 1)
        return false;
    if (pPanel)
        pPanel->jsonToFileList(root);
    return true;
}
