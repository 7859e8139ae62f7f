#ifndef CUSTOMLABEL_H
#define CUSTOMLABEL_H

#include <QLabel>

#include "QorGlobal.h"

// Clickable caption label carrying a file, an icon and a media or tool kind.
class CCustomLabel : public QLabel
{
    Q_OBJECT
public:
    explicit CCustomLabel(QWidget *parent = nullptr);

    void setMaterialData(const QString &strFile, const QString &strIcon, int nType);
    void setToolData(const QString &strFile, const QString &strIcon, toolType nType);
    int getLabelype() const;
    QString getLabelFile() const;
    QString getIconFile() const;
    // Draws a red frame around the label.
    void drawFrame();

signals:
    void sig_leftClicked();
    void sig_rightClicked(CCustomLabel *pThis);
    void sig_doubleClicked();
    void sig_release();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private slots:
    void slot_showContextMenu(const QPoint &pos);

private:
    QLabel *m_pLabelName;
    int m_nId;
    int m_nType;
    QString m_strFile;
    QString m_strIcon;
};

#endif // CUSTOMLABEL_H
