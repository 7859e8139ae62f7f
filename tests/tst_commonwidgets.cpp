#include "TestMain.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "BaseIntValidator.h"
#include "BaseSlider.h"
#include "BesEditDialog.h"
#include "BesFileLineEdit.h"
#include "BesFramelessWidget.h"
#include "BesScaleUtil.h"
#include "BesSlider.h"
#include "BesTransparentLayer.h"
#include "CustomLabel.h"
#include "FlowLayout.h"
#include "RollLabel.h"

// A widget with a fixed size hint, to be placed by a FlowLayout.
class Block : public QWidget
{
public:
    Block(int w, int h) : m_size(w, h) {}
    QSize sizeHint() const override { return m_size; }
    QSize minimumSizeHint() const override { return m_size; }

private:
    QSize m_size;
};

// Makes the protected handlers of a widget reachable.
template <class T>
class Exposed : public T
{
public:
    using T::T;
    using T::mouseReleaseEvent;
    using T::wheelEvent;
    using T::timerEvent;
    using T::resizeEvent;
};

class DropLineEdit : public BesFileLineEdit
{
public:
    using BesFileLineEdit::BesFileLineEdit;
    using BesFileLineEdit::dragEnterEvent;
    using BesFileLineEdit::dropEvent;
};

static void release(Exposed<CBaseSlider> &slider, int x)
{
    QMouseEvent ev(QEvent::MouseButtonRelease, QPointF(x, 5), Qt::LeftButton, Qt::NoButton,
                   Qt::NoModifier);
    slider.mouseReleaseEvent(&ev);
}

class TestCommonWidgets : public QObject
{
    Q_OBJECT
private slots:
    void sliderJumpsToRelease()
    {
        Exposed<CBaseSlider> slider(nullptr);
        slider.setOrientation(Qt::Horizontal);
        slider.setRange(0, 100);
        slider.resize(200, 20);
        QSignalSpy spy(&slider, &CBaseSlider::rSliderValueManulChange);
        release(slider, 150);
        QCOMPARE(slider.value(), 75);
        QCOMPARE(spy.last().at(0).toInt(), 75);
        release(slider, 199);
        QCOMPARE(slider.value(), 99);
        // Left of the widget: the slider clamps, the signal does not.
        release(slider, -20);
        QCOMPARE(slider.value(), 0);
        QCOMPARE(spy.last().at(0).toInt(), -10);
        slider.setRange(-50, 50);
        release(slider, 100);
        QCOMPARE(slider.value(), 0);
    }

    void zeroWidthSliderIgnoresRelease()
    {
        Exposed<CBaseSlider> slider(nullptr);
        slider.setRange(0, 100);
        slider.setValue(30);
        slider.setFixedWidth(0);
        QCOMPARE(slider.width(), 0);
        QSignalSpy spy(&slider, &CBaseSlider::rSliderValueManulChange);
        release(slider, 0);
        QCOMPARE(slider.value(), 30);
        QCOMPARE(spy.count(), 0);
    }

