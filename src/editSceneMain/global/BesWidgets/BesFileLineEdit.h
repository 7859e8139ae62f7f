#ifndef BESFILELINEEDIT_H
#define BESFILELINEEDIT_H

#include <QLineEdit>
#include <QList>
#include <QUrl>

enum BesEditFileType {
    BesFileTypeMusic = 0,
    BesFileTypeTxt = 1,
    BesFileTypeLrc = 2,
    BesFileTypeFloder = 3,
    BesFileTypeAll = 4
};

// Line edit that accepts dropped files of one kind and reports them.
class BesFileLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit BesFileLineEdit(BesEditFileType fileType = BesFileTypeAll, QWidget *parent = nullptr);

    // The local path of a file URL; empty for any other URL.
    QString toFileString(QUrl url);
    QList<QString> toTargetTypeStringList(QList<QUrl> urls);
    bool isType(QString path, BesEditFileType type);

signals:
    void sig_filesHaveBeenDrop(QList<QString> list);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    BesEditFileType m_fileType;
};

#endif // BESFILELINEEDIT_H
