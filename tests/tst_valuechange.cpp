#include <QtTest>

#include "Fetch.h"
#include "ValueChange.h"

Q_DECLARE_METATYPE(ValueChange::ParseError::Kind)

// The expression of Change Values: what it accepts, and the exact decimal results it gives.
class TestValueChange : public QObject {
  Q_OBJECT

  static QByteArray applied(const QByteArray& expression, const QByteArray& value, bool whole) {
    const auto change = ValueChange::parse(expression.toStdString());
    if (!change) return "parse error: " + QByteArray::fromStdString(ValueChange::errorText(change.error()));
    const auto result = change->apply(value.toStdString(), whole);
    if (result) return QByteArray::fromStdString(*result);
    return result.error() == ValueChange::ApplyError::NotANumber ? "not a number" : "too large";
  }

 private slots:
  void apply_data() {
    QTest::addColumn<QByteArray>("expression");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("whole");
    QTest::addColumn<QByteArray>("result");
    const QByteArray huge = "99999999999999999999999999999999999999";  // 38 digits: the most that fit
    const auto row = [](const char* name, const QByteArray& expression, const QByteArray& value, bool whole,
                        const QByteArray& result) { QTest::newRow(name) << expression << value << whole << result; };
    row("set a negative decimal", "= -2.25", "12", false, "-2.25");
    row("set a decimal in a whole field", "=2.5", "12", true, "3");
    row("add exactly: 0.1 + 0.2", "+0.2", "0.1", false, "0.3");
    row("subtract below zero", "-5", "3", true, "-2");
    row("subtract to zero, never -0", "-1.5", "1.5", false, "0");
    row("multiply keeps the decimals it needs", "*1.2", "1.2", false, "1.44");
    row("multiply drops trailing zeros", "*1.5", "4.2", false, "6.3");
    row("multiply a whole field: 2.5 up", "*0.5", "5", true, "3");
    row("multiply a whole field: -2.5 down", "*0.5", "-5", true, "-3");
    row("multiply a whole field: 2.4 down", "*0.2", "12", true, "2");
    row("multiply a whole field: -0.4 is 0", "*0.1", "-4", true, "0");
    row("divide exactly", "/2", "3", false, "1.5");
    row("divide: six more decimals, half up", "/3", "2", false, "0.666667");
    row("divide: the value's decimals plus six", "/3", "0.1", false, "0.0333333");
    row("divide a negative: half away from zero", "/3", "-2", false, "-0.666667");
    row("divide a whole field", "/4", "10", true, "3");
    row("divide by a decimal", "/0.5", "1.25", false, "2.5");
    row("add a percentage", "+10%", "1.2", false, "1.32");
    row("subtract a percentage", "-10%", "250", true, "225");
    row("percentage in a whole field, rounded", "+10%", "5", true, "6");
    row("blanks around", " \t* 2 ", "1.05", false, "2.1");
    row("leading zeros of a value", "+1", "007", true, "8");
    row("-0 becomes 0", "*1", "-0.0", false, "0");
    for (const char* text : {"sword", "-", "", "+5", ".5", "5.", " 5", "1e5"})
      row(qPrintable("not a number: '" + QString::fromLatin1(text) + "'"), "+1", text, false, "not a number");
    row("largest value, unchanged", "*1", huge, true, huge);
    row("value too long", "+0", huge + '9', true, "too large");
    row("sum too large", "+1", huge, true, "too large");
    row("product too large", "*100", huge.left(37), true, "too large");
    row("quotient too large", "/0.000001", huge.left(30), true, "too large");
    row("38 decimals rounded whole", "*1", "0.6" + huge.left(37), true, "1");
    row("40 decimals rounded whole", "*1", "0.00" + huge.left(38), true, "0");
  }
  void apply() {
    QCOMPARE(applied(fetched<QByteArray>("expression"), fetched<QByteArray>("value"), fetched<bool>("whole")),
             fetched<QByteArray>("result"));
  }

  void parseErrors_data() {
    QTest::addColumn<QByteArray>("expression");
    QTest::addColumn<ValueChange::ParseError::Kind>("kind");
    QTest::addColumn<int>("position");
    using Kind = ValueChange::ParseError::Kind;
    const auto row = [](const char* name, const char* expression, Kind kind, int position) {
      QTest::newRow(name) << QByteArray(expression) << kind << position;
    };
    row("empty", "", Kind::NoOperator, 0);
    row("number without operator", " 5", Kind::NoOperator, 1);
    row("unknown operator", "x5", Kind::NoOperator, 0);
    row("operator alone", "+", Kind::NoNumber, 1);
    row("letters", "*abc", Kind::NoNumber, 1);
    row("point first", "*.5", Kind::NoNumber, 1);
    row("point last", "*5.", Kind::NoNumber, 3);
    row("sign after -", "- +5", Kind::SignNotAllowed, 2);
    row("two signs", "=--5", Kind::NoNumber, 2);
    row("percentage of a set", "=10%", Kind::PercentNotAllowed, 3);
    row("percentage of a product", "*10 %", Kind::PercentNotAllowed, 4);
    row("two numbers", "+5 5", Kind::Trailing, 3);
    row("text after a percentage", "+5%x", Kind::Trailing, 3);
    row("exponent", "*1e3", Kind::Trailing, 2);
    row("comma as point", "*1,5", Kind::Trailing, 2);
    row("division by 0.000", "/ 0.000", Kind::DivisionByZero, 2);
    row("operand too long", "=123456789012345678901234567890123456789", Kind::TooLong, 1);
  }
  void parseErrors() {
    const auto change = ValueChange::parse(fetched<QByteArray>("expression").toStdString());
    QVERIFY(!change);
    QCOMPARE(change.error().kind, fetched<ValueChange::ParseError::Kind>("kind"));
    QCOMPARE(change.error().position, static_cast<std::size_t>(fetched<int>("position")));
    QVERIFY(!ValueChange::errorText(change.error()).empty());
  }

  void fieldNumbers_data() {
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<bool>("numeric");
    QTest::addColumn<bool>("whole");
    QTest::newRow("whole numbers") << QStringList{"1", "-20", "0"} << true << true;
    QTest::newRow("one decimal") << QStringList{"1", "2.5", "3"} << true << false;
    QTest::newRow("1.0 is no whole number") << QStringList{"1.0"} << true << false;
    QTest::newRow("whole numbers and a dash") << QStringList{"1", "-"} << false << true;
    QTest::newRow("no values") << QStringList{} << false << true;
  }
  void fieldNumbers() {
    std::vector<std::string> texts;
    for (const QString& value : fetched<QStringList>("values")) texts.push_back(value.toStdString());
    const std::vector<std::string_view> values(texts.begin(), texts.end());
    const ValueChange::FieldNumbers numbers = ValueChange::fieldNumbers(values);
    QCOMPARE(numbers.numeric(), fetched<bool>("numeric"));
    QCOMPARE(numbers.whole, fetched<bool>("whole"));
  }
};

QTEST_GUILESS_MAIN(TestValueChange)
#include "tst_valuechange.moc"
