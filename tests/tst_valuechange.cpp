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
    QTest::newRow("set") << QByteArray("=5") << QByteArray("12") << true << QByteArray("5");
    QTest::newRow("set a negative decimal")
        << QByteArray("= -2.25") << QByteArray("12") << false << QByteArray("-2.25");
    QTest::newRow("set a decimal in a whole field")
        << QByteArray("=2.5") << QByteArray("12") << true << QByteArray("3");
    QTest::newRow("add") << QByteArray("+5") << QByteArray("12") << true << QByteArray("17");
    QTest::newRow("add exactly: 0.1 + 0.2") << QByteArray("+0.2") << QByteArray("0.1") << false << QByteArray("0.3");
    QTest::newRow("subtract below zero") << QByteArray("-5") << QByteArray("3") << true << QByteArray("-2");
    QTest::newRow("subtract to zero, never -0") << QByteArray("-1.5") << QByteArray("1.5") << false << QByteArray("0");
    QTest::newRow("multiply keeps the decimals it needs")
        << QByteArray("*1.2") << QByteArray("1.2") << false << QByteArray("1.44");
    QTest::newRow("multiply drops trailing zeros")
        << QByteArray("*1.5") << QByteArray("4.2") << false << QByteArray("6.3");
    QTest::newRow("multiply by a negative") << QByteArray("*-1") << QByteArray("4") << true << QByteArray("-4");
    QTest::newRow("multiply a whole field: 2.5 up") << QByteArray("*0.5") << QByteArray("5") << true << QByteArray("3");
    QTest::newRow("multiply a whole field: -2.5 down")
        << QByteArray("*0.5") << QByteArray("-5") << true << QByteArray("-3");
    QTest::newRow("multiply a whole field: 2.4 down")
        << QByteArray("*0.2") << QByteArray("12") << true << QByteArray("2");
    QTest::newRow("multiply a whole field: -0.4 is 0")
        << QByteArray("*0.1") << QByteArray("-4") << true << QByteArray("0");
    QTest::newRow("divide exactly") << QByteArray("/2") << QByteArray("3") << false << QByteArray("1.5");
    QTest::newRow("divide: six more decimals, half up")
        << QByteArray("/3") << QByteArray("2") << false << QByteArray("0.666667");
    QTest::newRow("divide: the value's decimals plus six")
        << QByteArray("/3") << QByteArray("0.1") << false << QByteArray("0.0333333");
    QTest::newRow("divide a negative: half away from zero")
        << QByteArray("/3") << QByteArray("-2") << false << QByteArray("-0.666667");
    QTest::newRow("divide a whole field") << QByteArray("/4") << QByteArray("10") << true << QByteArray("3");
    QTest::newRow("divide by a decimal") << QByteArray("/0.5") << QByteArray("1.25") << false << QByteArray("2.5");
    QTest::newRow("add a percentage") << QByteArray("+10%") << QByteArray("1.2") << false << QByteArray("1.32");
    QTest::newRow("subtract a percentage") << QByteArray("-10%") << QByteArray("250") << true << QByteArray("225");
    QTest::newRow("percentage in a whole field, rounded")
        << QByteArray("+10%") << QByteArray("5") << true << QByteArray("6");
    QTest::newRow("decimal percentage") << QByteArray("+2.5%") << QByteArray("40") << false << QByteArray("41");
    QTest::newRow("blanks around") << QByteArray(" \t* 2 ") << QByteArray("1.05") << false << QByteArray("2.1");
    QTest::newRow("leading zeros of a value") << QByteArray("+1") << QByteArray("007") << true << QByteArray("8");
    QTest::newRow("-0 becomes 0") << QByteArray("*1") << QByteArray("-0.0") << false << QByteArray("0");
    QTest::newRow("text skipped") << QByteArray("+1") << QByteArray("sword") << true << QByteArray("not a number");
    QTest::newRow("dash skipped") << QByteArray("+1") << QByteArray("-") << true << QByteArray("not a number");
    QTest::newRow("empty skipped") << QByteArray("=1") << QByteArray("") << true << QByteArray("not a number");
    QTest::newRow("+5 is text") << QByteArray("+1") << QByteArray("+5") << true << QByteArray("not a number");
    QTest::newRow(".5 is text") << QByteArray("+1") << QByteArray(".5") << false << QByteArray("not a number");
    QTest::newRow("5. is text") << QByteArray("+1") << QByteArray("5.") << false << QByteArray("not a number");
    QTest::newRow("blank around a number is text")
        << QByteArray("+1") << QByteArray(" 5") << true << QByteArray("not a number");
    QTest::newRow("exponent is text") << QByteArray("+1") << QByteArray("1e5") << true << QByteArray("not a number");
    QTest::newRow("list cell is text") << QByteArray("+1") << QByteArray("1, 2") << true << QByteArray("not a number");
    QTest::newRow("largest value, unchanged") << QByteArray("*1") << huge << true << huge;
    QTest::newRow("value too long") << QByteArray("+0") << huge + '9' << true << QByteArray("too large");
    QTest::newRow("sum too large") << QByteArray("+1") << huge << true << QByteArray("too large");
    QTest::newRow("product too large") << QByteArray("*100") << huge.left(37) << true << QByteArray("too large");
    QTest::newRow("quotient too large") << QByteArray("/0.000001") << huge.left(30) << true << QByteArray("too large");
    QTest::newRow("38 decimals rounded whole") << QByteArray("*1") << "0.6" + huge.left(37) << true << QByteArray("1");
    QTest::newRow("40 decimals rounded whole") << QByteArray("*1") << "0.00" + huge.left(38) << true << QByteArray("0");
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
    QTest::newRow("empty") << QByteArray("") << Kind::NoOperator << 0;
    QTest::newRow("number without operator") << QByteArray(" 5") << Kind::NoOperator << 1;
    QTest::newRow("unknown operator") << QByteArray("x5") << Kind::NoOperator << 0;
    QTest::newRow("operator alone") << QByteArray("+") << Kind::NoNumber << 1;
    QTest::newRow("letters") << QByteArray("*abc") << Kind::NoNumber << 1;
    QTest::newRow("point first") << QByteArray("*.5") << Kind::NoNumber << 1;
    QTest::newRow("point last") << QByteArray("*5.") << Kind::NoNumber << 3;
    QTest::newRow("sign after +") << QByteArray("+-5") << Kind::SignNotAllowed << 1;
    QTest::newRow("sign after -") << QByteArray("- +5") << Kind::SignNotAllowed << 2;
    QTest::newRow("two signs") << QByteArray("=--5") << Kind::NoNumber << 2;
    QTest::newRow("percentage of a set") << QByteArray("=10%") << Kind::PercentNotAllowed << 3;
    QTest::newRow("percentage of a product") << QByteArray("*10 %") << Kind::PercentNotAllowed << 4;
    QTest::newRow("two numbers") << QByteArray("+5 5") << Kind::Trailing << 3;
    QTest::newRow("text after a percentage") << QByteArray("+5%x") << Kind::Trailing << 3;
    QTest::newRow("exponent") << QByteArray("*1e3") << Kind::Trailing << 2;
    QTest::newRow("comma as point") << QByteArray("*1,5") << Kind::Trailing << 2;
    QTest::newRow("division by zero") << QByteArray("/0") << Kind::DivisionByZero << 1;
    QTest::newRow("division by 0.000") << QByteArray("/ 0.000") << Kind::DivisionByZero << 2;
    QTest::newRow("operand too long") << QByteArray("=123456789012345678901234567890123456789") << Kind::TooLong << 1;
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
    QTest::newRow("text") << QStringList{"sword", "dagger"} << false << true;
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
