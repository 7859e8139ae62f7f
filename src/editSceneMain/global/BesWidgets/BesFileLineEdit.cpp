#include "BesFileLineEdit.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>

BesFileLineEdit::BesFileLineEdit(BesEditFileType fileType, QWidget *parent)
    : QLineEdit(parent)
    , m_fileType(fileType)
{
    setAcceptDrops(true);
}

QString BesFileLineEdit::toFileString(QUrl url)
{
    // QUrl's own conversion keeps the leading "/" of absolute Unix paths.
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

bool BesFileLineEdit::isType(QString path, BesEditFileType type)
{
    if (path.isEmpty())
        return false;
    const QString strPath = path.toLower();
    const QFileInfo info(path);
    const bool bExists = info.exists();
    const bool bFile = bExists && !info.isDir();
    switch (type) {
    case BesFileTypeMusic:
        return bFile && (strPath.contains(".mp3") || strPath.contains(".wav") || strPath.contains(".ncm"));
    case BesFileTypeTxt:
        return bFile && strPath.contains(".txt");
    case BesFileTypeLrc:
        return bFile && strPath.contains(".lrc");
    case BesFileTypeFloder:
        return info.isDir();
    case BesFileTypeAll:
        return bExists;
    }
    return false;
}

QList<QString> BesFileLineEdit::toTargetTypeStringList(QList<QUrl> urls)
{
    QList<QString> list;
    for (const QUrl &url : urls) {
        const QString strFile = toFileString(url);
        if (isType(strFile, m_fileType))
            list.append(strFile);
    }
    return list;
}

void BesFileLineEdit::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls() && !toTargetTypeStringList(event->mimeData()->urls()).isEmpty())
        event->acceptProposedAction();
}

void BesFileLineEdit::dropEvent(QDropEvent *event)
{
    emit sig_filesHaveBeenDrop(toTargetTypeStringList(event->mimeData()->urls()));
}
