#ifndef TEXTWIDGET_H
#define TEXTWIDGET_H

// CTextWidget - the OSD text page: edits the selected OSD text item in place
// (font, size, colours, transparencies, letter spacing, font width, scroll
// speed) and sends colour, transparency and speed changes through the item's
// own commands (a typed transparency once, when its edit completes). Showing
// an item only loads the controls; it sends nothing.
// During an OSD transfer it shows the progress.

#include <QPointer>
#include <QWidget>

class EditOSDItem;

namespace Ui {
class textWidget;
}

class CTextWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CTextWidget(QWidget *parent = nullptr);
    ~CTextWidget() override;

    // Shows the item; a null item is ignored and the previous one stays.
    void setItemData(EditOSDItem *pItem);
    EditOSDItem *item() const;
    Ui::textWidget *form() const { return ui; }

    // Writes keys of the "/OSD/" group of Morvane.ini (GB2312), opening and closing the file.
    static void writeOSDSetting(const QString &strKey, const QVariant &value);

public slots:
    void slot_GetOSDsendprogress(int nProgress);
    void slot_SetOSDTextSpeed(int nSpeed);
    // The OSD settings the device of that serial holds (after a write it did not take), laid
    // out as the OSD parameter write: the page and its item show them again.
    void slot_osdSettingsHeld(QString strSerial, QByteArray params);
    void on_FontcheckBoxTrans_clicked(bool bChecked);
    void on_bKcheckBoxTrans_clicked(bool bChecked);

private:
    void refresh();
    bool playing() const;
    void speedPause();
    void connectHandlers();

    void onTextChanged();
    void onTextSpacing(int v);
    void onSpinSpeed(int v);
    void onFontWidth(int v);
    void onShowStyle(int i);
    void onFontName(int i);
    void onFontSize(int i);
    void onFontColor();
    void onBkColor();
    void onStyleButton();
    void onBkSpin(int v);
    void onBkSlider(int v);
    void onFontSpin(int v);
    void onFontSlider(int v);
    void onSpeedCombo(int i);

    QPointer<EditOSDItem> m_pItem;
    Ui::textWidget *ui;
};

#endif // TEXTWIDGET_H
