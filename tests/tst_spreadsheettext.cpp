#include <QtTest>

#include "Fetch.h"
#include "SpreadsheetText.h"

// Blocks of cells as spreadsheets exchange them on the clipboard. Rows are written in the tables
// as lists of values; the texts are what LibreOffice and Excel put there.
using Block = QList<QByteArrayList>;

namespace {

SpreadsheetText::Rows rowsOf(const Block& block) {
  SpreadsheetText::Rows rows;
  for (const QByteArrayList& line : block) {
    rows.emplace_back();
    for (const QByteArray& value : line) rows.back().push_back(value.toStdString());
  }
  return rows;
}

Block blockOf(const SpreadsheetText::Rows& rows) {
  Block block;
  for (const std::vector<std::string>& row : rows) {
    block.append(QByteArrayList());
    for (const std::string& value : row) block.back().append(QByteArray::fromStdString(value));
  }
  return block;
}

}  // namespace

class TestSpreadsheetText : public QObject {
  Q_OBJECT

 private slots:
  void roundTrip_data() {
    QTest::addColumn<Block>("rows");
    QTest::newRow("plain values") << Block{{"a", "b"}, {"c", "d"}};
    QTest::newRow("a TAB inside a value") << Block{{"a\tb", "c"}};
    QTest::newRow("CR LF inside a value") << Block{{"line 1\r\nline 2", "x"}};
    QTest::newRow("a lone LF inside a value") << Block{{"a\nb"}, {"c"}};
    QTest::newRow("a lone CR inside a value") << Block{{"a\rb"}};
    QTest::newRow("a value ending in a line break") << Block{{"a\n"}, {"b\r"}};
    QTest::newRow("quotes first, inside and last") << Block{{"\"a", "b\"c", "d\""}};
    QTest::newRow("values of quotes only") << Block{{"\"", "\"\"", "\"\t\""}};
    QTest::newRow("empty values") << Block{{"", "", ""}, {""}, {"", "x"}};
    QTest::newRow("bytes from 0x80 up") << Block{{"\xc9lan", "\x80\xff", "\xa0"}};
    QTest::newRow("a NUL byte") << Block{{QByteArray("a\0b", 3)}};
    QTest::newRow("rows of different lengths") << Block{{"a"}, {"b", "c", "d"}, {"e", ""}};
  }
  void roundTrip() {
    const SpreadsheetText::Rows rows = rowsOf(fetched<Block>("rows"));
    for (const char* lineEnd : {"\n", "\r\n"})
      QCOMPARE(blockOf(SpreadsheetText::decode(SpreadsheetText::encode(rows, lineEnd))), fetched<Block>("rows"));
  }

  void encode_data() {
    QTest::addColumn<Block>("rows");
    QTest::addColumn<QByteArray>("lineEnd");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("the last line ends too") << Block{{"a", "b"}, {"c"}} << QByteArray("\r\n") << QByteArray("a\tb\r\nc\r\n");
    QTest::newRow("quotes doubled inside quotes") << Block{{"say \"hi\"", "x"}} << QByteArray("\n")
                                                  << QByteArray("\"say \"\"hi\"\"\"\tx\n");
    QTest::newRow("TAB and line breaks quoted") << Block{{"a\tb", "c\r\nd", "e\rf"}} << QByteArray("\n")
                                                << QByteArray("\"a\tb\"\t\"c\r\nd\"\t\"e\rf\"\n");
    QTest::newRow("other bytes as they are") << Block{{" x,y ", "\xe9"}} << QByteArray("\n") << QByteArray(" x,y \t\xe9\n");
    QTest::newRow("no rows, no text") << Block{} << QByteArray("\r\n") << QByteArray();
  }
  void encode() {
    const std::string text =
        SpreadsheetText::encode(rowsOf(fetched<Block>("rows")), fetched<QByteArray>("lineEnd").toStdString());
    QCOMPARE(QByteArray::fromStdString(text), fetched<QByteArray>("text"));
  }

