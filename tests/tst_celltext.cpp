#include <QtTest>

#include "CellText.h"
#include "Fetch.h"

// An edit of the cell editor's text carried back onto the value's bytes: only the changed span
// is encoded anew, so line ends and bytes of the code page outside it stay as loaded.
class TestCellText : public QObject {
  Q_OBJECT

 private slots:
  void edit_data() {
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QString>("after");   // the editor's text after the edit
    QTest::addColumn<QString>("pasted");  // the clipboard's text when the edit is a paste
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("unmappable");
    const QByteArray mixed = "\xc9t\xe9\r\n\x80";  // "Été", CR LF, "€"
    QTest::newRow("typed at the start") << mixed << "X\u00c9t\u00e9\n\u20ac" << QString() << QByteArray("X\xc9t\xe9\r\n\x80") << 0;
    QTest::newRow("typed after the line end") << mixed << "\u00c9t\u00e9\nY\u20ac" << QString() << QByteArray("\xc9t\xe9\r\nY\x80") << 0;
    QTest::newRow("typed at the end") << mixed << "\u00c9t\u00e9\n\u20acZ" << QString() << QByteArray("\xc9t\xe9\r\n\x80Z") << 0;
    QTest::newRow("a high byte replaced") << mixed << "\u00c9te\n\u20ac" << QString() << QByteArray("\xc9te\r\n\x80") << 0;
    QTest::newRow("the line end deleted") << mixed << "\u00c9t\u00e9\u20ac" << QString() << QByteArray("\xc9t\xe9\x80") << 0;
    QTest::newRow("a lone CR kept beside typing") << QByteArray("a\rb") << "a\nbc" << QString() << QByteArray("a\rbc") << 0;
    QTest::newRow("a typed break is CR LF") << QByteArray("ab") << "a\nb" << QString() << QByteArray("a\r\nb") << 0;
    QTest::newRow("one of three zeros deleted") << QByteArray("100") << "10" << QString() << QByteArray("10") << 0;
    QTest::newRow("a repeated letter typed") << QByteArray("aa") << "aaa" << QString() << QByteArray("aaa") << 0;
    QTest::newRow("a repeated high byte typed") << QByteArray("\xe9\xe9") << "\u00e9\u00e9\u00e9" << QString() << QByteArray("\xe9\xe9\xe9") << 0;
    QTest::newRow("one of two breaks deleted, CR LF then LF") << QByteArray("a\r\n\nb") << "a\nb" << QString() << QByteArray("a\r\nb") << 0;
    QTest::newRow("a paste keeps its LF") << QByteArray("ab") << "ap\nqb" << "p\nq" << QByteArray("ap\nqb") << 0;
    QTest::newRow("a paste keeps its CR LF") << QByteArray("ab") << "ap\nqb" << "p\r\nq" << QByteArray("ap\r\nqb") << 0;
    QTest::newRow("outside the code page") << QByteArray("x") << "x\U0001F600\u0100" << QString() << QByteArray("x??") << 2;
    QTest::newRow("a question mark typed") << QByteArray("x") << "x?" << QString() << QByteArray("x?") << 0;
  }
  void edit() {
    QFETCH(QByteArray, value);
    const QString before = CellText::display(value.toStdString());
    const CellText::Edit edit = CellText::apply(value.toStdString(), before, fetched<QString>("after"), fetched<QString>("pasted"));
    QCOMPARE(QByteArray::fromStdString(edit.bytes), fetched<QByteArray>("bytes"));
    QCOMPARE(edit.unmappable, fetched<int>("unmappable"));
  }
};

QTEST_APPLESS_MAIN(TestCellText)
#include "tst_celltext.moc"
