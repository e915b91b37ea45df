#include "EditorFixture.h"

using namespace DataText;

// In a list of keys: a click on the find bar's previous-match button.
constexpr QKeyCombination kPreviousButton = Qt::Key_unknown;

// The find bar: names or every shown value, forwards and back, wrapping at either end.
class TestFind : public QObject, EditorFixture {
  Q_OBJECT

  using EditorFixture::find;

 private slots:
  void init() { openWindow(); }
  void cleanup() { closeWindow(); }

  // Ctrl+F searches the names as typed, or every shown value; Enter and F3 go on, Shift+F3 back,
  // wrapping with a note. Each match is told by its cell's value (each value here is unique); the
  // two knights are neighbours, so that the next match can be the very next unit.
  void find_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("allValues");
    QTest::addColumn<QList<QKeyCombination>>("keys");
    QTest::addColumn<QStringList>("matches");
    const QKeyCombination f3 = Qt::Key_F3, back = Qt::SHIFT | Qt::Key_F3, button = kPreviousButton;
    QTest::newRow("names, any case") << "KNI" << false << QList{f3, f3, f3}
                                     << QStringList{QStringLiteral("Knights_templar"), QStringLiteral("knights Wrapped to the first unit"),
                                                    QStringLiteral("Knights_templar")};
    QTest::newRow("backwards") << "kni" << false << QList{back, back}
                               << QStringList{QStringLiteral("Knights_templar Wrapped to the last unit"), QStringLiteral("knights")};
    QTest::newRow("the previous-match button")
        << "kni" << false << QList{button, button}
        << QStringList{QStringLiteral("Knights_templar Wrapped to the last unit"), QStringLiteral("knights")};
    QTest::newRow("all values") << "spear" << true << QList<QKeyCombination>{Qt::Key_Return, f3}
                                << QStringList{QStringLiteral("spearmen"), QStringLiteral("long_spear Wrapped to the first unit")};
    QTest::newRow("no match") << "zzz" << true << QList<QKeyCombination>{Qt::Key_Return} << QStringList{QStringLiteral("- No match")};
    QTest::newRow("an edited value") << "pike" << true << QList<QKeyCombination>{Qt::Key_Return}
                                     << QStringList{QStringLiteral("pikeman Wrapped to the first unit")};
  }
  void find() {
    QFETCH(QStringList, matches);
    QByteArray file = dataFile(2, 5);
    file.replace("\tr2f2\t", "\tknights\t").replace("\tr3f2\t", "\tKnights_templar\t").replace("\tr3f5\t", "\tlong_spear\t");
    loadText(2, file.replace("\tr5f2\t", "\tspearmen\t"));
    edit(8, 3, QStringLiteral("pikeman"));
    QTest::keyClick(w, Qt::Key_F, Qt::ControlModifier);
    auto* findText = find<QLineEdit>(QStringLiteral("txtFind"));
    QTRY_VERIFY(findText && findText->hasFocus());
    if (fetched<bool>("allValues")) find<QAbstractButton>(QStringLiteral("chkFindAllValues"))->setChecked(true);
    QTest::keyClicks(findText, fetched<QString>("text"));
    for (const QKeyCombination keys : fetched<QList<QKeyCombination>>("keys")) {
      if (keys == kPreviousButton) QTest::mouseClick(find<QToolButton>(QStringLiteral("cmdFindPrevious")), Qt::LeftButton);
      else key(keys);
      const QString at = editor()->hasFocus() ? editor()->toPlainText() : QStringLiteral("-");
      const QString note = find<QLabel>(QStringLiteral("lblFindNote"))->text();
      QCOMPARE(note.isEmpty() ? at : at + QLatin1Char(' ') + note, matches.takeFirst());
    }
  }
};

QTEST_MAIN(TestFind)
#include "tst_find.moc"