  void decode_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<Block>("rows");
    QTest::newRow("one value") << QByteArray("abc") << Block{{"abc"}};
    QTest::newRow("one value, trailing CR LF") << QByteArray("abc\r\n") << Block{{"abc"}};
    QTest::newRow("a quoted cell holding a TAB") << QByteArray("\"a\tb\"\n") << Block{{"a\tb"}};
    QTest::newRow("a TAB after a quote inside") << QByteArray("a\"b\tc\"") << Block{{"a\"b", "c\""}};
    QTest::newRow("LibreOffice, trailing LF") << QByteArray("a\tb\nc\td\n") << Block{{"a", "b"}, {"c", "d"}};
    QTest::newRow("Excel, trailing CR LF") << QByteArray("a\tb\r\nc\td\r\n") << Block{{"a", "b"}, {"c", "d"}};
    QTest::newRow("no trailing line break") << QByteArray("a\tb\nc") << Block{{"a", "b"}, {"c"}};
    QTest::newRow("lone CRs") << QByteArray("a\rb\r") << Block{{"a"}, {"b"}};
    QTest::newRow("one value, trailing CR") << QByteArray("abc\r") << Block{{"abc"}};
    QTest::newRow("mixed line breaks") << QByteArray("a\r\nb\nc\rd") << Block{{"a"}, {"b"}, {"c"}, {"d"}};
    QTest::newRow("empty cells at row ends") << QByteArray("a\t\t\r\n\tb\t\r\n") << Block{{"a", "", ""}, {"", "b", ""}};
    QTest::newRow("a TAB at the text's end") << QByteArray("a\t") << Block{{"a", ""}};
    QTest::newRow("one empty cell") << QByteArray("\n") << Block{{""}};
    QTest::newRow("empty text") << QByteArray() << Block{};
    QTest::newRow("a blank line inside") << QByteArray("a\n\nb\n") << Block{{"a"}, {""}, {"b"}};
    QTest::newRow("only the last line break is dropped") << QByteArray("a\r\n\r\n") << Block{{"a"}, {""}};
    QTest::newRow("a quoted value spanning lines") << QByteArray("\"line 1\nline 2\"\tx\r\ny\r\n")
                                                   << Block{{"line 1\nline 2", "x"}, {"y"}};
    QTest::newRow("a quoted CR LF stays") << QByteArray("\"a\r\nb\"\r\n") << Block{{"a\r\nb"}};
    QTest::newRow("doubled quotes") << QByteArray("\"a\"\"b\"\"\"\t\"\"\"\"") << Block{{"a\"b\"", "\""}};
    QTest::newRow("an empty quoted value") << QByteArray("\"\"\tx") << Block{{"", "x"}};
    QTest::newRow("a quote inside a plain value") << QByteArray("5\" gun\tb\"\n") << Block{{"5\" gun", "b\""}};
    QTest::newRow("bytes after the closing quote") << QByteArray("\"ab\"cd\te") << Block{{"abcd", "e"}};
    QTest::newRow("unclosed quote takes the rest") << QByteArray("a\t\"b\tc\nd\n") << Block{{"a", "b\tc\nd\n"}};
    QTest::newRow("a quote as the last byte") << QByteArray("a\t\"") << Block{{"a", ""}};
  }
  void decode() {
    const QByteArray& text = fetched<QByteArray>("text");
    const SpreadsheetText::Rows rows = SpreadsheetText::decode(std::string_view(text.constData(), text.size()));
    QCOMPARE(blockOf(rows), fetched<Block>("rows"));
    const bool moreThanOneValue = rows.size() > 1 || (rows.size() == 1 && rows.front().size() > 1);
    QCOMPARE(SpreadsheetText::isBlock(text.toStdString()), moreThanOneValue);
  }
};

QTEST_APPLESS_MAIN(TestSpreadsheetText)
#include "tst_spreadsheettext.moc"
