#include "TestMain.h"

#include <QFile>

#include "TestUtil.h"

class TestGround : public QObject
{
    Q_OBJECT
private slots:
    void resourcesAndTranslationsAreBuilt()
    {
        QVERIFY(QFile::exists(":/res/res/stylesheet/stylesheet.qss"));
        QVERIFY(QFile::exists(TestUtil::buildDir() + "/Tranlate_CN.qm"));
        QVERIFY(QFile::exists(TestUtil::buildDir() + "/Tranlate_EN.qm"));
    }
};

VISTEL_TEST_MAIN(TestGround)
#include "tst_ground.moc"
