#include <QTest>
class TestPanelPublish : public QObject {
    Q_OBJECT
};
QTEST_MAIN(TestPanelPublish)
#include "TestPanelPublish.moc"