    void sliderSwallowsWheelButSaysKeys()
    {
        Exposed<CBaseSlider> slider(nullptr);
        slider.setRange(0, 100);
        slider.setValue(50);
        QWheelEvent ev(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, 120), Qt::NoButton,
                       Qt::NoModifier, Qt::NoScrollPhase, false);
        ev.ignore();
        slider.wheelEvent(&ev);
        QVERIFY(ev.isAccepted());
        QCOMPARE(slider.value(), 50);
        // A key moves it and says so, as a release does.
        QSignalSpy spy(&slider, &CBaseSlider::rSliderValueManulChange);
        QTest::keyClick(&slider, Qt::Key_PageUp);
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.last().at(0).toInt(), 60);
    }

    void validatorStatesAndFixup()
    {
        BaseIntValidator validator(0, 100);
        int pos = 0;
        QString s;
        QCOMPARE(validator.validate(s, pos), QValidator::Intermediate);
        s = "101";
        QCOMPARE(validator.validate(s, pos), QValidator::Invalid);
        s = "-1";
        QCOMPARE(validator.validate(s, pos), QValidator::Invalid);
        s = "50";
        QCOMPARE(validator.validate(s, pos), QValidator::Acceptable);
        s = "abc"; // no number reads as 0, then the base decides
        QCOMPARE(validator.validate(s, pos), QValidator::Invalid);
        s = "-5";
        validator.fixup(s);
        QCOMPARE(s, QString("0"));
        s = "150";
        validator.fixup(s);
        QCOMPARE(s, QString("150"));

        validator.setRange(10, 20);
        s = "5";
        QCOMPARE(validator.validate(s, pos), QValidator::Invalid);
        validator.fixup(s);
        QCOMPARE(s, QString("10"));

        // Through a line edit: out-of-range keystrokes are refused.
        QLineEdit edit;
        edit.setValidator(new BaseIntValidator(0, 100, &edit));
        QTest::keyClicks(&edit, "1000");
        QCOMPARE(edit.text(), QString("100"));
    }

    void flowLayoutWraps()
    {
        QWidget host;
        FlowLayout *pLayout = new FlowLayout(&host, 0, 10, 10);
        Block *a = new Block(60, 20);
        Block *b = new Block(30, 25);
        Block *c = new Block(50, 20);
        pLayout->addWidget(a);
        pLayout->addWidget(b);
        pLayout->addWidget(c);
        pLayout->setGeometry(QRect(0, 0, 100, 200));
        QCOMPARE(a->geometry(), QRect(0, 0, 60, 20));
        QCOMPARE(b->geometry(), QRect(0, 30, 30, 25));
        QCOMPARE(c->geometry(), QRect(40, 30, 50, 20));
        QCOMPARE(pLayout->heightForWidth(100), 55);
        QVERIFY(pLayout->hasHeightForWidth());
        QCOMPARE(pLayout->heightForWidth(200), 25); // one row
        QCOMPARE(pLayout->minimumSize(), QSize(60, 25));
        QCOMPARE(pLayout->expandingDirections(), Qt::Orientations());

        // A single item wider than the layout stays on the first row.
        QWidget host3;
        FlowLayout *pNarrow = new FlowLayout(0, 10, 10);
        host3.setLayout(pNarrow);
        Block *wide = new Block(300, 10);
        Block *next = new Block(30, 10);
        pNarrow->addWidget(wide);
        pNarrow->addWidget(next);
        pNarrow->setGeometry(QRect(0, 0, 100, 100));
        QCOMPARE(wide->geometry(), QRect(0, 0, 300, 10));
        QCOMPARE(next->geometry(), QRect(0, 20, 30, 10));
        delete pNarrow->takeAt(1);
        QVERIFY(!pNarrow->takeAt(1)); // out of range: none
        QCOMPARE(pNarrow->count(), 1);
        QVERIFY(!pNarrow->itemAt(5));
        QCOMPARE(pNarrow->horizontalSpacing(), 10);

        // Margins and spacing taken from the parent style.
        FlowLayout *pMargins = new FlowLayout(7, -1, -1);
        QCOMPARE(pMargins->horizontalSpacing(), -1); // no parent yet
        QWidget host2;
        host2.setLayout(pMargins);
        QCOMPARE(pMargins->horizontalSpacing(),
                 host2.style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing, nullptr, &host2));
        Block *d = new Block(10, 10);
        pMargins->addWidget(d);
        pMargins->setGeometry(QRect(0, 0, 100, 100));
        QCOMPARE(d->geometry().topLeft(), QPoint(7, 7));
        QCOMPARE(pMargins->minimumSize(), QSize(24, 24));
    }

    void flowLayoutDeletesItems()
    {
        QWidget host;
        FlowLayout *pLayout = new FlowLayout(&host, 0, 5, 5);
        QPointer<QWidget> a = new Block(10, 10);
        QPointer<QWidget> b = new Block(10, 10);
        pLayout->addWidget(a);
        pLayout->addWidget(b);
        pLayout->deleteItemById(7); // nothing there
        QCOMPARE(pLayout->count(), 2);
        pLayout->deleteItemById(0);
        QVERIFY(a.isNull());
        QCOMPARE(pLayout->count(), 1);
        pLayout->deleteAllItem();
        QVERIFY(b.isNull());
        QCOMPARE(pLayout->count(), 0);
    }

    void rollLabelScrolls()
    {
        Exposed<CRollLabel> label(nullptr);
        label.setText("abcdef");
        label.resize(100, 20);
        label.show();
        QVERIFY(QTest::qWaitForWindowExposed(&label));
        QSize size(100, 20);
        QResizeEvent re(size, QSize(0, 0));
        label.resizeEvent(&re);
        label.repaint(); // takes the text width
        const int tw = label.fontMetrics().horizontalAdvance("abcdef");
        QCOMPARE(label.offset(), 100); // rest: the text stands at x = 0
        label.startRoll();
        QTimerEvent foreign(-12345);
        label.timerEvent(&foreign); // other timers change nothing
        QCOMPARE(label.offset(), 100);
        label.stopRoll();

        // Tick by tick through the scrolling timer: find its id by a real tick.
        label.setInterval(1);
        label.startRoll();
        QTRY_VERIFY(label.offset() > 100);
        label.stopRoll();
        QCOMPARE(label.offset(), 100);

        // The wrap: past label + text width the offset comes back at 5.
        label.startRoll();
        QTRY_VERIFY_WITH_TIMEOUT(label.offset() < 100, 5000);
        label.stopRoll();
        QVERIFY(100 + tw > 0);

        // Left to right rests at the text width.
        label.setDirection(CRollLabel::LeftToRight);
        QCOMPARE(label.offset(), tw);
        QCOMPARE(label.getDirection(), CRollLabel::LeftToRight);

        // Narrow resizes are ignored; a smaller width puts the offset at rest.
        label.setDirection(CRollLabel::RightToLeft);
        QResizeEvent tiny(QSize(10, 20), size);
        label.resizeEvent(&tiny);
        QCOMPARE(label.offset(), 100);
        QResizeEvent smaller(QSize(80, 20), size);
        label.resizeEvent(&smaller);
        QCOMPARE(label.offset(), 80);
        QCOMPARE(label.getInterval(), 1);
    }

    void editDialogEnablesOkForChangedNames()
    {
        BesEditDialog dlg;
        QPushButton *pOk = dlg.findChild<QPushButton *>("btnOK");
        QLineEdit *pEdit = dlg.findChild<QLineEdit *>("editAddItemName");
        QVERIFY(pOk && pEdit);
        QVERIFY(!pOk->isEnabled());
        dlg.setText("场景1");
        QCOMPARE(pEdit->text(), QStringLiteral("场景1"));
        QVERIFY(!pOk->isEnabled()); // unchanged
        pEdit->setText("  场景2 ");
        QVERIFY(pOk->isEnabled());
        QCOMPARE(dlg.getText(), QStringLiteral("场景2"));
        pEdit->setText("   ");
        QVERIFY(!pOk->isEnabled());
        pEdit->setText(" 场景1 ");
        QVERIFY(!pOk->isEnabled());
        QCOMPARE(dlg.minimumWidth(), BesScaleUtil::scaled(600));
        dlg.setText(QString(100, 'x'));
        QCOMPARE(dlg.minimumWidth(), static_cast<int>(BesScaleUtil::scale() * 1000));
    }

    void fileLineEditKeepsAbsolutePaths()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString strTxt = dir.filePath("Notes.TXT");
        const QString strMp3 = dir.filePath("song.mp3");
        for (const QString &f : {strTxt, strMp3}) {
            QFile file(f);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        DropLineEdit edit(BesFileTypeTxt);
        QCOMPARE(edit.toFileString(QUrl::fromLocalFile(strTxt)), strTxt);
        QVERIFY(edit.toFileString(QUrl::fromLocalFile(strTxt)).startsWith('/'));
        QCOMPARE(edit.toFileString(QUrl("http://host/a.txt")), QString());

        QVERIFY(edit.isType(strTxt, BesFileTypeTxt));

        // Nothing matching: the drag is not accepted.
        QMimeData other;
        other.setUrls({QUrl::fromLocalFile(strMp3)});
        QDragEnterEvent refused(QPoint(1, 1), Qt::CopyAction, &other, Qt::LeftButton, Qt::NoModifier);
        refused.ignore();
        edit.dragEnterEvent(&refused);
        QVERIFY(!refused.isAccepted());
        QVERIFY(!edit.isType(strMp3, BesFileTypeTxt));
        QVERIFY(edit.isType(strMp3, BesFileTypeMusic));
        QVERIFY(edit.isType(dir.path(), BesFileTypeFloder));
        QVERIFY(!edit.isType(dir.path(), BesFileTypeTxt));
        QVERIFY(edit.isType(dir.path(), BesFileTypeAll));
        QVERIFY(!edit.isType(dir.filePath("missing.txt"), BesFileTypeTxt));
        QVERIFY(!edit.isType(QString(), BesFileTypeAll));

        const QList<QUrl> urls{QUrl::fromLocalFile(strMp3), QUrl::fromLocalFile(strTxt)};
        QCOMPARE(edit.toTargetTypeStringList(urls), QList<QString>{strTxt});

        // A drop reports the matching files and leaves the text alone.
        edit.setText("keep");
        QSignalSpy spy(&edit, &BesFileLineEdit::sig_filesHaveBeenDrop);
        QMimeData mime;
        mime.setUrls(urls);
        QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        enter.ignore();
        edit.dragEnterEvent(&enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(1, 1), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        edit.dropEvent(&drop);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.first().at(0).value<QList<QString>>(), QList<QString>{strTxt});
        QCOMPARE(edit.text(), QString("keep"));
    }

    void clickLayerAndLabel()
    {
        BesTransparentLayer layer;
        QSignalSpy pressed(&layer, &BesTransparentLayer::sig_layerPressed);
        QTest::mousePress(&layer, Qt::RightButton);
        QCOMPARE(pressed.count(), 1);

        CCustomLabel label;
        QSignalSpy left(&label, &CCustomLabel::sig_leftClicked);
        QSignalSpy right(&label, &CCustomLabel::sig_rightClicked);
        QSignalSpy released(&label, &CCustomLabel::sig_release);
        QSignalSpy dbl(&label, &CCustomLabel::sig_doubleClicked);
        QTest::mouseClick(&label, Qt::LeftButton);
        QCOMPARE(left.count(), 1);
        QCOMPARE(released.count(), 1);
        QTest::mousePress(&label, Qt::RightButton);
        QCOMPARE(right.count(), 1);
        QCOMPARE(right.first().at(0).value<CCustomLabel *>(), &label);
        QTest::mouseRelease(&label, Qt::RightButton);
        QCOMPARE(released.count(), 1); // only the left button counts
        QTest::mouseDClick(&label, Qt::LeftButton);
        QCOMPARE(dbl.count(), 1);
        label.setToolData("f", "i", ToolType_Table);
        QCOMPARE(label.getLabelype(), int(ToolType_Table));
        label.setMaterialData("file", "icon", MediaType_SingleText);
        QCOMPARE(label.getLabelype(), int(MediaType_SingleText));
        QCOMPARE(label.getLabelFile(), QString("file"));
        QCOMPARE(label.getIconFile(), QString("icon"));
        QVERIFY(label.findChild<QLabel *>("programName"));
    }

    void besSliderKeepsGrabOffset()
    {
        BesSlider slider;
        slider.setOrientation(Qt::Horizontal);
        slider.setRange(0, 100);
        slider.resize(200, 20);
        slider.setValue(50);
        slider.show();
        QVERIFY(QTest::qWaitForWindowExposed(&slider));
        QSignalSpy spy(&slider, &BesSlider::sig_clickNotOnHandle);
        const QRect handle = slider.getHandleRect();
        QVERIFY(handle.isValid());
        // Press off the handle's centre but on it: the value stays.
        QTest::mousePress(&slider, Qt::LeftButton, Qt::NoModifier, handle.center() + QPoint(2, 0));
        QCOMPARE(slider.value(), 50);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.first().at(0).toInt(), 50);
        QTest::mouseRelease(&slider, Qt::LeftButton, Qt::NoModifier, handle.center() + QPoint(2, 0));

        slider.enableMouseEvt = false;
        QTest::mousePress(&slider, Qt::LeftButton, Qt::NoModifier, QPoint(5, 10));
        QCOMPARE(spy.count(), 1);
    }

    void framelessWidgetMinimumSize()
    {
        BesFramelessWidget w;
        QCOMPARE(w.minimumWidth(), BesScaleUtil::scaled(1224));
        QCOMPARE(w.minimumHeight(), BesScaleUtil::scaled(800));
        QCOMPARE(w.getFrameBorder(), 8);
        QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
    }
};

VISTEL_TEST_MAIN(TestCommonWidgets)
#include "tst_commonwidgets.moc"
