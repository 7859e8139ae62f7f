#ifndef EDITBASEVIEW_H
#define EDITBASEVIEW_H

// The graphics view of the Tarn editor's canvas. It zooms in steps of 1.2
// (tool commands without limit, the wheel between 0.01 and 500), and turns an
// input source dropped from the source panel into "slot_addCanvasItem" with the
// drop point in scene coordinates. The ruler, the play-time label and the XML
// form of a scene are kept for the time-line scenes, which this console never
// makes.

#include <QGraphicsView>
#include <QPointF>
#include <QString>

class CEditBaseItem;
class CEditBaseScene;
class CEditBaseItemGroup;
class QLabel;
class QXmlStreamReader;
class QtCornerBox;

class CEditBaseView : public QGraphicsView
{
    Q_OBJECT
public:
    // One dragged input source as the source panel writes it.
    struct MediaDrop
    {
        int nType = 0;       // media kind; 3 for an input source
        QString strFile;     // port icon path
        QString strText;     // caption
        int nSourceId = 0;   // input id
    };

    explicit CEditBaseView(QWidget *parent = nullptr);
    ~CEditBaseView() override;

    // Decodes "editScene/media" data; false for data that is cut short,
    // malformed or not an input source (media kind 3).
    static bool decodeMediaDrop(const QByteArray &data, MediaDrop &drop);

    void zoomIn(bool bZoom);
    void zoomOut(bool bZoom);
    void setRuler(bool bShow);
    bool isShowRuler() const { return m_bIsShowRuler; }
    int rulerSize() const { return m_nRulerSize; }
    void setRulerScale(double dScale);
    double getTimeWithPos(double dPos);
    double getItemWidthByTime(double dTime);
    double getRulerScale(double dScale, int nType);
    void updateRuler();
    void updateNoniusePos(QPoint pt);
    void updateViewNoniusePos();
    void getItemMaxWidth();
    void updateItemTime(bool bShow, CEditBaseItem *pItem);
    qreal wheelScale() const { return scale_m; }

    // XML form of the scene (drawing files); reached only by closing the view.
    void newFile();
    bool loadFile(const QString &fileName);
    bool save();
    bool saveAs();
    bool saveFile(const QString &fileName);
    QString userFriendlyCurrentFile();
    QString currentFile() { return curFile; }
    void setModified(bool value) { modified = value; }
    bool isModified() const { return modified; }

signals:
    void positionChanged(int x, int y);
    void mousePosChanged(QPoint pt);
    void noniusPosChanged(QPoint pt);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    bool maybeSave();
    void setCurrentFile(const QString &fileName);
    QString strippedName(const QString &fullFileName);
    void loadCanvas(QXmlStreamReader &xml);
    CEditBaseItemGroup *loadGroupFromXML(QXmlStreamReader &xml);
    bool isTimeLine() const;

    CEditBaseItem *m_pCurrentItem = nullptr;
    CEditBaseScene *m_pTimeLineScene = nullptr;
    bool m_bIsZoomOut = false;
    QLabel *m_pPlayWidget = nullptr;
    qreal scale_m = 1;
    QtCornerBox *m_pCornerbox = nullptr;
    bool m_bIsShowRuler = false;
    int m_nRulerSize = 20;
    int m_nViewType = 0;
    QString curFile;
    bool isUntitled = true;
    bool modified = false;
    bool m_bMousePress = false;
};

#endif // EDITBASEVIEW_H
