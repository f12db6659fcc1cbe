#include <QtTest>
class tst_ArticleImport : public QObject
{
    Q_OBJECT
};
QTEST_MAIN(tst_ArticleImport)
#include "tst_articleimport.moc"
