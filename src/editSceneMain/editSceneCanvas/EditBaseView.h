#ifndef EDITBASEVIEW_H
#define EDITBASEVIEW_H

// The graphics view that shows a device scene on the editing canvas. It keeps whether the
// scene document has unsaved changes.

#include <QGraphicsView>

class CEditBaseView : public QGraphicsView
{
    Q_OBJECT
public:
    explicit CEditBaseView(QWidget *parent = nullptr);
    ~CEditBaseView() override;

    void setModified(bool bModified) { modified = bModified; }
    bool isModified() const { return modified; }

protected:
    bool modified = false;
};

#endif // EDITBASEVIEW_H
