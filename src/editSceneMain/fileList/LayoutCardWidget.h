#ifndef LAYOUTCARDWIDGET_H
#define LAYOUTCARDWIDGET_H

#include <QString>
#include <QWidget>

class FlowLayout;
class CCardFileWidget;

namespace Ui {
class CLayoutCardWidget;
}

// The card page of the source panel: a scroll area whose cards wrap in rows.
// The panel keeps it beside its list page but never shows or fills it.
class CLayoutCardWidget : public QWidget
{
    Q_OBJECT

public:
    explicit CLayoutCardWidget(QWidget *parent = nullptr);
    ~CLayoutCardWidget() override;

    // Creates the flow layout (margin 10, spacings 10 and 20) unless present.
    void initValue();
    void deleteAllItem();
    void deleteItemById(int nIndex);
    // Adds an empty card; nothing in the program calls it.
    CCardFileWidget *addCardItem();
    void updateLayout();
    // True when some card holds the file; no card is taken out.
    bool checkItemExist(const QString &strFile) const;

    FlowLayout *flowLayout() const { return m_pFlowLayout; }
    int cardCount() const;

private:
    FlowLayout *m_pFlowLayout = nullptr;
    bool m_bDrag = false;
    Ui::CLayoutCardWidget *ui;
};

#endif // LAYOUTCARDWIDGET_H
