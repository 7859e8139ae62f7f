#ifndef CARDFILEWIDGET_H
#define CARDFILEWIDGET_H

#include <QColor>
#include <QPixmap>
#include <QString>
#include <QWidget>

class QPushButton;

namespace Ui {
class CardFileWidget;
}

// A card of the source panel's card page: an icon and a name in a rounded
// frame, with a context menu. The panel never fills its card page, so no card
// is made in the running program.
class CCardFileWidget : public QWidget
{
    Q_OBJECT

public:
    explicit CCardFileWidget(QWidget *parent = nullptr);
    ~CCardFileWidget() override;

    void setCardPixmap(QPixmap &pixmap);
    void setCardName(const QString &strName);
    void updateCardToopTip();
    QString getCardFile() const;
    void setAddBtn();
    void setMenu();
    bool isSelected() const { return m_bSelect; }

signals:
    void sig_startCardDrag(CCardFileWidget *pThis);
    void sig_deleteCard(CCardFileWidget *pThis);
    void sig_addCard(CCardFileWidget *pThis);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    Ui::CardFileWidget *ui;
    bool m_bSelect = false;
    bool m_bUse = false;
    QColor m_crSelect = QColor(255, 170, 0);
    int m_nId = 12;
    int m_nType = -1;
    QPixmap m_pixmap;
    QString m_strName = QStringLiteral("card layout");
    QString m_strDur;
    QString m_strResolution;
    QString m_strIconFile = QStringLiteral("card icon");
    QString m_strFile = QStringLiteral("card file");
    QPushButton *m_pBtnAdd = nullptr;
};

#endif // CARDFILEWIDGET_H
